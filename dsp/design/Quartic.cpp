// Splitting a fourth-order circuit polynomial into two real quadratics, so a
// fourth-order shelf becomes two second-order sections.
//
// Ferrari's method: shift y = x - e' to the depressed quartic x^4 + p x^2 + q x + r,
// write it as (x^2 + l x + a)(x^2 - l x + b); l^2 = z is a root of the resolvent
// cubic z^3 + 2p z^2 + (p^2 - 4r) z - q^2 = 0, and the largest real root keeps
// both quadratics real.
#include <cmath>

#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

constexpr double kPi = 3.14159265358979323846;

int solveQuadratic(double a, double b, double c, double* roots)
{
    if (a == 0.0) {
        if (b == 0.0) return 0;
        roots[0] = -c / b;
        return 1;
    }
    const double disc = b * b - 4.0 * a * c;
    if (disc < 0.0) return 0;
    const double s = std::sqrt(disc);
    // The numerically stable pair: no cancellation between b and the root.
    const double t = -0.5 * (b + (b >= 0.0 ? s : -s));
    if (t == 0.0) {
        roots[0] = roots[1] = 0.0;
        return 2;
    }
    roots[0] = t / a;
    roots[1] = c / t;
    return 2;
}

}  // namespace

int solveCubic(double a, double b, double c, double d, double roots[3])
{
    if (a == 0.0) return solveQuadratic(b, c, d, roots);
    if (d == 0.0) {
        roots[0] = 0.0;
        return 1 + solveQuadratic(a, b, c, roots + 1);
    }
    // Depressed cubic t^3 + P t + Q with z = t - b/(3a).
    const double bn = b / a, cn = c / a, dn = d / a;
    const double shift = bn / 3.0;
    const double P = cn - bn * bn / 3.0;
    const double Q = 2.0 * bn * bn * bn / 27.0 - bn * cn / 3.0 + dn;
    const double disc = Q * Q / 4.0 + P * P * P / 27.0;
    if (disc < 0.0) {
        // Three real roots: trigonometric form.
        const double m = 2.0 * std::sqrt(-P / 3.0);
        const double arg = std::fmax(-1.0, std::fmin(1.0, 3.0 * Q / (P * m)));
        const double theta = std::acos(arg) / 3.0;
        for (int k = 0; k < 3; ++k) roots[k] = m * std::cos(theta - 2.0 * kPi * k / 3.0) - shift;
        return 3;
    }
    // One real root (or a repeated one): Cardano.
    const double s = std::sqrt(disc);
    roots[0] = std::cbrt(-Q / 2.0 + s) + std::cbrt(-Q / 2.0 - s) - shift;
    return 1;
}

bool factorQuartic(const double c[5], double* p1, double* q1, double* p2, double* q2)
{
    if (c[0] == 0.0 || !std::isfinite(c[0])) return false;
    const double d = c[2] / c[0];
    const double e = c[1] / (2.0 * c[0]);
    const double c1 = c[3] / c[0];
    const double c0 = c[4] / c[0];
    const double p = d - 1.5 * e * e;
    const double q = c1 + e * (e * e - d);
    const double eh = e / 2.0;
    const double r = c0 + eh * (eh * (d - 3.0 * eh * eh) - c1);

    double roots[3];
    const int count = solveCubic(1.0, 2.0 * p, p * p - 4.0 * r, -q * q, roots);
    if (count == 0) return false;
    double z = roots[0];
    for (int i = 1; i < count; ++i) z = std::fmax(z, roots[i]);
    if (!(z >= 0.0)) {
        // A tiny negative root is rounding of a double root at zero.
        if (z > -1e-12 * (1.0 + std::fabs(p))) z = 0.0;
        else return false;
    }
    const double l = std::sqrt(z);
    // With q = 0 the quartic is even in x: l = 0 is a valid split and q/l -> 0.
    const double ql = l > 0.0 ? q / l : 0.0;
    if (l == 0.0) {
        // x^4 + p x^2 + r = (x^2 + a)(x^2 + b) needs real a, b.
        const double disc = p * p - 4.0 * r;
        if (disc < 0.0) return false;
        const double s = std::sqrt(disc);
        *p1 = 2.0 * eh;
        *q1 = (p - s) / 2.0 + eh * eh;
        *p2 = 2.0 * eh;
        *q2 = (p + s) / 2.0 + eh * eh;
        return true;
    }
    *p1 = l + 2.0 * eh;
    *q1 = ((z + p) - ql) / 2.0 + eh * (l + eh);
    *p2 = 2.0 * eh - l;
    *q2 = ((z + p) + ql) / 2.0 + eh * (eh - l);
    return true;
}

}  // namespace hm::dsp::design
