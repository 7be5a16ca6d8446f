#include "dsp/fir/FirBuilder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hm::dsp {

namespace {

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace

int firLatency(int mode, int irLength)
{
    return (mode == kModeAnalogue || mode == kModeLinear || mode == kModeFree) ? irLength / 2 : 0;
}

void fillDisplayWindow(WindowRecord& window, int mode, double* values, int n)
{
    std::fill(values, values + n, 1.0);
    if (mode == kModeFullMinimum || mode == kModeZeroLatencyAnalogue) oneSidedWindow(window, values, n);
    else symmetricWindow(window, values, n);
}

void FirBuilder::inverseReal(const double* s, std::size_t n)
{
    const std::size_t half = n / 2;
    fft_.prepare(n);
    work_.resize(2 * n);
    time_.resize(n);
    double* x = work_.data();
    // X[i] = S[i] below N/2, X[N - i] = conj S[i], X[N/2] = |S[N/2]|, Im X[0] = 0.
    x[0] = s[0];
    x[1] = 0.0;
    for (std::size_t i = 1; i < half; ++i) {
        x[2 * i] = s[2 * i];
        x[2 * i + 1] = s[2 * i + 1];
        x[2 * (n - i)] = s[2 * i];
        x[2 * (n - i) + 1] = -s[2 * i + 1];
    }
    if (n >= 2) {
        x[2 * half] = std::hypot(s[2 * half], s[2 * half + 1]);
        x[2 * half + 1] = 0.0;
    }
    fft_.inverse(x, n);
    for (std::size_t i = 0; i < n; ++i) time_[i] = x[2 * i];
}

bool FirBuilder::buildImpulse(const ResponseSource& source, int mode, int length, int padFactor,
                              double sampleRate, WindowRecord& window, double* out)
{
    if (mode < kModeFullMinimum || mode > kModeFree || !isPowerOfTwo(length) || out == nullptr) return false;
    if (padFactor != 1 && padFactor != 2 && padFactor != 4 && padFactor != 8) padFactor = 1;
    if (!(sampleRate > 0.0)) return false;

    const std::size_t L = static_cast<std::size_t>(length);
    const std::size_t n = L * static_cast<std::size_t>(padFactor);
    const std::size_t half = n / 2;
    const std::size_t bins = half + 1;
    const double df = sampleRate / static_cast<double>(n);

    mag_.assign(bins, 1.0 / static_cast<double>(n));
    phase_.assign(bins, 0.0);
    sumA_.assign(2 * bins, 0.0);  // parallel sum, complex
    for (std::size_t i = 0; i < bins; ++i) sumA_[2 * i] = 1.0;
    bandMag_.resize(bins);
    bandPhase_.resize(bins);

    bool anyParallel = false;
    for (int b = 0; b < source.bandCount(); ++b) {
        source.analogue(b, df, static_cast<int>(bins), bandMag_.data(), bandPhase_.data());
        if (source.isParallel(b)) {
            anyParallel = true;
            for (std::size_t i = 0; i < bins; ++i) {
                sumA_[2 * i] += bandMag_[i] * std::cos(bandPhase_[i]) - 1.0;
                sumA_[2 * i + 1] += bandMag_[i] * std::sin(bandPhase_[i]);
            }
            continue;
        }
        double rho = 1.0;  // modes 2, 3, 4 keep the whole phase
        if (mode == kModeLinear) rho = 0.0;
        else if (mode == kModeFree) rho = std::clamp(source.phaseAmount(b), 0.0, 1.0);
        for (std::size_t i = 0; i < bins; ++i) {
            mag_[i] *= bandMag_[i];
            phase_[i] += rho * bandPhase_[i];
        }
    }

    double phiMax = 0.0;
    for (std::size_t i = 0; i < bins; ++i) phiMax = std::max(phiMax, std::abs(phase_[i]));

    spectrum_.resize(2 * bins);
    for (std::size_t i = 0; i < bins; ++i) {
        double re = mag_[i] * std::cos(phase_[i]), im = mag_[i] * std::sin(phase_[i]);
        if (anyParallel) {
            double zr = sumA_[2 * i], zi = sumA_[2 * i + 1];
            if (mode == kModeLinear) {  // the parallel sum joins with zero phase
                zr = std::hypot(zr, zi);
                zi = 0.0;
            }
            const double r = re * zr - im * zi;
            im = re * zi + im * zr;
            re = r;
        }
        spectrum_[2 * i] = re;
        spectrum_[2 * i + 1] = im;
    }
    inverseReal(spectrum_.data(), n);

    if (mode == kModeZeroLatencyAnalogue) {
        // The causal response of the analogue phase rotated right by the group delay
        // bound, so that what wrapped to the end of the period returns to the front.
        const std::size_t shift = static_cast<std::size_t>(std::fmod(std::floor(phiMax / std::numbers::pi),
                                                                      static_cast<double>(n)));
        for (std::size_t k = 0; k < L; ++k) out[k] = time_[(k + n - shift) % n];
        oneSidedWindow(window, out, length);
        return true;
    }

    // Time zero to sample N/2 (halves exchanged), then the centred L samples.
    const std::size_t start = (static_cast<std::size_t>(padFactor) - 1) * L / 2;
    for (std::size_t k = 0; k < L; ++k) out[k] = time_[(start + k + half) % n];
    symmetricWindow(window, out, length);
    if (mode == kModeFullMinimum) minimumPhase_.convert(out, length);
    return true;
}

bool FirBuilder::buildCompensation(const ResponseSource& source, int length, double sampleRate,
                                   WindowRecord& window, double* out)
{
    if (!isPowerOfTwo(length) || length < 2 || out == nullptr || !(sampleRate > 0.0)) return false;
    const std::size_t n = static_cast<std::size_t>(length);
    const std::size_t bins = n / 2 + 1;
    const double df = sampleRate / static_cast<double>(n);

    mag_.assign(bins, 1.0);    // analogue magnitude A
    phase_.assign(bins, 1.0);  // digital magnitude D
    sumA_.assign(2 * bins, 0.0);
    sumD_.assign(2 * bins, 0.0);
    for (std::size_t i = 0; i < bins; ++i) sumA_[2 * i] = sumD_[2 * i] = 1.0;
    bandMag_.resize(bins);
    bandPhase_.resize(bins);
    bandResp_.resize(2 * bins);

    for (int b = 0; b < source.bandCount(); ++b) {
        source.analogue(b, df, static_cast<int>(bins), bandMag_.data(), bandPhase_.data());
        source.digital(b, df, static_cast<int>(bins), bandResp_.data());
        if (source.isParallel(b)) {
            // Analogue side adds H - 1 of the prototype; the running filter already
            // holds H - 1, so its response adds as it is.
            for (std::size_t i = 0; i < bins; ++i) {
                sumA_[2 * i] += bandMag_[i] * std::cos(bandPhase_[i]) - 1.0;
                sumA_[2 * i + 1] += bandMag_[i] * std::sin(bandPhase_[i]);
                sumD_[2 * i] += bandResp_[2 * i];
                sumD_[2 * i + 1] += bandResp_[2 * i + 1];
            }
        } else {
            for (std::size_t i = 0; i < bins; ++i) {
                mag_[i] *= bandMag_[i];
                phase_[i] *= std::hypot(bandResp_[2 * i], bandResp_[2 * i + 1]);
            }
        }
    }

    spectrum_.assign(2 * bins, 0.0);
    for (std::size_t i = 0; i < bins; ++i) {
        const double a = mag_[i] * std::hypot(sumA_[2 * i], sumA_[2 * i + 1]);
        const double d = phase_[i] * std::hypot(sumD_[2 * i], sumD_[2 * i + 1]);
        double t = std::max(a, 0.0001) / std::max(d, 0.0001);
        if (!(t <= 100.0)) t = 100.0;  // NaN from a broken response counts as the cap
        spectrum_[2 * i] = t;
    }
    inverseReal(spectrum_.data(), n);

    const std::size_t half = n / 2;
    for (std::size_t k = 0; k < n; ++k) out[k] = time_[(k + half) % n];
    symmetricWindow(window, out, length);
    minimumPhase_.convert(out, length);
    const double scale = std::pow(10.0, 0.00063) / static_cast<double>(n);
    for (std::size_t k = 0; k < n; ++k) out[k] *= scale;
    return true;
}

}  // namespace hm::dsp
