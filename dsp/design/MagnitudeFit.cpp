#include "dsp/design/MagnitudeFit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxStalls = 3;
constexpr int kLineSearchSteps = 30;
constexpr double kArmijo = 1e-4;

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

bool strictlyStable(double a1, double a2)
{
    // Both roots of z^2 + a1 z + a2 strictly inside the unit circle (Jury conditions).
    return std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2;
}

void gradientAt(FitWorkspace& ws, const double x[4], double f0, double out[4])
{
    double probe[4];
    for (int i = 0; i < 4; ++i) {
        std::memcpy(probe, x, sizeof probe);
        const double h = 1e-7 * (1.0 + std::fabs(x[i]));
        probe[i] += h;
        out[i] = (fitError(ws, probe, nullptr) - f0) / h;
    }
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
        const double f = 20.0 * std::pow(nyquist / 20.0, j / double(kFitPoints - 1));
        const double w = 2.0 * kPi * f / fs;
        ws.fitOmega[j] = w;
        ws.fitCos1[j] = std::cos(w);
        ws.fitSin1[j] = std::sin(w);
        ws.fitCos2[j] = std::cos(2.0 * w);
        ws.fitSin2[j] = std::sin(2.0 * w);
    }
}

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

double fitError(FitWorkspace& ws, const double x[4], double* gain)
{
    double a1 = x[2], a2 = x[3];
    stabilise(a1, a2);
    double smt = 0.0, smm = 0.0;
    for (int j = 0; j < kFitPoints; ++j) {
        const double c1 = ws.fitCos1[j], s1 = ws.fitSin1[j], c2 = ws.fitCos2[j], s2 = ws.fitSin2[j];
        const double nr = c2 + x[0] * c1 + x[1], ni = s2 + x[0] * s1;
        const double dr = c2 + a1 * c1 + a2, di = s2 + a1 * s1;
        double dd = dr * dr + di * di;
        if (dd == 0.0) dd = 0.001;
        const double m = std::sqrt((nr * nr + ni * ni) / dd);
        ws.fitModel[j] = m;
        smt += m * ws.fitTarget[j];
        smm += m * m;
    }
    const double k = smt / (smm < 0.0001 ? 0.0001 : smm);
    double err = 0.0;
    for (int j = 0; j < kFitPoints; ++j) {
        const double d = k * ws.fitModel[j] - ws.fitTarget[j];
        err += d * d;
    }
    if (gain) *gain = k;
    return std::isfinite(err) ? err : std::numeric_limits<double>::infinity();
}

bool fitBiquad(FitWorkspace& ws, const FitMethod& method, Biquad& bq)
{
    if (bq.b0 == 0.0 || !std::isfinite(bq.b0)) return false;
    ws.x[0] = bq.b1 / bq.b0;
    ws.x[1] = bq.b2 / bq.b0;
    ws.x[2] = bq.a1;
    ws.x[3] = bq.a2;
    const double startError = fitError(ws, ws.x, &ws.gain);
    if (!(startError > method.skipAtMost)) return false;

    std::memset(ws.hinv, 0, sizeof ws.hinv);
    for (int i = 0; i < 4; ++i) ws.hinv[i][i] = 1.0;
    double f = startError;
    gradientAt(ws, ws.x, f, ws.grad);

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
        length = std::sqrt(length);
        double alpha = length > ws.maxStep ? ws.maxStep / length : 1.0;

        // Backtracking: halve the step until it gives a sufficient decrease, then
        // keep halving while that still lowers the error (steep, curved valleys near
        // the unit circle make the first acceptable step a poor one).
        double fTrial = f;
        double best[4];
        bool moved = false;
        for (int ls = 0; ls < kLineSearchSteps; ++ls, alpha *= 0.5) {
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
        stalls = 0;

        double newGrad[4], s[4], y[4];
        gradientAt(ws, ws.trial, fTrial, newGrad);
        double sy = 0.0;
        for (int i = 0; i < 4; ++i) {
            s[i] = ws.trial[i] - ws.x[i];
            y[i] = newGrad[i] - ws.grad[i];
            sy += s[i] * y[i];
        }
        std::memcpy(ws.x, ws.trial, sizeof ws.x);
        std::memcpy(ws.grad, newGrad, sizeof ws.grad);
        f = fTrial;

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
    return true;
}

}  // namespace hm::dsp
