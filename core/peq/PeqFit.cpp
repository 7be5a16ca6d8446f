#include "core/peq/PeqFit.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/BandMapping.h"
#include "core/params/ParamTable.h"
#include "core/peq/TextbookBiquad.h"
#include "dsp/DigitalResponse.h"
#include "dsp/PrototypeResponse.h"
#include "dsp/design/DigitalMapper.h"
#include "dsp/design/Prototype.h"

namespace hm::peq {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kStateOn = 2;
constexpr int kPeakType = 1, kHighPassType = 2, kLowShelfType = 3, kHighShelfType = 4, kLowPassType = 5, kNotchType = 6;
constexpr int kKes = 1, kFirstOrderShelf = 7, kAllpassFamily = 9;
constexpr double kDefaultScaleDb = 18.0;
constexpr double kLowestRate = 8000.0;

// The grid: 1/48 octave up to kFitUpToHz, denser around notches and very sharp
// filters, and beyond it up to 0.45 of the rate at a low weight, so that no
// band does something wild above the range the fit answers for.
constexpr double kPointsPerOctave = 48.0;
constexpr double kSharpQ = 5.0;
constexpr int kSharpPoints = 32;  // each side of a sharp filter's Fc, over 1/Q octave
constexpr double kBeyondWeight = 0.25;
constexpr double kBeyondFraction = 0.45;  // of the rate
constexpr double kBeyondHighestHz = 21600.0;  // 0.45 of 48 kHz: higher rates have no more to follow

// Where a band may go: its filter's gain sign with some room (times kGainRoom,
// plus kGainSlackDb either way), its Q within a factor kQRoom of its own (not
// for shelves, whose band Q is no textbook Q), and up to just below Nyquist.
constexpr double kGainRoom = 1.5, kGainSlackDb = 3.0, kQRoom = 8.0;
constexpr double kHighestFraction = 0.499;  // of the rate
// The pull toward each filter's own settings (see FitBand::pull).
constexpr double kPull = 1.5;

// The passes. Bands above this fraction of the rate get their slopes from
// their digital designs in the passes on the designs.
constexpr double kDesignSlopeFraction = 0.2;
constexpr int kStartIterations = 12;  // each band alone, for a start
constexpr int kMaxIterations = 20;    // all bands on the prototypes
constexpr int kRounds = 12;           // passes on the digital designs at most
constexpr int kRoundIterations = 5;
constexpr int kStalledRounds = 3;     // passes without a real gain before the fit stops
constexpr double kGoodEnoughDb = 0.01;

// Further attempts when the first leaves the largest difference above
// kRetryAboveDb: other pulls; then, above kReshapeAboveDb, a peak above
// kReshapeFromFraction of the rate as a high shelf.
constexpr double kRetryAboveDb = 0.07;
constexpr double kReshapeAboveDb = 0.1;
constexpr double kReshapeFromFraction = 0.3;

double realOf(const Import& im, int index) { return staticRealOf(index, im.values[index]); }

bool actsOn(int groups, int channel) { return ((groups >> (7 - std::max(channel, 0))) & 1) != 0; }

double floored(double db) { return std::max(db, kFloorDb); }

// The bank's design of one band at one rate, with a workspace of its own:
// every band is designed as a new instance would (no earlier fit to start from).
class DigitalDesigner {
public:
    explicit DigitalDesigner(double fs)
        : fs_(fs), fresh_(std::make_unique<dsp::FitWorkspace>()), ws_(std::make_unique<dsp::FitWorkspace>()) {
        dsp::prepareFitGrid(*fresh_, fs);
    }

