#include "dsp/design/MagnitudeFit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "dsp/CpuFeatures.h"

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxStalls = 3;
constexpr int kLineSearchSteps = 30;
constexpr double kArmijo = 1e-4;
constexpr double kGoodEnough = 1e-3;
constexpr double kNoProgress = 1e-9;     // relative error decrease that counts as a stall
constexpr double kSmallestStep = 1e-13;  // relative step below which the line search gives up

// The stable denominator the error is measured with (and the result is built from).
void stabilise(double& a1, double& a2)
{
    const double disc = a1 * a1 - 4.0 * a2;
    if (disc > 0.0) {
        const double sq = std::sqrt(disc);
        double r1 = (-a1 - sq) / 2.0, r2 = (-a1 + sq) / 2.0;
        if (std::fabs(r1) > 1.0) r1 = 1.0 / r1;
        if (std::fabs(r2) > 1.0) r2 = 1.0 / r2;
        a1 = -(r1 + r2);
        a2 = r1 * r2;
    }
    if (std::fabs(a2) > 1.0) {
        a1 = a1 / a2;
        a2 = 1.0 / a2;
    }
}

bool strictlyStable(double a1, double a2);

// A parameter set whose stabilised denominator keeps the margin.
bool admissible(const double x[4])
{
    double a1 = x[2], a2 = x[3];
    stabilise(a1, a2);
    return strictlyStable(a1, a2);
}

bool strictlyStable(double a1, double a2)
{
    // Both roots of z^2 + a1 z + a2 inside the unit circle (Jury conditions), with a
    // margin: a fit can chase a sharp resonance onto the circle itself, where the
    // section would ring for ever.
    constexpr double kMargin = 1e-10;
    return std::fabs(a2) < 1.0 - kMargin && std::fabs(a1) < 1.0 + a2 - kMargin;
}

// The grid loops are compiled twice, the second time for AVX2, and called through
// a check of the processor made once (square roots, divisions and the four
// partial sums round the same in either width).
#if defined(__x86_64__)
#define HM_FIT_WIDE [[gnu::target("avx2")]]
#define HM_FIT_DISPATCH(call) (processorHasAvx2() ? call##Wide : call##Narrow)
#else
#define HM_FIT_WIDE
#define HM_FIT_DISPATCH(call) call##Narrow
#endif

// Sum of a[j] * b[j] over the grid, four partial sums at a time (the grid's
// length is a multiple of four).
[[gnu::always_inline]] inline double dotOn(const double* a, const double* b)
{
    static_assert(kFitPoints % 4 == 0);
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (int j = 0; j < kFitPoints; j += 4) {
        s0 += a[j] * b[j];
        s1 += a[j + 1] * b[j + 1];
        s2 += a[j + 2] * b[j + 2];
        s3 += a[j + 3] * b[j + 3];
    }
    return (s0 + s1) + (s2 + s3);
}

// The model magnitudes m_j for x (denominator already stabilised as a1, a2) into
// ws.fitModel and, when wanted, dm/dx into ws.fitPartial (the denominator's with
// respect to the stabilised a1, a2). Point by point without sums, so it vectorises;
// compiled twice, and the wider form runs where the processor has AVX2 (square
// roots and divisions round the same in every width).
template <bool Partials>
[[gnu::always_inline]] inline void evaluateModelOn(FitWorkspace& ws, const double x[4], double a1, double a2)
{
    for (int j = 0; j < kFitPoints; ++j) {
        const double c1 = ws.fitCos1[j], s1 = ws.fitSin1[j], c2 = ws.fitCos2[j], s2 = ws.fitSin2[j];
        const double nr = c2 + x[0] * c1 + x[1], ni = s2 + x[0] * s1;
        const double dr = c2 + a1 * c1 + a2, di = s2 + a1 * s1;
        const double nn = nr * nr + ni * ni;
        const double dd0 = dr * dr + di * di;
        const double dd = dd0 == 0.0 ? 0.001 : dd0;
        const double m = std::sqrt(nn / dd);
        ws.fitModel[j] = m;
        if constexpr (Partials) {
            // Divisions on safe denominators and a choice afterwards: no branch, so
            // the loop vectorises.
            const double mnAny = m / (nn > 0.0 ? nn : 1.0);
            const double mn = nn > 0.0 ? mnAny : 0.0;
            const double mdAny = m / dd;
            const double md = dd0 == 0.0 ? 0.0 : mdAny;
            ws.fitPartial[0][j] = mn * (nr * c1 + ni * s1);
            ws.fitPartial[1][j] = mn * nr;
            ws.fitPartial[2][j] = -md * (dr * c1 + di * s1);
            ws.fitPartial[3][j] = -md * dr;
        }
    }
}


