#include <algorithm>
#include <cmath>

#include "dsp/DigitalResponse.h"
#include "dsp/PrototypeResponse.h"
#include "dsp/design/BiquadForms.h"

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The poles mapped as they are (z = e^(sT)) and the numerator the reversed
// denominator, which makes the magnitude exactly 1: a resonant all-pass keeps the
// place and width of its phase turn up to Nyquist, where the bilinear image
// narrows it by the warping (by half at 22 kHz and 96 kHz).
Biquad matchedAllPass(const AnalogSection& s, double fs)
{
    const double w0 = std::sqrt(s.d0 / s.d2) / fs;
    double a1, a2;
    matchedPoles(w0, std::sqrt(s.d0 * s.d2) / s.d1, a1, a2);
    return {a2, a1, 1.0, a1, a2};
}

// Largest phase difference in radians between a biquad and the analogue section
// (radians per second) at 24 points spaced evenly in log-frequency from 20 Hz to
// fs/4.
double worstPhaseError(const Biquad& bq, const AnalogSection& s, double fs)
{
    constexpr int kPoints = 24;
    const double c[kBiquadCoefficients] = {bq.b0, bq.b1, bq.b2, bq.a1, bq.a2};
    double worst = 0.0;
    for (int i = 0; i < kPoints; ++i) {
        const double hz = 20.0 * std::pow(0.25 * fs / 20.0, i / (kPoints - 1.0));
        double re = 0.0, im = 0.0;
        cascadeResponse(&c, 1, 2.0 * kPi * hz / fs, &re, &im);
        const double e = std::remainder(std::atan2(im, re) - analogPhase(&s, 1, 2.0 * kPi * hz), 2.0 * kPi);
        worst = std::max(worst, std::isfinite(e) ? std::fabs(e) : 1e9);
    }
    return worst;
}

}  // namespace

Biquad allPassBiquad(const AnalogSection& s, double bandHz, double fs)
{
    const Biquad bilinear = bilinearSection(s, bandHz, fs);
    if (s.d0 == 0.0 || s.d2 == 0.0 || !(s.d0 / s.d2 > 0.0) || !(s.d1 / s.d2 > 0.0)) return bilinear;
    const Biquad matched = matchedAllPass(s, fs);
    return worstPhaseError(matched, s, fs) < worstPhaseError(bilinear, s, fs) ? matched : bilinear;
}

}  // namespace hm::dsp
