#include "core/peq/TextbookBiquad.h"

#include <algorithm>
#include <cmath>

#include "core/peq/PeqMapping.h"

namespace hm::peq {
namespace {

constexpr double kPi = 3.14159265358979323846;

dsp::Biquad normalised(double b0, double b1, double b2, double a0, double a1, double a2) {
    dsp::Biquad q;
    q.b0 = b0 / a0;
    q.b1 = b1 / a0;
    q.b2 = b2 / a0;
    q.a1 = a1 / a0;
    q.a2 = a2 / a0;
    return q;
}

// H(s) = (s + wc·sqrt G)/(s + wc/sqrt G) (low) or (sqrt G·s + wc)/(s/sqrt G + wc)
// (high), the midpoint at wc; bilinear with wc prewarped to K = tan(w0/2).
dsp::Biquad firstOrderShelf(bool high, double gainDb, double w0) {
    const double r = std::pow(10.0, gainDb / 40.0);  // sqrt G
    const double k = std::tan(w0 / 2.0);
    if (high) return normalised(r + k, k - r, 0.0, 1.0 / r + k, k - 1.0 / r, 0.0);
    return normalised(1.0 + k * r, k * r - 1.0, 0.0, 1.0 + k / r, k / r - 1.0, 0.0);
}

}  // namespace

dsp::Biquad textbookBiquad(const Filter& f, double sampleRate) {
    const double w0 = 2.0 * kPi * f.frequency / sampleRate;
    const double cw = std::cos(w0), sw = std::sin(w0);
    const double a = std::pow(10.0, f.gainDb / 40.0);
    if ((f.type == FilterType::LowShelf || f.type == FilterType::HighShelf) && f.slopeDb == 6.0)
        return firstOrderShelf(f.type == FilterType::HighShelf, f.gainDb, w0);
    // The cookbook's bandwidth is the digital one (hence w0/sin w0); Q and the
    // shelf slope carry over unchanged. Near Nyquist a wide bandwidth would
    // overflow the sinh: long before that the filter is its limit (a flat gain).
    constexpr double kLargestSinhArgument = 700.0;
    const double alpha =
        f.bandwidth > 0.0
            ? sw * std::sinh(std::min(std::log(2.0) / 2.0 * f.bandwidth * w0 / sw, kLargestSinhArgument))
            : sw / (2.0 * analogueQ(f));
    const double ra = 2.0 * std::sqrt(a) * alpha;
    switch (f.type) {
        case FilterType::Peak:
            return normalised(1.0 + alpha * a, -2.0 * cw, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * cw, 1.0 - alpha / a);
        case FilterType::LowShelf:
            return normalised(a * ((a + 1) - (a - 1) * cw + ra), 2 * a * ((a - 1) - (a + 1) * cw),
                              a * ((a + 1) - (a - 1) * cw - ra), (a + 1) + (a - 1) * cw + ra,
                              -2 * ((a - 1) + (a + 1) * cw), (a + 1) + (a - 1) * cw - ra);
        case FilterType::HighShelf:
            return normalised(a * ((a + 1) + (a - 1) * cw + ra), -2 * a * ((a - 1) + (a + 1) * cw),
                              a * ((a + 1) + (a - 1) * cw - ra), (a + 1) - (a - 1) * cw + ra,
                              2 * ((a - 1) - (a + 1) * cw), (a + 1) - (a - 1) * cw - ra);
        case FilterType::LowPass:
            return normalised((1 - cw) / 2, 1 - cw, (1 - cw) / 2, 1 + alpha, -2 * cw, 1 - alpha);
        case FilterType::HighPass:
            return normalised((1 + cw) / 2, -(1 + cw), (1 + cw) / 2, 1 + alpha, -2 * cw, 1 - alpha);
        case FilterType::Notch: return normalised(1, -2 * cw, 1, 1 + alpha, -2 * cw, 1 - alpha);
        case FilterType::AllPass: return normalised(1 - alpha, -2 * cw, 1 + alpha, 1 + alpha, -2 * cw, 1 - alpha);
        case FilterType::BandPass: return normalised(alpha, 0, -alpha, 1 + alpha, -2 * cw, 1 - alpha);
    }
    return dsp::Biquad{};
}

}  // namespace hm::peq
