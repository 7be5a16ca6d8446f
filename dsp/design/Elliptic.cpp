// Elliptic (Cauer) low-pass with a fixed selectivity.
//
// Method: the theta-function (nome series) form of the classical design, as in
// Antoniou, "Digital Filters" (1993), sec. 5.5, with the degree equation solved
// exactly rather than by its large-order approximation, so orders 1 and 2 are as
// accurate as the higher ones:
//   k = wp/ws, nome q = exp(-pi K'(k)/K(k)) with K by the arithmetic-geometric mean;
//   the order N fixes q1 = q^N and the discrimination k1 (stopband attenuation);
//   the real pole and the pole/zero pairs are Jacobi elliptic sn values at
//   imaginary and real arguments, summed as theta series.
// The design is normalised to sqrt(wp ws) = 1 and then rescaled so the pass band
// edge sits at w = 1; every section has unity gain at DC, so the pass band ripples
// between 0 dB and +R dB like the Chebyshev family.
#include <cmath>

#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSeriesTolerance = 1e-7;
constexpr int kMaxSeriesTerms = 64;

double agm(double a, double b)
{
    for (int i = 0; i < 64 && std::fabs(a - b) > 1e-15 * a; ++i) {
        const double m = 0.5 * (a + b);
        b = std::sqrt(a * b);
        a = m;
    }
    return a;
}

// Complete elliptic integral of the first kind, modulus k.
double completeK(double k) { return 0.5 * kPi / agm(1.0, std::sqrt(1.0 - k * k)); }

// Carlson's symmetric integral R_F by duplication (Carlson 1995).
double carlsonRF(double x, double y, double z)
{
    for (int i = 0; i < 100; ++i) {
        const double mean = (x + y + z) / 3.0;
        const double dx = 1.0 - x / mean, dy = 1.0 - y / mean, dz = 1.0 - z / mean;
        if (std::fmax(std::fabs(dx), std::fmax(std::fabs(dy), std::fabs(dz))) < 1e-9) {
            const double e2 = dx * dy - dz * dz;
            const double e3 = dx * dy * dz;
            return (1.0 - e2 / 10.0 + e3 / 14.0 + e2 * e2 / 24.0 - 3.0 * e2 * e3 / 44.0) / std::sqrt(mean);
        }
        const double sx = std::sqrt(x), sy = std::sqrt(y), sz = std::sqrt(z);
        const double lambda = sx * sy + sy * sz + sz * sx;
        x = 0.25 * (x + lambda);
        y = 0.25 * (y + lambda);
        z = 0.25 * (z + lambda);
    }
    return 1.0 / std::sqrt((x + y + z) / 3.0);
}

// Incomplete elliptic integral of the first kind F(phi | modulus k).
double incompleteF(double phi, double k)
{
    const double s = std::sin(phi), c = std::cos(phi);
    return s * carlsonRF(c * c, 1.0 - k * k * s * s, 1.0);
}

// Modulus from its nome: k = 4 sqrt(q) prod ((1 + q^2m)/(1 + q^(2m-1)))^4.
double modulusFromNome(double q)
{
    double product = 1.0;
    for (int m = 1; m < kMaxSeriesTerms; ++m) {
        const double factor = (1.0 + std::pow(q, 2.0 * m)) / (1.0 + std::pow(q, 2.0 * m - 1.0));
        product *= factor * factor * factor * factor;
        if (std::fabs(factor - 1.0) < 1e-16) break;
    }
    return 4.0 * std::sqrt(q) * product;
}

// sqrt(k) sn(2K v/pi, k) as the ratio of theta series; hyperbolic selects the
// imaginary argument v = j*x (sinh/cosh terms, result divided by j).
double scaledSn(double q, double x, bool hyperbolic)
{
    double numerator = 0.0;
    for (int m = 0; m < kMaxSeriesTerms; ++m) {
        const double arg = (2 * m + 1) * x;
        const double term = (m % 2 ? -1.0 : 1.0) * std::pow(q, double(m) * (m + 1)) *
                            (hyperbolic ? std::sinh(arg) : std::sin(arg));
        numerator += term;
        if (std::fabs(term) < kSeriesTolerance) break;
    }
    double denominator = 1.0;
    for (int m = 1; m < kMaxSeriesTerms; ++m) {
        const double arg = 2.0 * m * x;
        const double term = 2.0 * (m % 2 ? -1.0 : 1.0) * std::pow(q, double(m) * m) *
                            (hyperbolic ? std::cosh(arg) : std::cos(arg));
        denominator += term;
        if (std::fabs(term) < kSeriesTolerance) break;
    }
    return 2.0 * std::pow(q, 0.25) * numerator / denominator;
}

}  // namespace

double ellipticStopbandEdge() { return 1.0 + 5.0 * std::exp(-1.0); }

int ellipticLowPass(int order, double rippleDb, AnalogSection out[kMaxSections])
{
    if (order < 1 || order > 2 * kMaxSections) return 0;
    // Zero ripple has no elliptic solution (infinite discrimination); keep a trace.
    const double ripple = rippleDb < 1e-3 ? 1e-3 : rippleDb;
    const double eps = std::sqrt(std::pow(10.0, ripple / 10.0) - 1.0);

    const double k = 1.0 / ellipticStopbandEdge();
    const double kc = std::sqrt(1.0 - k * k);
    const double q = std::exp(-kPi * completeK(kc) / completeK(k));
    const double k1 = modulusFromNome(std::pow(q, order));
    const double k1c = std::sqrt(1.0 - k1 * k1);

    // Real-axis pole parameter: v0 = F(atan(1/eps) | k1') / (N K(k1)), in theta units.
    const double lambda = kPi * incompleteF(std::atan(1.0 / eps), k1c) / (2.0 * order * completeK(k1));
    const double sigma0 = std::fabs(scaledSn(q, lambda, true));
    const double w = std::sqrt((1.0 + k * sigma0 * sigma0) * (1.0 + sigma0 * sigma0 / k));

    const double rk = std::sqrt(k);  // rescales w from sqrt(wp ws) = 1 to wp = 1
    int n = 0;
    for (int i = 1; i <= order / 2; ++i) {
        const double mu = order % 2 ? double(i) : i - 0.5;
        const double omega = scaledSn(q, kPi * mu / order, false);
        const double v = std::sqrt((1.0 - k * omega * omega) * (1.0 - omega * omega / k));
        const double spread = 1.0 + sigma0 * sigma0 * omega * omega;
        const double zero2 = 1.0 / (omega * omega) / k;
        const double pole2 = ((sigma0 * v) * (sigma0 * v) + (omega * w) * (omega * w)) / (spread * spread) / k;
        const double damping = 2.0 * sigma0 * v / spread / rk;
        out[n++] = secondOrder(pole2 / zero2, 0.0, pole2, 1.0, damping, pole2);
    }
    if (order % 2) {
        const double p = sigma0 / rk;
        out[n++] = firstOrder(0.0, p, 1.0, p);
    }
    return n;
}

}  // namespace hm::dsp::design