double dotNarrow(const double* a, const double* b) { return dotOn(a, b); }
HM_FIT_WIDE double dotWide(const double* a, const double* b) { return dotOn(a, b); }
void modelNarrow(FitWorkspace& ws, const double x[4], double a1, double a2) { evaluateModelOn<false>(ws, x, a1, a2); }
HM_FIT_WIDE void modelWide(FitWorkspace& ws, const double x[4], double a1, double a2) { evaluateModelOn<false>(ws, x, a1, a2); }
void partialsNarrow(FitWorkspace& ws, const double x[4], double a1, double a2) { evaluateModelOn<true>(ws, x, a1, a2); }
HM_FIT_WIDE void partialsWide(FitWorkspace& ws, const double x[4], double a1, double a2) { evaluateModelOn<true>(ws, x, a1, a2); }

double dot(const double* a, const double* b) { return HM_FIT_DISPATCH(dot)(a, b); }
void evaluateModel(FitWorkspace& ws, const double x[4], double a1, double a2) { HM_FIT_DISPATCH(model)(ws, x, a1, a2); }
void evaluateModelPartials(FitWorkspace& ws, const double x[4], double a1, double a2)
{
    HM_FIT_DISPATCH(partials)(ws, x, a1, a2);
}

// Error of the model in ws.fitModel with its best gain; the residuals k m - t are
// left in ws.fitModel.
double residualError(FitWorkspace& ws, double& gain, bool& clamped)
{
    const double smt = dot(ws.fitModel, ws.fitTarget);
    const double smm = dot(ws.fitModel, ws.fitModel);
    clamped = smm < 0.0001;
    const double k = smt / (clamped ? 0.0001 : smm);
    for (int j = 0; j < kFitPoints; ++j) ws.fitModel[j] = k * ws.fitModel[j] - ws.fitTarget[j];
    gain = k;
    const double err = dot(ws.fitModel, ws.fitModel);
    return std::isfinite(err) ? err : std::numeric_limits<double>::infinity();
}

// True when every residual fitError left in ws.fitModel is within `ratio` of its
// target, wherever the target lies within 60 dB of its largest value (deeper in a
// stopband a relative error says nothing audible, and chasing it would move what
// is audible).
bool withinEverywhere(const FitWorkspace& ws, double ratio)
{
    double peak = 0.0;
    for (int j = 0; j < kFitPoints; ++j) peak = std::max(peak, ws.fitTarget[j]);
    const double floor = 1e-3 * peak;
    bool within = true;
    for (int j = 0; j < kFitPoints; ++j)
        within &= ws.fitTarget[j] < floor || std::fabs(ws.fitModel[j]) <= ratio * ws.fitTarget[j];
    return within;
}

}  // namespace

FitMethod fitMethod(int method)
{
    constexpr double kNoBound = std::numeric_limits<double>::infinity();
    switch (method) {
    case 0: return {10, 1.0, 0.0};
    case 1: return {100, kNoBound, 0.0};
    case 2: return {50, 1.0, 1e-18};
    case 3: return {10, 1.0, 1e-18};
    default: return {100, 1.0, 0.0};
    }
}

void prepareFitGrid(FitWorkspace& ws, double fs)
{
    if (ws.fitRate == fs) return;
    ws.fitRate = fs;
    const double nyquist = fs / 2.0;
    for (int j = 0; j < kFitPoints; ++j) {
        const double f = kFitLowestHz * std::pow(nyquist / kFitLowestHz, j / double(kFitPoints - 1));
        const double w = 2.0 * kPi * f / fs;
        ws.fitOmega[j] = w;
        ws.fitCos1[j] = std::cos(w);
        ws.fitSin1[j] = std::sin(w);
        ws.fitCos2[j] = std::cos(2.0 * w);
        ws.fitSin2[j] = std::sin(2.0 * w);
    }
}

