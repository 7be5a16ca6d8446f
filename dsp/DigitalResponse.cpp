#include "dsp/DigitalResponse.h"

#include <cmath>

namespace hm::dsp {

namespace {

struct Complex {
    double re, im;
};

inline Complex mul(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }

inline void sectionTerms(const double* c, double c1, double s1, double c2, double s2, Complex& n, Complex& d)
{
    n = {c[0] * c2 + c[1] * c1 + c[2], c[0] * s2 + c[1] * s1};
    d = {c2 + c[3] * c1 + c[4], s2 + c[3] * s1};
}

}  // namespace

double cascadeMagnitude(const double (*coeffs)[kBiquadCoefficients], int sections, double w)
{
    const double c1 = std::cos(w), s1 = std::sin(w), c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
    double num = 1.0, den = 1.0;
    for (int i = 0; i < sections; ++i) {
        Complex n, d;
        sectionTerms(coeffs[i], c1, s1, c2, s2, n, d);
        num *= n.re * n.re + n.im * n.im;
        den *= d.re * d.re + d.im * d.im;
    }
    if (den == 0.0) return num == 0.0 ? 1.0 : 0.0;
    return std::sqrt(num / den);
}

void cascadeResponse(const double (*coeffs)[kBiquadCoefficients], int sections, double w, double* re,
                     double* im)
{
    const double c1 = std::cos(w), s1 = std::sin(w), c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
    Complex num{1.0, 0.0}, den{1.0, 0.0};
    for (int i = 0; i < sections; ++i) {
        Complex n, d;
        sectionTerms(coeffs[i], c1, s1, c2, s2, n, d);
        num = mul(num, n);
        den = mul(den, d);
    }
    const double dd = den.re * den.re + den.im * den.im;
    // H = num * conj(den) / |den|^2
    const double hr = num.re * den.re + num.im * den.im;
    const double hi = num.im * den.re - num.re * den.im;
    if (dd == 0.0) {
        if (re) *re = hr == 0.0 ? 1.0 : 0.0;
        if (im) *im = hi == 0.0 ? 1.0 : 0.0;
        return;
    }
    if (re) *re = hr / dd;
    if (im) *im = hi / dd;
}

double biquadMagnitude(const Biquad& bq, double w)
{
    const double c[1][kBiquadCoefficients] = {{bq.b0, bq.b1, bq.b2, bq.a1, bq.a2}};
    return cascadeMagnitude(c, 1, w);
}

}  // namespace hm::dsp
