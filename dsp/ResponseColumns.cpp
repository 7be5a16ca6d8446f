#include "dsp/ResponseColumns.h"

#include <cmath>

#include "dsp/EQ.h"

namespace hm::dsp {

void ColumnPoints::set(const double* hz, int count, double sampleRate) {
    points_.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    for (std::size_t i = 0; i < points_.size(); ++i) points_[i] = circlePoint(2.0 * M_PI * hz[i] / sampleRate);
    rate_ = sampleRate;
}

void columnResponses(const EQ& filter, const ColumnPoints& points, double* re, double* im) {
    double coeffs[kMaxSections][kBiquadCoefficients];
    const int sections = filter.getCoefficients(&coeffs[0][0]);
    const CirclePoint* p = points.data();
    for (int i = 0; i < points.size(); ++i) cascadeResponseAt(coeffs, sections, p[i], &re[i], &im[i]);
}

}  // namespace hm::dsp
