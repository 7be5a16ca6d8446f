#include "dsp/DigitalResponse.h"

#include <cmath>

namespace hm::dsp {

CirclePoint circlePoint(double w) { return {std::cos(w), std::sin(w), std::cos(2.0 * w), std::sin(2.0 * w)}; }

double cascadeMagnitude(const double (*coeffs)[kBiquadCoefficients], int sections, double w)
{
    const CirclePoint p = circlePoint(w);
    double num = 1.0, den = 1.0;
    for (int i = 0; i < sections; ++i) {
        ComplexValue n, d;
        sectionTerms(coeffs[i], p, n, d);
        num *= n.re * n.re + n.im * n.im;
        den *= d.re * d.re + d.im * d.im;
    }
    if (den == 0.0) return num == 0.0 ? 1.0 : 0.0;
    return std::sqrt(num / den);
}

void cascadeResponse(const double (*coeffs)[kBiquadCoefficients], int sections, double w, double* re,
                     double* im)
{
    cascadeResponseAt(coeffs, sections, circlePoint(w), re, im);
}

void cascadeResponseAt(const double (*coeffs)[kBiquadCoefficients], int sections, const CirclePoint& p, double* re,
                       double* im)
{
    ComplexValue num{1.0, 0.0}, den{1.0, 0.0};
    for (int i = 0; i < sections; ++i) {
        ComplexValue n, d;
        sectionTerms(coeffs[i], p, n, d);
        num = multiply(num, n);
        den = multiply(den, d);
    }
    const ComplexValue h = divideResponse(num, den);
    if (re) *re = h.re;
    if (im) *im = h.im;
}

double biquadMagnitude(const Biquad& bq, double w)
{
    const double c[1][kBiquadCoefficients] = {{bq.b0, bq.b1, bq.b2, bq.a1, bq.a2}};
    return cascadeMagnitude(c, 1, w);
}

}  // namespace hm::dsp