    void db(const dsp::BandSettings& s, const std::vector<double>& hz, std::vector<double>& out) {
        dsp::AnalogSection proto[dsp::kMaxSections];
        const int n = dsp::prototypeFor(s, proto);
        dsp::AnalogSection radians[dsp::kMaxSections];
        for (int i = 0; i < n; ++i) radians[i] = dsp::toRadiansPerSecond(proto[i]);
        *ws_ = *fresh_;  // a design's fit depends on where the workspace's last one ended
        const dsp::CascadeDesign d = dsp::mapCascade(s, radians, n, fs_, *ws_);
        out.assign(hz.size(), 0.0);
        if (d.unity) return;
        if (hz.size() != points_.size() || hz.data() != pointsFor_ ||
            (!hz.empty() && (hz.front() != firstHz_ || hz.back() != lastHz_))) {
            points_.resize(hz.size());
            for (std::size_t i = 0; i < hz.size(); ++i) points_[i] = dsp::circlePoint(2.0 * kPi * hz[i] / fs_);
            pointsFor_ = hz.data();
            firstHz_ = hz.empty() ? 0.0 : hz.front();
            lastHz_ = hz.empty() ? 0.0 : hz.back();
        }
        double coeffs[dsp::kMaxSections][dsp::kBiquadCoefficients];
        for (int k = 0; k < d.count; ++k) {
            const dsp::Biquad& b = d.whole[k];
            coeffs[k][0] = b.b0, coeffs[k][1] = b.b1, coeffs[k][2] = b.b2, coeffs[k][3] = b.a1, coeffs[k][4] = b.a2;
        }
        for (std::size_t i = 0; i < hz.size(); ++i) {
            double num = 1.0, den = 1.0;
            for (int k = 0; k < d.count; ++k) {
                dsp::ComplexValue nv, dv;
                dsp::sectionTerms(coeffs[k], points_[i], nv, dv);
                num *= nv.re * nv.re + nv.im * nv.im;
                den *= dv.re * dv.re + dv.im * dv.im;
            }
            out[i] = 10.0 * std::log10(std::max(num, 1e-300) / std::max(den, 1e-300));
        }
    }

private:
    double fs_;
    std::unique_ptr<dsp::FitWorkspace> fresh_, ws_;
    // The unit-circle points of the last grid asked for.
    std::vector<dsp::CirclePoint> points_;
    const double* pointsFor_ = nullptr;
    double firstHz_ = 0.0, lastHz_ = 0.0;
};

void analogueDb(const dsp::BandSettings& s, const std::vector<double>& hz, std::vector<double>& out) {
    dsp::AnalogSection proto[dsp::kMaxSections];
    const int n = dsp::prototypeFor(s, proto);
    out.resize(hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i)
        out[i] = 20.0 * std::log10(std::max(dsp::analogMagnitude(proto, n, hz[i]), 1e-15));
}

// One band as the fit moves it. Its fields hold the gain in dB (a Scale of 1
// while fitting). Parameters: ln Fc, then the gain in dB, then ln Q, each when
// the band's shape has it.
struct FitBand {
    int band = 0;
    double fields[kParamsPerBand] = {};
    int groups = kAllGroups;
    bool hasGain = true, hasQ = true;
    // The gains the band may take: the filter's own sign, a little more or less
    // (a band that needs far more to follow a cramped filter is no match for it).
    double lowestGain = -35.0, highestGain = 35.0;
    double lowestQ = 0.1, highestQ = 50.0;  // likewise for a peak's, a notch's, a pass filter's

    // Where the band started (its filter's prototype), which it is pulled back
    // to a little: without a pull, bands near Nyquist, where the 16 kHz limit
    // sees only their skirts, wander off to settings that cancel one another.
    double start[3] = {};
    double pullScale = kPull;

