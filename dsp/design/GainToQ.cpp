// Gain-to-Q rules: how each peak/band-pass model narrows or widens its bandwidth
// with the amount of boost or cut. A = 10^(gain/40) is the amplitude factor of the
// peaking section (its centre gain is A^2); the "110" model also moves A.
#include <algorithm>
#include <cmath>

#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

// "GAIN->Q": find the bandwidth at which a cut of the same depth would have the
// band's Q at its half-gain points, then re-spread it by the shift factor b
// (b = 1, i.e. shift 0, gives Q back).
double gainToQConstantArea(double a, double q, double shift)
{
    const double e = a > 1.0 ? 1.0 / a : a;
    if (e == 1.0) return q;
    const double b = std::pow(10.0, -0.12 * shift / 20.0);
    const double r = (1.0 - 1.0 / (e * e)) / (q * q) - 2.0;
    const double f = std::sqrt(std::max(r * r - 4.0, 0.0));
    const double rp = (-r - f) / 2.0;
    const double g = std::pow(e, 1.0 / b);
    return std::sqrt((1.0 - 1.0 / (g * g)) / (2.0 - (rp * rp + 1.0) / rp));
}

// The console models "Ox1".."Ox4": a target bandwidth-edge gain h for the linear
// gain G, then the Q that puts the peaking section's edge gain there.
double gainToQConsole(int model, double gain, double q)
{
    double h;
    if (model == 3) {
        h = std::pow(gain, 0.83205);
    } else {
        if (model == 2) q *= 0.13;
        const double lowCut = model == 1 ? gain / 0.707 : 0.707;
        if (gain >= 2.0)
            h = model == 2 ? 1.4144271570014144 : 0.707 * gain;
        else if (gain > 1.0)
            h = 0.4143 * gain + 0.5857;
        else if (gain > 0.5)
            h = 0.586 * gain + 0.414;
        else
            h = lowCut;
    }
    const double o = std::sqrt(4.0 * q * q + 1.0);
    const double base = 2.0 * q / (o + 1.0);
    const double r = base * base;
    const double u = (r - 1.0) * (r - 1.0) * gain * (h * h - 1.0);
    if (u == 0.0) return 1.0;
    return std::sqrt(r * (gain * gain - h * h) / u);
}

// "110": the boost/cut and bandwidth pots of a passive-active console section;
// both the gain and the Q of the equivalent peaking section follow from them.
double gainToQ110(double gainDb, double q, double* amplitude)
{
    const double g = std::clamp(1.0 - (gainDb + 18.0) / 36.0, 0.0, 1.0);
    const double h = std::clamp(1.0 - (q - 0.1) / 49.9, 0.0, 1.0);
    const double l = (5.0 * h + 1.2) * 8.2 / ((5.0 * h + 9.4) * 1.2) * 0.3829787234042553;
    const double m = (l * 2.611111111111111 * 36.2 / 42.0 + 0.41333333333333333) * 18.0;
    const double o = (1.0 - g) * 22.0 * g + 11.0;
    const double r = l + (1.0 - g) * m / o;
    const double lp = l + g * m / o;
    *amplitude = std::sqrt(std::fabs(r / lp));
    return 1.0 / std::sqrt(std::fabs(lp * r));
}

// "32": the bandwidth of an inductor-capacitor band whose loading changes with the
// gain setting (component values 10660, 19760, 1560, 9100 and 9.7006e7 are the
// circuit's resistances and the square of its resonance term).
double gainToQ32(double gain, double q)
{
    const double h = 0.68313 / (q * std::sqrt(2.0));
    const double l = 2.0 / h;
    const double m = h + l;
    double t = 5530.0;
    if (std::fabs(gain - 1.0) > 0.001) {
        const double o = (h * (1.0 - gain) * 10660.0 + l * 19760.0 - l * gain * 1560.0) /
                         (m * 2.0 * (gain - 1.0));
        const double disc = o * o - (h * (1.0 - gain) - gain * l) * 9.7006e7 / ((gain - 1.0) * m);
        const double root = std::sqrt(std::max(disc, 0.0));
        t = (gain > 1.0 ? root : -root) - o;
    }
    const double u = 10660.0 - t;
    const double v = t * u + 9.7006e7;
    const double first = h + l * (u * (t - 9100.0) + 9.7006e7) / v;
    const double second = h + u * l * (t + 9100.0) / v;
    return 1.0 / std::sqrt(first * second);
}

}  // namespace

double gainToQ(int subtype, double gainDb, double q, double shift, double* amplitude)
{
    double a = std::pow(10.0, gainDb / 40.0);
    double qe = q;
    switch (subtype) {
    case 0:
        qe = gainToQConstantArea(a, q, shift);
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        qe = gainToQConsole(subtype - 1, a * a, q);
        break;
    case 6:
        qe = gainToQ110(gainDb, q, &a);
        break;
    case 7:
        if (a != 1.0) {
            const double f = a < 1.0 ? 1.0 / (a * a) : a * a;
            qe = q * std::sqrt((f - 1.0) / f);
        }
        break;
    case 8: {
        const double db = 40.0 * std::log10(a);
        const double g = db * db;
        qe = q * std::sqrt(2.0) *
             (-4.642999971082878e-7 * g * g + 0.001954323359096404 * g + 0.6672507222170061);
        break;
    }
    case 9:
        qe = gainToQ32(a * a, q);
        break;
    case 10:
        qe = q / a;
        break;
    default:
        break;
    }
    // A rule pushed outside its working range (NaN, zero or negative) falls back to
    // the band's own Q rather than producing an unusable section.
    if (!std::isfinite(qe) || qe <= 0.0) qe = q;
    if (!std::isfinite(a) || a <= 0.0) a = std::pow(10.0, gainDb / 40.0);
    if (amplitude) *amplitude = a;
    return qe;
}

}  // namespace hm::dsp::design
