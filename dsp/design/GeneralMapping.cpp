// General magnitude-matched mapping of one analogue second-order section.
//
// With the section normalised by d2 and written in p = s/w0 (w0 = sqrt(D0)):
//   H(p) = (N2 p^2 + sqrt(q N2) zz p + q) / (p^2 + zp p + 1),  q = N0/D0,
// the digital section is the bilinear image of
//   (Gn p^2 + sqrt(q Gn) zz p + q) / (p^2 + zp p + 1),  p = jOmega, Omega = tan(w/2)/W,
// i.e. the high-frequency gain N2 is replaced by the analogue gain at Nyquist Gn, so
// DC and Nyquist are exact. W is a prewarp at a reference ratio o (the geometric
// middle between the zero and pole frequencies, at most 1), and the dampings zp, zz
// are refitted so that |H_digital|^2 = |H_analogue|^2 at a few reference frequencies;
// that condition is linear in zp^2 and zz^2 and is solved by least squares.
// Sections that cut (q < N2) are designed as their inverse (zeros become poles), so
// the fit always works on a boost and the inverse stays minimum-phase.
#include <algorithm>
#include <cmath>

#include "dsp/design/BiquadForms.h"

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Shape {
    double q, n2, gn, zp, zz, fr;  // zz normalised by sqrt(q n2)
};

double analogueSquared(const Shape& s, double x)
{
    const double x2 = x * x;
    const double zn = std::sqrt(std::fabs(s.q * s.n2)) * s.zz;
    const double nr = s.q - s.n2 * x2, dr = 1.0 - x2;
    return (nr * nr + zn * zn * x2) / (dr * dr + s.zp * s.zp * x2);
}

}  // namespace

Biquad generalSection(const AnalogSection& a, double fs, bool& inverted)
{
    inverted = false;
    const double N2 = a.n2, N1 = a.n1, N0 = a.n0, D1 = a.d1, D0 = a.d0;
    if (!(D0 > 0.0) || !std::isfinite(D0)) return {N2, 0.0, 0.0, 0.0, 0.0};

    const double w0 = std::sqrt(D0);
    Shape s{N0 / D0, N2, 0.0, D1 / w0, N1 / w0, w0 / (2.0 * kPi)};
    const double g = fs / (2.0 * s.fr);
    const double h = s.q - g * g * s.n2;
    s.gn = std::sqrt(((g * s.zz) * (g * s.zz) + h * h) / ((g * s.zp) * (g * s.zp) + (1.0 - g * g) * (1.0 - g * g)));
    const double qn = std::fabs(s.q * s.n2);
    s.zz = qn > 0.0 ? s.zz / std::sqrt(qn) : 0.0;

    const bool hasRefs = s.q > 0.0 && s.n2 > 0.0;
    if (!hasRefs && s.fr > fs / 2.0) return firstOrderShelf(s.fr / 2.0, s.n2, s.q, fs);

    if (s.q < s.n2 && s.q != 0.0) {
        const double ratio = std::sqrt(std::fabs(s.q / s.n2));
        s.fr *= ratio;
        s.q = 1.0 / s.q;
        s.n2 = 1.0 / s.n2;
        s.gn = 1.0 / s.gn;
        std::swap(s.zp, s.zz);
        inverted = true;
    }

    // Reference ratios: the zero frequency and the middle between zero and pole.
    double zeroRatio = 0.0, midRatio = 0.0;
    if (s.q > 0.0 && s.n2 > 0.0) {
        zeroRatio = std::sqrt(s.q / s.n2);
        midRatio = std::sqrt(zeroRatio);
    }
    const double edge = fs / (2.0 * s.fr);
    double o = midRatio != 0.0 ? midRatio : 1.0;
    o = std::min({o, 1.0, edge * 0.98});
    const double W = std::tan(kPi * o * s.fr / fs) / o;

    const double refs[4] = {zeroRatio, midRatio, 1.0, 0.5};
    double m11 = 0.0, m12 = 0.0, m22 = 0.0, r1 = 0.0, r2 = 0.0;
    for (double x : refs) {
        if (x == 0.0 || x >= edge * 0.998) continue;
        const double T = analogueSquared(s, x);
        const double om = std::tan(kPi * x * s.fr / fs) / W;
        const double om2 = om * om;
        // T om^2 zp^2 - q Gn om^2 zz^2 = (q - Gn om^2)^2 - T (1 - om^2)^2
        const double c1 = T * om2, c2 = -s.q * s.gn * om2;
        const double e1 = s.q - s.gn * om2, e2 = 1.0 - om2;
        const double rhs = e1 * e1 - T * e2 * e2;
        m11 += c1 * c1;
        m12 += c1 * c2;
        m22 += c2 * c2;
        r1 += c1 * rhs;
        r2 += c2 * rhs;
    }
    const double det = m11 * m22 - m12 * m12;
    if (std::fabs(det) > 1e-12 * std::max(1.0, m11 * m22)) {
        const double u = (r1 * m22 - r2 * m12) / det;
        const double v = (m11 * r2 - m12 * r1) / det;
        if (u != 0.0 && std::isfinite(u) && (v != 0.0 || s.zz == 0.0) && std::isfinite(v)) {
            s.zp = std::sqrt(std::fabs(u));
            s.zz = std::sqrt(std::fabs(v));
        }
    }

    const double W2 = W * W;
    const double F = W2 + W * s.zp + 1.0;
    const double E = std::sqrt(std::fabs(s.q * s.gn)) * s.zz * W;
    const double G = W2 * s.q;
    return {(G + E + s.gn) / F, 2.0 * (G - s.gn) / F, (G + s.gn - E) / F, 2.0 * (W2 - 1.0) / F,
            (W2 + 1.0 - W * s.zp) / F};
}

}  // namespace hm::dsp