    int count() const { return 1 + (hasGain ? 1 : 0) + (hasQ ? 1 : 0); }
    // The pull's weight on parameter j: an octave, 3 dB or a doubled Q cost
    // about as much as a difference of 0.06 dB over the whole range.
    double pull(int j) const {
        const bool gain = hasGain && j == 1;
        return pullScale / (gain ? 3.0 : std::log(2.0));
    }
    void anchor() { get(start); }
    void get(double* x) const {
        int k = 0;
        x[k++] = std::log(fields[kBandFrequency]);
        if (hasGain) x[k++] = fields[kBandGain];
        if (hasQ) x[k++] = std::log(fields[kBandQ]);
    }
    void set(const double* x, double topHz) {
        int k = 0;
        fields[kBandFrequency] = std::clamp(std::exp(x[k++]), 10.0, topHz);
        if (hasGain) fields[kBandGain] = std::clamp(x[k++], lowestGain, highestGain);
        if (hasQ) fields[kBandQ] = std::clamp(std::exp(x[k++]), lowestQ, highestQ);
    }
    dsp::BandSettings settings() const { return engineBandSettings(fields, 1.0, 1.0); }
    void shape() {
        const int type = static_cast<int>(std::lround(fields[kBandType]));
        const int subtype = static_cast<int>(std::lround(fields[kBandSubtype]));
        hasGain = type != kHighPassType && type != kLowPassType && type != kNotchType;
        hasQ = subtype != kFirstOrderShelf || type == kHighPassType || type == kLowPassType;
    }
};

struct Problem {
    double fs = 48000.0;
    double topHz = 22000.0;  // the highest band frequency the fit may use
    std::vector<double> hz, weight;
    std::vector<int> channels;
    std::vector<std::vector<double>> target;  // per channel, floored
    std::vector<FitBand> bands;
    int inRange = 0;  // grid points up to kFitUpToHz (the first ones)
    DigitalDesigner* designer = nullptr;  // residuals of the digital designs, else of the prototypes
    double designSlopeFraction = kDesignSlopeFraction;
};

// Each band's response in dB on the grid, as the residuals read it.
struct Model {
    std::vector<std::vector<double>> bandDb;
};

// A band's response: its prototype, or its digital design once the fit has a
// designer.
void bandModel(const Problem& p, const FitBand& b, std::vector<double>& out) {
    if (p.designer != nullptr) p.designer->db(b.settings(), p.hz, out);
    else analogueDb(b.settings(), p.hz, out);
}

double residuals(const Problem& p, const Model& m, std::vector<double>& r) {
    const std::size_t n = p.hz.size();
    r.assign(n * p.channels.size(), 0.0);
    double cost = 0.0;
    for (std::size_t c = 0; c < p.channels.size(); ++c) {
        for (std::size_t i = 0; i < n; ++i) {
            double sum = 0.0;
            for (std::size_t b = 0; b < p.bands.size(); ++b)
                if (actsOn(p.bands[b].groups, p.channels[c])) sum += m.bandDb[b][i];
            const double e = std::sqrt(p.weight[i]) * (floored(sum) - p.target[c][i]);
            r[c * n + i] = e;
            cost += e * e;
        }
    }
    // The pull toward each filter's own settings.
    for (const FitBand& b : p.bands) {
        double x[3];
        b.get(x);
        for (int j = 0; j < b.count(); ++j) {
            const double e = b.pull(j) * (x[j] - b.start[j]);
            r.push_back(e);
            cost += e * e;
        }
    }
    return cost;
}

// Solves A x = y for a symmetric positive definite A (n x n, row-major); false
// when A is not.
bool cholesky(std::vector<double>& a, std::vector<double>& y, int n) {
    for (int j = 0; j < n; ++j) {
        double d = a[j * n + j];
        for (int k = 0; k < j; ++k) d -= a[j * n + k] * a[j * n + k];
        if (!(d > 0.0)) return false;
        d = std::sqrt(d);
        a[j * n + j] = d;
        for (int i = j + 1; i < n; ++i) {
            double s = a[i * n + j];
            for (int k = 0; k < j; ++k) s -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = s / d;
        }
    }
    for (int i = 0; i < n; ++i) {
        double s = y[i];
        for (int k = 0; k < i; ++k) s -= a[i * n + k] * y[k];
        y[i] = s / a[i * n + i];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = y[i];
        for (int k = i + 1; k < n; ++k) s -= a[k * n + i] * y[k];
        y[i] = s / a[i * n + i];
    }
    return true;
}

// Levenberg-Marquardt on every band's parameters at once. A band's response
// depends on its own parameters only, so a Jacobian column is one band
// evaluated once more.
void solve(Problem& p, int maxIterations) {
    const std::size_t n = p.hz.size();
    int count = 0;
    for (const FitBand& b : p.bands) count += b.count();
    if (count == 0) return;
    std::vector<double> x(count);
    for (std::size_t b = 0, k = 0; b < p.bands.size(); k += p.bands[b].count(), ++b) p.bands[b].get(&x[k]);

    Model m;
    m.bandDb.resize(p.bands.size());
    for (std::size_t b = 0; b < p.bands.size(); ++b) bandModel(p, p.bands[b], m.bandDb[b]);
    std::vector<double> r;
    double cost = residuals(p, m, r);
    const std::size_t dataRows = n * p.channels.size();  // then one row per parameter: the pull
    std::vector<double> jac(static_cast<std::size_t>(count) * dataRows);  // column-major
    std::vector<double> pullOf(count);
    for (std::size_t b = 0, k = 0; b < p.bands.size(); k += p.bands[b].count(), ++b)
        for (int j = 0; j < p.bands[b].count(); ++j) pullOf[k + j] = p.bands[b].pull(j);
    std::vector<double> moved, base;
    double lambda = 1e-3;
    for (int iteration = 0; iteration < maxIterations; ++iteration) {
        // Jacobian by forward differences, floor included (a level under the
        // floor does not move). On the prototypes, smooth and cheap: against the
        // digital designs they only steer, and the first serves the whole pass.
        // A band in the upper part of the range, where its design parts from its
        // prototype, is differenced on its design, with a wider step (the
        // design's own fit is not smooth at the finest scale).
        for (std::size_t b = 0, k = 0; b < p.bands.size(); k += p.bands[b].count(), ++b) {
            const bool onDesign = p.designer != nullptr && p.bands[b].fields[kBandFrequency] > p.designSlopeFraction * p.fs;
            if (iteration > 0 && p.designer != nullptr && !onDesign) continue;
            FitBand trial = p.bands[b];
            const auto response = [&](std::vector<double>& out) {
                if (onDesign) p.designer->db(trial.settings(), p.hz, out);
                else analogueDb(trial.settings(), p.hz, out);
            };
            response(base);
            for (int j = 0; j < p.bands[b].count(); ++j) {
                std::vector<double> xt(&x[k], &x[k] + p.bands[b].count());
                const double h = ((p.bands[b].hasGain && j == 1) ? 1e-3 : 1e-4) * (onDesign ? 10.0 : 1.0);
                xt[j] += h;
                trial.set(xt.data(), p.topHz);
                response(moved);
                double* col = &jac[(k + j) * dataRows];
                for (std::size_t c = 0; c < p.channels.size(); ++c)
                    for (std::size_t i = 0; i < n; ++i)
                        col[c * n + i] = actsOn(p.bands[b].groups, p.channels[c])
                                             ? std::sqrt(p.weight[i]) * (moved[i] - base[i]) / h
                                             : 0.0;
            }
        }
        // Rows whose model sits on the floor have no slope.
        for (std::size_t row = 0; row < dataRows; ++row) {
            const double target = p.target[row / n][row % n];
            if (target <= kFloorDb && r[row] <= 0.0)
                for (int j = 0; j < count; ++j) jac[j * dataRows + row] = 0.0;
        }
        // The normal equations. A peak's column is nothing far from its
        // frequency: each column's products run over the rows where it is not.
        std::vector<std::size_t> first(count), last(count);
        for (int i = 0; i < count; ++i) {
            const double* ci = &jac[i * dataRows];
            double largest = 0.0;
            for (std::size_t row = 0; row < dataRows; ++row) largest = std::max(largest, std::fabs(ci[row]));
            const double negligible = largest * 1e-3;
            std::size_t lo = 0, hi = dataRows;
            while (lo < hi && std::fabs(ci[lo]) <= negligible) ++lo;
            while (hi > lo && std::fabs(ci[hi - 1]) <= negligible) --hi;
            first[i] = lo;
            last[i] = hi;
        }
        std::vector<double> a(static_cast<std::size_t>(count) * count), g(count);
        for (int i = 0; i < count; ++i) {
            const double* ci = &jac[i * dataRows];
            double gi = 0.0;
            for (std::size_t row = first[i]; row < last[i]; ++row) gi += ci[row] * r[row];
            // The pull: one row of its own per parameter.
            const double pull = pullOf[i];
            g[i] = -(gi + pull * r[dataRows + i]);
            for (int j = 0; j <= i; ++j) {
                const double* cj = &jac[j * dataRows];
                const std::size_t lo = std::max(first[i], first[j]), hi = std::min(last[i], last[j]);
                double sum = 0.0;
                for (std::size_t row = lo; row < hi; ++row) sum += ci[row] * cj[row];
                a[i * count + j] = a[j * count + i] = sum;
            }
            a[i * count + i] += pull * pull;
        }
        bool improved = false;
        for (int attempt = 0; attempt < 8 && !improved; ++attempt) {
            std::vector<double> damped = a, step = g;
            for (int i = 0; i < count; ++i) damped[i * count + i] += lambda * a[i * count + i] + 1e-9;
            if (!cholesky(damped, step, count)) {
                lambda *= 10.0;
                continue;
            }
            std::vector<FitBand> saved = p.bands;
            std::vector<double> xt(count);
            for (int i = 0; i < count; ++i) xt[i] = x[i] + step[i];
            Model mt;
            mt.bandDb.resize(p.bands.size());
            for (std::size_t b = 0, k = 0; b < p.bands.size(); k += p.bands[b].count(), ++b) {
                p.bands[b].set(&xt[k], p.topHz);
                p.bands[b].get(&xt[k]);  // as clamped
                bandModel(p, p.bands[b], mt.bandDb[b]);
            }
            std::vector<double> rt;
            const double trialCost = residuals(p, mt, rt);
            if (trialCost < cost) {
                const double gain = cost - trialCost;
                x = xt;
                m = std::move(mt);
                r = std::move(rt);
                cost = trialCost;
                lambda = std::max(lambda / 3.0, 1e-7);
                improved = true;
                if (gain < cost * 1e-4) iteration = maxIterations;
            } else {
                p.bands = std::move(saved);
                lambda *= 4.0;
            }
        }
        if (!improved) break;
    }
}

// The largest difference on the grid up to kFitUpToHz between the digital
// designs and the target; writes each point's to `error` and each band's
// digital response to `digital`.
double measure(Problem& p, DigitalDesigner& designer, std::vector<std::vector<double>>& digital,
               std::vector<double>& error) {
    digital.resize(p.bands.size());
    for (std::size_t b = 0; b < p.bands.size(); ++b) designer.db(p.bands[b].settings(), p.hz, digital[b]);
    error.assign(p.hz.size(), 0.0);
    double worst = 0.0;
    for (std::size_t c = 0; c < p.channels.size(); ++c)
        for (std::size_t i = 0; i < p.hz.size(); ++i) {
            double sum = 0.0;
            for (std::size_t b = 0; b < p.bands.size(); ++b)
                if (actsOn(p.bands[b].groups, p.channels[c])) sum += digital[b][i];
            const double e = std::fabs(floored(sum) - p.target[c][i]);
            error[i] = std::max(error[i], e);
            if (static_cast<int>(i) < p.inRange) worst = std::max(worst, e);
        }
    return worst;
}

// A fit on the prototypes, then passes on the digital designs (their
// residuals, the prototypes' slopes), each followed by weights that grow where
// the difference is largest. Keeps the best pass; returns its largest
// difference.
double fitRounds(Problem& p, DigitalDesigner& designer, bool onPrototypesFirst = true) {
    std::vector<std::vector<double>> digital;
    std::vector<double> error;
    p.designer = nullptr;
    if (onPrototypesFirst) solve(p, kMaxIterations);
    std::vector<FitBand> best = p.bands;
    double bestWorst = measure(p, designer, digital, error);
    p.designer = &designer;
    for (int round = 0, stalled = 0; round < kRounds && bestWorst > kGoodEnoughDb && stalled < kStalledRounds; ++round) {
        solve(p, kRoundIterations);
        const double worst = measure(p, designer, digital, error);
        ++stalled;
        if (worst < bestWorst) {
            if (worst < bestWorst * 0.97) stalled = 0;
            bestWorst = worst;
            best = p.bands;
        }
        // The aim is the largest difference: weigh the worst places more.
        if (worst > 0.0) {
            double total = 0.0;
            for (int i = 0; i < p.inRange; ++i) total += p.weight[i] *= 0.5 + error[i] / worst;
            for (int i = 0; i < p.inRange; ++i) p.weight[i] *= p.inRange / total;
        }
    }
    p.designer = nullptr;
    p.bands = best;
    return bestWorst;
}

// The grid, denser around a notch and a sharp filter: their slopes there are
// so steep that a point between two grid points could be far off.
std::vector<double> fitGrid(double fs, const std::vector<Filter>& filters, int& inRange) {
    std::vector<double> hz;
    const double octaves = std::log2(kFitUpToHz / kFitFromHz);
    const int steps = static_cast<int>(std::ceil(octaves * kPointsPerOctave));
    for (int i = 0; i <= steps; ++i) hz.push_back(kFitFromHz * std::pow(2.0, octaves * i / steps));
    for (const Filter& f : filters) {
        if (!f.on || !(f.type == FilterType::Notch || analogueQ(f) >= kSharpQ)) continue;
        const double width = 1.0 / analogueQ(f);  // octaves, about
        for (int i = -kSharpPoints; i <= kSharpPoints; ++i) {
            const double at = f.frequency * std::pow(2.0, width * i / kSharpPoints);
            if (at > kFitFromHz && at < kFitUpToHz) hz.push_back(at);
        }
    }
    std::sort(hz.begin(), hz.end());
    inRange = static_cast<int>(hz.size());
    const double top = std::min(kBeyondFraction * fs, kBeyondHighestHz);
    for (double f = kFitUpToHz * std::pow(2.0, 1.0 / kPointsPerOctave * 4.0); f < top;
         f *= std::pow(2.0, 4.0 / kPointsPerOctave))
        hz.push_back(f);
    return hz;
}

std::vector<int> channelsOf(const Import& im) {
    bool sided = false;
    for (const Filter& f : im.mapped) sided = sided || actsOn(f.groups, 0) != actsOn(f.groups, 1);
    return sided ? std::vector<int>{0, 1} : std::vector<int>{0};
}

}  // namespace

