#pragma once
// Frequency response of a biquad cascade, evaluated on the unit circle.
//
// Each section is taken with numerator and denominator multiplied by z^2, so
// N = b0 e^{2jw} + b1 e^{jw} + b2 and D = e^{2jw} + a1 e^{jw} + a2 (the ratio is
// unchanged). w is in radians per sample.
#include "dsp/Biquad.h"

namespace hm::dsp {

// A point e^{jw} of the unit circle with its square: cos w, sin w, cos 2w, sin 2w.
struct CirclePoint {
    double c1, s1, c2, s2;
};
CirclePoint circlePoint(double w);

struct ComplexValue {
    double re, im;
};

inline ComplexValue multiply(ComplexValue a, ComplexValue b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// One section's N and D at a point (coefficients b0, b1, b2, a1, a2).
inline void sectionTerms(const double* c, const CirclePoint& p, ComplexValue& n, ComplexValue& d) {
    n = {c[0] * p.c2 + c[1] * p.c1 + c[2], c[0] * p.s2 + c[1] * p.s1};
    d = {p.c2 + c[3] * p.c1 + c[4], p.s2 + c[3] * p.s1};
}

// H = num / den as num * conj(den) / |den|^2; where |den|^2 is 0 each component is
// 1 when its numerator term is 0, else 0.
inline ComplexValue divideResponse(ComplexValue num, ComplexValue den) {
    const double dd = den.re * den.re + den.im * den.im;
    const double hr = num.re * den.re + num.im * den.im;
    const double hi = num.im * den.re - num.re * den.im;
    if (dd == 0.0) return {hr == 0.0 ? 1.0 : 0.0, hi == 0.0 ? 1.0 : 0.0};
    return {hr / dd, hi / dd};
}

// A channel's bands combined: series bands multiply; parallel bands (each holding
// H - 1, a unity design contributing nothing) add to the dry path.
class ChannelSum {
public:
    void add(ComplexValue h, bool parallel, bool identity) {
        if (!parallel) {
            series_ = multiply(series_, h);
        } else if (!identity) {
            sum_.re += h.re;
            sum_.im += h.im;
        }
    }
    ComplexValue total() const { return multiply(series_, sum_); }

private:
    ComplexValue series_{1.0, 0.0};
    ComplexValue sum_{1.0, 0.0};
};

// cascadeResponse at a precomputed point: graphs that evaluate many cascades at
// the same frequencies compute the trigonometry once.
void cascadeResponseAt(const double (*coeffs)[kBiquadCoefficients], int sections, const CirclePoint& p, double* re,
                       double* im);

// sqrt(prod |N|^2 / prod |D|^2); where the denominator product vanishes: 1 if the
// numerator product vanishes too, else 0.
double cascadeMagnitude(const double (*coeffs)[kBiquadCoefficients], int sections, double w);

// H = prod N / prod D. Each non-null output receives its component; where |prod D|^2
// is 0 a component is 1 when its numerator term is 0, else 0.
void cascadeResponse(const double (*coeffs)[kBiquadCoefficients], int sections, double w, double* re,
                     double* im);

double biquadMagnitude(const Biquad& bq, double w);

}  // namespace hm::dsp
