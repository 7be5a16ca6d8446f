#include "dsp/ResponseCurves.h"

#include <cmath>
#include <cstring>

#include "dsp/EQBank.h"

namespace hm::dsp {

void ResponseCurves::setFrequencies(const double* hz, int count) {
    hz_.assign(hz, hz + (count > 0 ? count : 0));
    pointsRate_ = 0.0;  // the points follow at the next update
}

int ResponseCurves::update(const EQBank& bank, int channel) {
    const std::size_t n = hz_.size();
    const int bands = bank.getBandCount();
    const double rate = bank.getSampleRate();
    if (rate != pointsRate_) {
        points_.resize(n);
        for (std::size_t j = 0; j < n; ++j) points_[j] = circlePoint(2.0 * M_PI * hz_[j] / rate);
        pointsRate_ = rate;
        made_.assign(static_cast<std::size_t>(bands), Made{});
    }
    made_.resize(static_cast<std::size_t>(bands));
    curves_.resize(static_cast<std::size_t>(bands) * n);

    int evaluated = 0;
    for (int b = 0; b < bands; ++b) {
        const EQ* f = bank.getFilter(b, channel);
        Made now;
        now.sections = f ? f->getCoefficients(now.coeffs) : 0;
        now.parallel = f && f->getParallel() != 0;
        now.identity = f && f->getIdentity() != 0;
        Made& was = made_[static_cast<std::size_t>(b)];
        const std::size_t used = sizeof(double) * kBiquadCoefficients * static_cast<std::size_t>(now.sections);
        if (was.sections == now.sections && was.parallel == now.parallel && was.identity == now.identity &&
            std::memcmp(was.coeffs, now.coeffs, used) == 0)
            continue;
        was = now;
        ++evaluated;
        const auto* coeffs = reinterpret_cast<const double(*)[kBiquadCoefficients]>(now.coeffs);
        ComplexValue* curve = curves_.data() + static_cast<std::size_t>(b) * n;
        for (std::size_t j = 0; j < n; ++j) cascadeResponseAt(coeffs, now.sections, points_[j], &curve[j].re, &curve[j].im);
    }
    if (evaluated > 0 || magnitude_.size() != n) combine();
    return evaluated;
}

// The channel's curve, as ChannelSum combines bands, column by column along each
// band's curve.
void ResponseCurves::combine() {
    const std::size_t n = hz_.size();
    series_.assign(n, ComplexValue{1.0, 0.0});
    sum_.assign(n, ComplexValue{1.0, 0.0});
    for (std::size_t b = 0; b < made_.size(); ++b) {
        const ComplexValue* curve = curves_.data() + b * n;
        if (!made_[b].parallel) {
            for (std::size_t j = 0; j < n; ++j) series_[j] = multiply(series_[j], curve[j]);
        } else if (!made_[b].identity) {
            for (std::size_t j = 0; j < n; ++j) {
                sum_[j].re += curve[j].re;
                sum_[j].im += curve[j].im;
            }
        }
    }
    magnitude_.resize(n);
    for (std::size_t j = 0; j < n; ++j) {
        const ComplexValue total = multiply(series_[j], sum_[j]);
        magnitude_[j] = std::hypot(total.re, total.im);
    }
}

}  // namespace hm::dsp