void bandDigitalDb(const double (&fields)[kParamsPerBand], double scaleDb, double sampleRate,
                   const std::vector<double>& hz, std::vector<double>& db) {
    DigitalDesigner designer(sampleRate);
    designer.db(engineBandSettings(fields, scaleDb, 1.0), hz, db);
}

std::vector<double> textbookDb(const Import& import, double sampleRate, int channel, const std::vector<double>& hz) {
    std::vector<dsp::Biquad> biquads;
    for (const Filter& f : import.mapped)
        if (f.on && actsOn(f.groups, channel)) biquads.push_back(textbookBiquad(f, sampleRate));
    std::vector<double> db(hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i) {
        double magnitude = 1.0;
        for (const dsp::Biquad& b : biquads) magnitude *= dsp::biquadMagnitude(b, 2.0 * kPi * hz[i] / sampleRate);
        db[i] = 20.0 * std::log10(std::max(magnitude, 1e-15));
    }
    return db;
}

std::vector<double> bandsDigitalDb(const Import& import, double sampleRate, int channel, const std::vector<double>& hz) {
    DigitalDesigner designer(sampleRate);
    const double scale = realOf(import, kScale);
    std::vector<double> total(hz.size(), 0.0), one;
    for (int b = 0; b < kNumBands; ++b) {
        if (std::lround(realOf(import, bandParam(b, kBandState))) != kStateOn) continue;
        if (!actsOn(static_cast<int>(std::lround(realOf(import, bandParam(b, kBandGroups)))), channel)) continue;
        double fields[kParamsPerBand];
        for (int f = 0; f < kParamsPerBand; ++f) fields[f] = realOf(import, bandParam(b, f));
        designer.db(engineBandSettings(fields, scale, 1.0), hz, one);
        for (std::size_t i = 0; i < hz.size(); ++i) total[i] += one[i];
    }
    return total;
}

