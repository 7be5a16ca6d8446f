#include <algorithm>
#include <cmath>

#include "dsp/DigitalResponse.h"
#include "dsp/design/BiquadForms.h"

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;

// |P (x/Q) / ((1 - x^2) + j x/Q)| at x = f/f0.
double analogueBandPass(double peak, double q, double x)
{
    const double d = x / q;
    return peak * d / std::sqrt((1.0 - x * x) * (1.0 - x * x) + d * d);
}

// Tan-domain design (Omega = tan(w/2), s = j Omega): (G1 s^2 + B s)/(s^2 + A s + W^2),
// zero at DC and gain G1 at Nyquist. With the Nyquist term present the peak of
// |H|^2 lies at the centre Omega0 when W^2 = rho Omega0^2, rho = sqrt(1 - (G1/P)^2);
// B and A then follow from the level P at the centre and half its power at the
// analogue band's lower edge (the upper one may lie beyond Nyquist).
Biquad warpedBandPass(double peak, double w0, double q, double G1)
{
    const double ratio = std::min(1.0, G1 / peak);
    const double rho = std::sqrt(std::max(0.0, 1.0 - ratio * ratio));
    const double t0 = std::tan(w0 / 2.0), T0 = t0 * t0;
    const double W2 = rho * T0;
    const double w1 = w0 * (std::sqrt(1.0 + 1.0 / (4.0 * q * q)) - 1.0 / (2.0 * q));
    const double t1 = std::tan(w1 / 2.0), T1 = t1 * t1;
    const double lo = W2 - T1;
    const double cross = 2.0 * rho * (1.0 - rho) * T0;
    const double A2 = (lo * lo + 2.0 * cross * T1 - 2.0 * ratio * ratio * T1 * T1) / T1;
    const double A = std::sqrt(std::max(0.0, A2));
    const double B = peak * std::sqrt(std::max(0.0, A * A - cross));
    const double n = 1.0 + A + W2;
    return {(G1 + B) / n, -2.0 * G1 / n, (G1 - B) / n, 2.0 * (W2 - 1.0) / n, (1.0 + W2 - A) / n};
}

// The poles mapped as they are (z = e^(sT)), which keeps a narrow band's place and
// width up to Nyquist where the tan-domain design narrows it. Numerator
// k (z - 1)(z - zeta): the zero at DC, and k and zeta from the levels at the centre
// and at Nyquist. False when no real zeta reaches both.
bool matchedBandPass(double peak, double w0, double q, double G1, Biquad& out)
{
    double a1, a2;
    matchedPoles(w0, q, a1, a2);
    const double c = std::cos(w0), s = std::sin(w0);
    const double dr = std::cos(2.0 * w0) + a1 * c + a2, di = std::sin(2.0 * w0) + a1 * s;
    const double atCentre = std::sqrt(dr * dr + di * di);  // |D| at the centre
    const double atNyquist = std::fabs(1.0 - a1 + a2);
    const double half = std::sin(w0 / 2.0);  // |e^(jw0) - 1| / 2
    if (!(G1 > 0.0) || !(half > 0.0)) return false;
    // |e^(jw0) - zeta| = R |1 + zeta|: (1 - R^2) zeta^2 - 2 (cos w0 + R^2) zeta + (1 - R^2) = 0,
    // whose roots are zeta and 1/zeta; the one inside the unit circle is kept.
    const double R = peak * atNyquist / (G1 * atCentre * half), R2 = R * R;
    double zeta = 0.0;
    if (std::fabs(1.0 - R2) > 1e-12) {
        const double b = c + R2, disc = b * b - (1.0 - R2) * (1.0 - R2);
        if (disc < 0.0) return false;
        const double root = b > 0.0 ? b + std::sqrt(disc) : b - std::sqrt(disc);
        zeta = (1.0 - R2) / root;  // the smaller root in magnitude
    }
    const double zr = c - zeta, far = std::sqrt(zr * zr + s * s);
    if (!(far > 0.0)) return false;
    const double k = peak * atCentre / (2.0 * half * far);
    out = {k, -k * (1.0 + zeta), k * zeta, a1, a2};
    return std::isfinite(k);
}

}  // namespace

Biquad bandPassBiquad(double peak, double f0, double q, double fs)
{
    const double w0 = 2.0 * kPi * f0 / fs;
    const double G1 = analogueBandPass(peak, q, fs / (2.0 * f0));
    Biquad best = warpedBandPass(peak, w0, q, G1);
    Biquad matched;
    if (matchedBandPass(peak, w0, q, G1, matched)) {
        // Levels within 60 dB of the peak, the centre among the points.
        const AnalogSection analogue{0.0, peak * f0 / q, 0.0, 1.0, f0 / q, f0 * f0};
        const double floor = peak * 1e-3;
        if (worstLevelErrorDb(matched, analogue, floor, fs, f0) < worstLevelErrorDb(best, analogue, floor, fs, f0))
            best = matched;
    }
    return best;
}

}  // namespace hm::dsp
