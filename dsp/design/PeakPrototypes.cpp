// Peak prototypes: the second-order peaking section (shared by the gain-to-Q
// models), the two-section "FlatTop" and "Butterworth" peaks and the dispatch to
// the circuit peaks. All are centred on s = j and unity far from the centre.
#include <algorithm>
#include <cmath>

#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

// Fourth-order Butterworth-style peak: the band-pass (Q) pair of poles for 0 dB is
// split into two resonances o, 1/o; the zeros are the same construction with the
// gain folded into the bandwidth, so 0 dB gives identical poles and zeros.
int butterworthPeak(double gainDb, double q, AnalogSection out[kMaxSections])
{
    const double a = std::sqrt(2.0);
    const double g = std::pow(10.0, gainDb / 40.0);

    const double F = 1.0 / (q * q) + 4.0;
    const double t = 2.0 / (a * q);
    const double h = std::sqrt(std::max(F * F - 4.0 * t * t, 0.0));
    const double l = std::sqrt((h + F) / (2.0 * t * t));
    const double m = l / (a * q);
    const double o = std::sqrt(std::max(m * m - 1.0, 0.0)) + m;

    const double R = g * g / (q * q) + 4.0;
    const double T = 2.0 * g / (a * q);
    const double U = std::sqrt(std::max(R * R - 4.0 * T * T, 0.0));
    const double v = std::sqrt((U + R) / (2.0 * T * T));
    const double c = v * g / (a * q);
    const double w = std::sqrt(std::max(c * c - 1.0, 0.0)) + c;

    out[0] = secondOrder(1.0, w / v, w * w, 1.0, o / l, o * o);
    out[1] = secondOrder(1.0, 1.0 / (w * v), 1.0 / (w * w), 1.0, 1.0 / (o * l), 1.0 / (o * o));
    return 2;
}

// Sharpening factor of the "FlatTop" peak: how far apart (A = f and 1/f) the two
// equal peaking sections may move before a dip opens between them, i.e. the
// spread at which the combined response is maximally flat at the centre. The
// condition is the cubic 4y^3 - 3p y + t = 0 in y = (f^2 + 1/f^2)/2.
double flatTopSpread(double q, double g)
{
    const double m = q * q;
    const double o = m * m;
    const double r = g * g;
    const double t = (16.0 * o * r - 4.0 * m * (r * r + 1.0)) / (2.0 * r * o);
    const double p = 1.0 - (2.0 * m * (r * r + 1.0) - r - 9.0 * o * r) / (3.0 * r * o);
    const double u = t * t - p * p * p;

    double roots[3];
    int count = 0;
    if (u < 0.0) {
        const double angle = std::acos(std::clamp(t * std::pow(p, -1.5), -1.0, 1.0));
        const double sp = std::sqrt(p);
        const double pi = 3.14159265358979323846;
        roots[count++] = -sp * std::cos(angle / 3.0);
        roots[count++] = -sp * std::cos((angle + 2.0 * pi) / 3.0);
        roots[count++] = -sp * std::cos((angle - 2.0 * pi) / 3.0);
    } else {
        double c = std::cbrt(std::sqrt(u) + std::fabs(t));
        if (t > 0.0) c = -c;
        roots[count++] = c != 0.0 ? (c + p / c) / 2.0 : 0.0;
    }
    double spread = 0.0;
    for (int i = 0; i < count; ++i)
        if (roots[i] > 1.0) spread = roots[i] + std::sqrt(roots[i] * roots[i] - 1.0);
    return spread > 0.0 ? std::sqrt(spread) : 1.0;
}

int flatTopPeak(double gainDb, double q, double shift, AnalogSection out[kMaxSections])
{
    const double g = std::pow(10.0, gainDb / 80.0);
    const double f = flatTopSpread(q, g);
    const double a = (f - 1.0) * std::max(shift, 0.0) * 0.01 + 1.0;
    out[0] = secondOrder(1.0, a * g / q, a * a, 1.0, a / (g * q), a * a);
    out[1] = secondOrder(1.0, g / (a * q), 1.0 / (a * a), 1.0, 1.0 / (a * g * q), 1.0 / (a * a));
    return 2;
}

}  // namespace

int peakPrototype(int subtype, double gainDb, double q, double shift, AnalogSection out[kMaxSections])
{
    switch (subtype) {
    case 1:
        out[0] = peak4kg(gainDb, q);
        return 1;
    case 11:
        return flatTopPeak(gainDb, q, shift, out);
    case 12:
        return butterworthPeak(gainDb, q, out);
    case 13:
        out[0] = peak250(gainDb, q);
        return 1;
    default:
        break;
    }
    if (subtype < 0 || subtype > 13) return 0;
    double a = 1.0;
    const double qe = gainToQ(subtype, gainDb, q, shift, &a);
    out[0] = secondOrder(1.0, a / qe, 1.0, 1.0, 1.0 / (a * qe), 1.0);
    return 1;
}

}  // namespace hm::dsp::design