void fitToTextbook(Import& import, double sampleRate) {
    if (!(sampleRate >= kLowestRate)) return;  // no rate a correction plays at: the prototypes stay
    // A filter at or above Nyquist has no textbook biquad at this rate.
    for (const Filter& f : import.mapped)
        if (f.on && f.frequency >= kHighestFraction * sampleRate) return;
    import.playRate = sampleRate;
    Problem p;
    p.fs = sampleRate;
    p.topHz = std::min(22000.0, kHighestFraction * sampleRate);
    p.hz = fitGrid(sampleRate, import.mapped, p.inRange);
    p.weight.assign(p.hz.size(), 1.0);
    for (std::size_t i = p.inRange; i < p.hz.size(); ++i) p.weight[i] = kBeyondWeight;
    p.channels = channelsOf(import);
    for (int c : p.channels) {
        std::vector<double> t = textbookDb(import, sampleRate, c, p.hz);
        for (double& v : t) v = floored(v);
        p.target.push_back(std::move(t));
    }
    const double oldScale = realOf(import, kScale);
    for (int b = 0; b < static_cast<int>(import.mapped.size()); ++b) {
        if (std::lround(realOf(import, bandParam(b, kBandState))) != kStateOn) continue;
        FitBand band;
        band.band = b;
        for (int f = 0; f < kParamsPerBand; ++f) band.fields[f] = realOf(import, bandParam(b, f));
        if (std::lround(band.fields[kBandSubtype]) == kAllpassFamily) continue;  // flat: nothing to fit
        band.fields[kBandGain] *= oldScale;
        band.groups = static_cast<int>(std::lround(band.fields[kBandGroups]));
        band.shape();
        band.anchor();
        const double g = import.mapped[b].gainDb;
        band.lowestGain = std::max(std::min(0.0, kGainRoom * g) - kGainSlackDb, -35.0);
        band.highestGain = std::min(std::max(0.0, kGainRoom * g) + kGainSlackDb, 35.0);
        if (std::lround(band.fields[kBandType]) != kLowShelfType && std::lround(band.fields[kBandType]) != kHighShelfType) {
            band.lowestQ = std::max(0.1, band.fields[kBandQ] / kQRoom);
            band.highestQ = std::min(50.0, band.fields[kBandQ] * kQRoom);
        }
        p.bands.push_back(band);
    }
    if (p.bands.empty()) return;

    // Each band first on its own filter alone: a start close to the joint
    // solution, reached cheaply (three parameters at a time).
    for (FitBand& band : p.bands) {
        Problem one;
        one.topHz = p.topHz;
        // A coarser grid will do for a start.
        for (std::size_t i = 0; i < p.hz.size(); i += 3) {
            one.hz.push_back(p.hz[i]);
            one.weight.push_back(p.weight[i]);
            if (static_cast<int>(i) < p.inRange) one.inRange = static_cast<int>(one.hz.size());
        }
        one.channels = {0};
        Import alone;
        alone.mapped = {import.mapped[band.band]};
        alone.mapped[0].groups = kAllGroups;
        std::vector<double> t = textbookDb(alone, sampleRate, 0, one.hz);
        for (double& v : t) v = floored(v);
        one.target = {std::move(t)};
        one.bands = {band};
        one.bands[0].groups = kAllGroups;
        solve(one, kStartIterations);
        const int groups = band.groups;
        band = one.bands[0];
        band.groups = groups;
    }

    DigitalDesigner designer(sampleRate);
    const Problem start = p;
    double worst = fitRounds(p, designer);
    // Not close yet: the fit may have settled where it could not get out; a
    // weaker or a stronger pull toward the filters starts it on other ways.
    for (double factor : {0.5, 2.0, 0.2}) {
        if (worst <= kRetryAboveDb) break;
        Problem trial = start;
        for (FitBand& b : trial.bands) b.pullScale = kPull * factor;
        const double w = fitRounds(trial, designer);
        if (w < worst) {
            worst = w;
            p = std::move(trial);
        }
    }

    // Still off: every band's slopes from its digital design, from where the
    // fit stands (costlier, and steadier where many sharp bands meet).
    if (worst > kRetryAboveDb) {
        Problem trial = p;
        trial.designSlopeFraction = 0.0;
        const double w = fitRounds(trial, designer, false);
        if (w < worst) {
            worst = w;
            p = std::move(trial);
        }
    }

    // A peak close to Nyquist that the bands cannot follow closely enough: its
    // textbook curve, cramped, may be nearer a high shelf's skirt.
    for (std::size_t b = 0; b < p.bands.size() && worst > kReshapeAboveDb; ++b) {
        FitBand& band = p.bands[b];
        if (std::lround(band.fields[kBandType]) != kPeakType || std::lround(band.fields[kBandSubtype]) != kKes) continue;
        if (import.mapped[band.band].frequency < kReshapeFromFraction * sampleRate) continue;
        Problem trial = p;
        trial.weight.assign(p.hz.size(), 1.0);
        for (std::size_t i = p.inRange; i < p.hz.size(); ++i) trial.weight[i] = kBeyondWeight;
        FitBand& shelf = trial.bands[b];
        shelf.fields[kBandType] = kHighShelfType;
        shelf.fields[kBandQ] = kDefaultQ;
        shelf.lowestQ = 0.1;
        shelf.highestQ = 50.0;
        shelf.shape();
        shelf.anchor();
        const double reshaped = fitRounds(trial, designer);
        if (reshaped < worst) {
            worst = reshaped;
            p = std::move(trial);
        }
    }

    // Scale: the largest gain, as the mapping chose it, now for the fitted gains
    // and those of the bands the fit left alone.
    std::vector<bool> fittedBand(kNumBands, false);
    for (const FitBand& b : p.bands) fittedBand[b.band] = true;
    double scale = kDefaultScaleDb;
    for (const FitBand& b : p.bands) scale = std::max(scale, std::ceil(std::fabs(b.fields[kBandGain])));
    for (int b = 0; b < kNumBands; ++b)
        if (!fittedBand[b]) scale = std::max(scale, std::fabs(realOf(import, bandParam(b, kBandGain)) * oldScale));
    scale = std::min(scale, 36.0);
    for (int b = 0; b < kNumBands; ++b) {
        const int gi = bandParam(b, kBandGain);
        import.values[gi] = staticNormalisedOf(gi, realOf(import, gi) * oldScale / scale);
    }
    import.values[kScale] = staticNormalisedOf(kScale, scale);
    for (FitBand& band : p.bands) {
        band.fields[kBandGain] /= scale;
        for (int f : {kBandType, kBandFrequency, kBandGain, kBandQ}) {
            const int index = bandParam(band.band, f);
            import.values[index] = staticNormalisedOf(index, band.fields[f]);
        }
    }
}

}  // namespace hm::peq
