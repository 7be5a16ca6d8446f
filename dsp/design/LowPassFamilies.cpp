// Low-pass families of the pass types, normalised to the corner w = 1. An order N
// filter is N/2 second-order sections followed, for odd N, by one first-order
// section; the high-pass is derived from these by the dispatcher (s -> 1/s).
// Second-order sections are n0/(d2 s^2 + d1 s + d0), unity gain at DC unless the
// family says otherwise.
#include <cmath>

#include "dsp/design/PoleTables.h"
#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Resonant sections with the band's Q: order 2 is the plain Q-controlled low-pass.
int kesLowPass(int order, double q, AnalogSection* out)
{
    int n = 0;
    for (int i = 0; i < order / 2; ++i) out[n++] = secondOrder(0.0, 0.0, 1.0, 1.0, 1.0 / q, 1.0);
    if (order % 2) out[n++] = firstOrder(0.0, 1.0, 1.0, 1.0);
    return n;
}

// Every section identical (damping sqrt 2, radius e): the corner radius e solves
// e^4 = c e^2 + k with k second-order sections and c first-order ones.
int coincidentLowPass(int order, AnalogSection* out)
{
    const int k = order / 2;
    const double c = order % 2 ? 1.0 : 0.0;
    const double e = order < 2 ? 1.0 : std::sqrt(2.0 * k / (std::sqrt(c * c + 4.0 * k) - c));
    int n = 0;
    for (int i = 0; i < k; ++i) out[n++] = secondOrder(0.0, 0.0, e * e, 1.0, std::sqrt(2.0) * e, e * e);
    if (order % 2) out[n++] = firstOrder(0.0, e, 1.0, e);
    return n;
}

// Poles evenly spaced on the unit half circle.
int butterworthLowPass(int order, AnalogSection* out)
{
    int n = 0;
    for (int i = 0; i < order / 2; ++i) {
        const double damping = -2.0 * std::cos(kPi * (order + 2 * i + 1) / (2.0 * order));
        out[n++] = secondOrder(0.0, 0.0, 1.0, 1.0, damping, 1.0);
    }
    if (order % 2) out[n++] = firstOrder(0.0, 1.0, 1.0, 1.0);
    return n;
}

// Type I Chebyshev with ripple R dB, scaled so the pass band ripples between 0 dB
// and +R dB for every order (each section has unity DC gain; the odd order's
// first-order section carries the factor r = 10^(R/20)).
int chebyshevLowPass(int order, double rippleDb, AnalogSection* out)
{
    const double r = std::pow(10.0, rippleDb / 20.0);
    double sh = 1.0, ch = 1.0;
    if (r > 1.0) {
        const double eps = std::sqrt(r * r - 1.0);
        const double mu = std::asinh(1.0 / eps) / order;
        sh = std::sinh(mu);
        ch = std::cosh(mu);
    }
    int n = 0;
    for (int k = 0; k < order / 2; ++k) {
        const double theta = (k + 0.5) * kPi / order;
        const double sigma = -std::sin(theta) * sh;
        const double omega = std::cos(theta) * ch;
        const double g = sigma * sigma + omega * omega;
        out[n++] = secondOrder(0.0, 0.0, g, 1.0, -2.0 * sigma, g);
    }
    if (order % 2) {
        if (r > 1.0)
            out[n++] = firstOrder(0.0, r * sh, 1.0, sh);
        else
            out[n++] = firstOrder(0.0, 1.0, 1.0, 1.0);
    }
    return n;
}

// Critically damped: N coincident real poles at 1/x, x chosen so the whole
// cascade is -3 dB at w = 1 ((1 + x^2)^N = 2).
int criticalLowPass(int order, AnalogSection* out)
{
    const double x = std::sqrt(std::pow(2.0, 1.0 / order) - 1.0);
    int n = 0;
    for (int i = 0; i < order / 2; ++i) out[n++] = secondOrder(0.0, 0.0, 1.0, x * x, 2.0 * x, 1.0);
    if (order % 2) out[n++] = firstOrder(0.0, 1.0, x, 1.0);
    return n;
}

// Phase-only: every pole pair mirrored by a zero pair in the right half plane.
int allpassFamily(int order, double q, AnalogSection* out)
{
    int n = 0;
    for (int i = 0; i < order / 2; ++i) out[n++] = secondOrder(1.0, -1.0 / q, 1.0, 1.0, 1.0 / q, 1.0);
    if (order % 2) out[n++] = firstOrder(1.0, -1.0, 1.0, 1.0);
    return n;
}

// A resonant low-pass (unit gain at the corner, 1/Q at DC) followed by
// resonances at 1/2, 1/3 ... of the corner (the high-pass swap moves them to
// 2x, 3x ...), each a peak of height Q over unity.
int harmonicsLowPass(int order, double q, AnalogSection* out)
{
    int n = 0;
    if (order >= 2) out[n++] = secondOrder(0.0, 0.0, 1.0 / q, 1.0, 1.0 / q, 1.0);
    for (int k = 1; k < order / 2; ++k) {
        const double m2 = double(k + 1) * double(k + 1);
        out[n++] = secondOrder(m2, 1.0, 1.0, m2, 1.0 / q, 1.0);
    }
    if (order % 2) out[n++] = firstOrder(0.0, 1.0, 1.0, 1.0);
    return n;
}

// Sections from a pole table: |p|^2/(s^2 - 2 Re(p) s + |p|^2) per pair and
// -p/(s - p) for the real pole, each with unity DC gain.
int poleTableLowPass(const Pole (*table)[kMaxPolesPerOrder], int order, AnalogSection* out)
{
    if (order < 1 || order > kMaxTableOrder) return 0;
    const Pole* poles = table[order - 1];
    int n = 0;
    for (int i = 0; i < order / 2; ++i) {
        const double r2 = poles[i].re * poles[i].re + poles[i].im * poles[i].im;
        out[n++] = secondOrder(0.0, 0.0, r2, 1.0, -2.0 * poles[i].re, r2);
    }
    if (order % 2) {
        const double p = poles[order / 2].re;
        out[n++] = firstOrder(0.0, -p, 1.0, -p);
    }
    return n;
}

}  // namespace

int besselLowPass(int order, AnalogSection out[kMaxSections])
{
    return poleTableLowPass(kBesselPoles, order, out);
}

int legendreLowPass(int order, AnalogSection out[kMaxSections])
{
    return poleTableLowPass(kLegendrePoles, order, out);
}

int lowPassFamily(int subtype, int order, double q, AnalogSection out[kMaxSections])
{
    if (order < 1 || order > 2 * kMaxSections) return 0;
    switch (subtype) {
    case 0: return kesLowPass(order, q, out);
    case 1: return coincidentLowPass(order, out);
    case 2: return butterworthLowPass(order, out);
    case 3: return chebyshevLowPass(order, q, out);
    case 4: return besselLowPass(order, out);
    case 5: return criticalLowPass(order, out);
    case 6: return legendreLowPass(order, out);
    case 7: return ellipticLowPass(order, q, out);
    case 8: return allpassFamily(order, q, out);
    case 9: return harmonicsLowPass(order, q, out);
    default: return 0;
    }
}

}  // namespace hm::dsp::design