bool sharperThanFitGrid(double q, double fs)
{
    const double spacing = std::pow(0.5 * fs / kFitLowestHz, 1.0 / (kFitPoints - 1)) - 1.0;
    return std::fabs(q) * spacing > 1.0;
}

bool sharpResonanceInBand(double f0, double q, double fs) { return f0 < 0.45 * fs && sharperThanFitGrid(q, fs); }

double reflectIntoUnitCircle(double& c1, double& c2)
{
    double shrink = 1.0;
    const double disc = c1 * c1 - 4.0 * c2;
    if (disc > 0.0) {
        const double sq = std::sqrt(disc);
        double r1 = (-c1 - sq) / 2.0, r2 = (-c1 + sq) / 2.0;
        // |e^{jw} - r| = |r| |e^{jw} - 1/r| on the unit circle.
        if (std::fabs(r1) > 1.0) { shrink *= std::fabs(r1); r1 = 1.0 / r1; }
        if (std::fabs(r2) > 1.0) { shrink *= std::fabs(r2); r2 = 1.0 / r2; }
        c1 = -(r1 + r2);
        c2 = r1 * r2;
    } else if (std::fabs(c2) > 1.0) {
        shrink = std::fabs(c2);
        c1 = c1 / c2;
        c2 = 1.0 / c2;
    }
    return shrink;
}

namespace {

// The model for x with its denominator stabilised (into a1, a2), with or without
// the partial derivatives, and its error at the best gain k.
double evaluate(FitWorkspace& ws, const double x[4], bool partials, double& a1, double& a2, double& k, bool& clamped)
{
    a1 = x[2];
    a2 = x[3];
    stabilise(a1, a2);
    if (partials) evaluateModelPartials(ws, x, a1, a2);
    else evaluateModel(ws, x, a1, a2);
    return residualError(ws, k, clamped);
}

}  // namespace

double fitError(FitWorkspace& ws, const double x[4], double* gain)
{
    double a1, a2, k;
    bool clamped;
    const double err = evaluate(ws, x, false, a1, a2, k, clamped);
    if (gain) *gain = k;
    return err;
}

double fitErrorGradient(FitWorkspace& ws, const double x[4], double grad[4])
{
    double a1, a2, k;
    bool clamped;
    const double err = evaluate(ws, x, true, a1, a2, k, clamped);
    double g[4];
    for (int i = 0; i < 4; ++i) g[i] = 2.0 * k * dot(ws.fitModel, ws.fitPartial[i]);
    if (clamped || !std::isfinite(err)) {
        // A vanishing model: the gain sits at its floor and moves with x, which the
        // formula above leaves out. Rare enough to take the slow way.
        double probe[4];
        for (int i = 0; i < 4; ++i) {
            std::memcpy(probe, x, sizeof probe);
            const double h = 1e-7 * (1.0 + std::fabs(x[i]));
            probe[i] += h;
            grad[i] = (fitError(ws, probe, nullptr) - err) / h;
        }
        return err;
    }
    grad[0] = g[0];
    grad[1] = g[1];
    // Back through the stabilising reflection: identity where it changed nothing.
    double j11 = 1.0, j12 = 0.0, j21 = 0.0, j22 = 1.0;
    if (a1 != x[2] || a2 != x[3]) {
        const double h1 = 1e-7 * (1.0 + std::fabs(x[2])), h2 = 1e-7 * (1.0 + std::fabs(x[3]));
        double p1 = x[2] + h1, q1 = x[3];
        double p2 = x[2], q2 = x[3] + h2;
        stabilise(p1, q1);
        stabilise(p2, q2);
        j11 = (p1 - a1) / h1;
        j21 = (q1 - a2) / h1;
        j12 = (p2 - a1) / h2;
        j22 = (q2 - a2) / h2;
    }
    grad[2] = g[2] * j11 + g[3] * j21;
    grad[3] = g[2] * j12 + g[3] * j22;
    return err;
}

bool fitBiquad(FitWorkspace& ws, const FitMethod& method, Biquad& bq, FitStart* warm)
{
    if (bq.b0 == 0.0 || !std::isfinite(bq.b0)) return false;
    ws.x[0] = bq.b1 / bq.b0;
    ws.x[1] = bq.b2 / bq.b0;
    ws.x[2] = bq.a1;
    ws.x[3] = bq.a2;
    const double startError = fitError(ws, ws.x, &ws.gain);
    if (!(startError > method.skipAtMost)) return false;
    // The direct mapping already matches every grid point within kGoodEnough
    // (0.1 %, about 0.01 dB): nothing a fit could add would be audible, so it is
    // not run. Most sections well below Nyquist end here.
    if (withinEverywhere(ws, kGoodEnough)) return false;
    const bool warmStart = !method.keepPoles && warm && warm->valid && fitError(ws, warm->x, nullptr) < startError;
    if (warmStart) std::memcpy(ws.x, warm->x, sizeof ws.x);
    // With the DC zero kept, the search stays on the plane 1 + x0 + x1 = 0: the start
    // is put on it and every gradient projected into it.
    const auto constrain = [&](double g[4]) {
        if (method.keepPoles) g[2] = g[3] = 0.0;
        if (!method.keepDcZero) return;
        const double mean = 0.5 * (g[0] + g[1]);
        g[0] -= mean;
        g[1] -= mean;
    };
    if (method.keepDcZero) ws.x[1] = -1.0 - ws.x[0];

    // A warm start brings the curvature the last fit learnt (not onto the DC-zero
    // plane, which an unconstrained estimate would leave).
    std::memset(ws.hinv, 0, sizeof ws.hinv);
    for (int i = 0; i < 4; ++i) ws.hinv[i][i] = 1.0;
    if (warmStart && !method.keepDcZero && !method.keepPoles) std::memcpy(ws.hinv, warm->hinv, sizeof ws.hinv);
    double f = fitErrorGradient(ws, ws.x, ws.grad);
    constrain(ws.grad);
    // The best point with the margin of stability found so far: a resonance sharper
    // than the grid can resolve draws the minimum onto the unit circle itself.
    std::memcpy(ws.best, ws.x, sizeof ws.best);
    ws.bestError = admissible(ws.x) ? f : std::numeric_limits<double>::infinity();

    int stalls = 0;
    for (int iteration = 1; iteration < method.maxIterations && stalls < kMaxStalls; ++iteration) {
        // Search direction -Hinv g, limited to the maximum step length.
        double slope = 0.0, length = 0.0;
        for (int i = 0; i < 4; ++i) {
            double d = 0.0;
            for (int k = 0; k < 4; ++k) d -= ws.hinv[i][k] * ws.grad[k];
            ws.direction[i] = d;
            slope += d * ws.grad[i];
            length += d * d;
        }
        if (!(slope < 0.0)) {
            // Not a descent direction: restart from steepest descent.
            std::memset(ws.hinv, 0, sizeof ws.hinv);
            length = slope = 0.0;
            for (int i = 0; i < 4; ++i) {
                ws.hinv[i][i] = 1.0;
                ws.direction[i] = -ws.grad[i];
                slope -= ws.grad[i] * ws.grad[i];
                length += ws.grad[i] * ws.grad[i];
            }
            if (!(slope < 0.0)) break;  // zero gradient: at a minimum
        }
        // Even a full step promises no gain beyond the last digits: converged.
        if (-slope <= kNoProgress * f) break;
        length = std::sqrt(length);
        double alpha = length > ws.maxStep ? ws.maxStep / length : 1.0;

        // Backtracking: halve the step until it gives a sufficient decrease, then
        // keep halving while that still lowers the error (steep, curved valleys near
        // the unit circle make the first acceptable step a poor one).
        double fTrial = f;
        double best[4];
        bool moved = false;
        double size = 0.0;
        for (int i = 0; i < 4; ++i) size += std::fabs(ws.x[i]);
        for (int ls = 0; ls < kLineSearchSteps && alpha * length > kSmallestStep * (1.0 + size); ++ls, alpha *= 0.5) {
            for (int i = 0; i < 4; ++i) ws.trial[i] = ws.x[i] + alpha * ws.direction[i];
            const double fa = fitError(ws, ws.trial, nullptr);
            if (!moved) {
                if (fa <= f + kArmijo * alpha * slope && fa < f) {
                    moved = true;
                    fTrial = fa;
                    std::memcpy(best, ws.trial, sizeof best);
                }
            } else if (fa < fTrial) {
                fTrial = fa;
                std::memcpy(best, ws.trial, sizeof best);
            } else {
                break;
            }
        }
        if (moved) std::memcpy(ws.trial, best, sizeof best);
        if (!moved) {
            ++stalls;
            std::memset(ws.hinv, 0, sizeof ws.hinv);
            for (int i = 0; i < 4; ++i) ws.hinv[i][i] = 1.0;
            continue;
        }
        // Gains in the last digits are no progress either: near the minimum they
        // would keep a fit going for all its iterations without a visible change.
        stalls = f - fTrial <= kNoProgress * f ? stalls + 1 : 0;

        double newGrad[4], s[4], y[4];
        fTrial = fitErrorGradient(ws, ws.trial, newGrad);
        constrain(newGrad);
        double sy = 0.0;
        for (int i = 0; i < 4; ++i) {
            s[i] = ws.trial[i] - ws.x[i];
            y[i] = newGrad[i] - ws.grad[i];
            sy += s[i] * y[i];
        }
        std::memcpy(ws.x, ws.trial, sizeof ws.x);
        std::memcpy(ws.grad, newGrad, sizeof ws.grad);
        f = fTrial;
        if (admissible(ws.x)) {
            std::memcpy(ws.best, ws.x, sizeof ws.best);
            ws.bestError = f;
        }

        if (sy > 1e-300) {
            // Hinv' = (I - rho s y^T) Hinv (I - rho y s^T) + rho s s^T
            const double rho = 1.0 / sy;
            double hy[4], yhy = 0.0;
            for (int i = 0; i < 4; ++i) {
                hy[i] = 0.0;
                for (int k = 0; k < 4; ++k) hy[i] += ws.hinv[i][k] * y[k];
                yhy += y[i] * hy[i];
            }
            for (int i = 0; i < 4; ++i)
                for (int k = 0; k < 4; ++k)
                    ws.hinv[i][k] += (1.0 + rho * yhy) * rho * s[i] * s[k] - rho * (hy[i] * s[k] + s[i] * hy[k]);
        }
    }

    if (!admissible(ws.x)) {
        std::memcpy(ws.x, ws.best, sizeof ws.x);
        f = ws.bestError;
    }

    // The bound is on the squared error of a section peaking at 1; a section carrying
    // gain (a pass filter's distributed gain, a boost) is held to the same relative
    // accuracy rather than rejected for its scale.
    double peak = 1.0;
    for (int j = 0; j < kFitPoints; ++j) peak = std::max(peak, ws.fitTarget[j]);
    if (!(f < startError) || !(f < method.acceptBelow * peak * peak)) return false;
    double k = 0.0;
    fitError(ws, ws.x, &k);
    double a1 = ws.x[2], a2 = ws.x[3];
    stabilise(a1, a2);
    if (!strictlyStable(a1, a2)) return false;
    // A magnitude fit cannot tell a zero from its mirror image; keep the minimum-phase
    // one (the analogue prototypes are minimum-phase, and an inverted section turns
    // these zeros into poles).
    double n1 = ws.x[0], n2 = ws.x[1];
    k *= reflectIntoUnitCircle(n1, n2);
    const Biquad fitted{k, k * n1, k * n2, a1, a2};
    if (!std::isfinite(fitted.b0) || !std::isfinite(fitted.b1) || !std::isfinite(fitted.b2)) return false;
    bq = fitted;
    if (warm) {
        std::memcpy(warm->x, ws.x, sizeof warm->x);
        std::memcpy(warm->hinv, ws.hinv, sizeof warm->hinv);
        warm->valid = true;
    }
    return true;
}

}  // namespace hm::dsp
