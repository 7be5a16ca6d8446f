#include "dsp/design/ParallelSum.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace hm::dsp {

namespace {

using Complex = std::complex<double>;
constexpr int kMaxDegree = 2 * kMaxSections;

// Roots of c[0] z^n + c[1] z^(n-1) + ... + c[n] (c[0] != 0) by the Durand-Kerner
// (Weierstrass) iteration. Returns false if it does not settle.
bool polynomialRoots(const double* c, int n, Complex* roots)
{
    Complex monic[kMaxDegree + 1];
    for (int i = 0; i <= n; ++i) monic[i] = c[i] / c[0];
    double radius = 0.0;
    for (int i = 1; i <= n; ++i) radius = std::max(radius, std::abs(monic[i]));
    radius = 1.0 + radius;  // every root lies inside this circle
    const Complex seed(0.4, 0.9);
    for (int i = 0; i < n; ++i) roots[i] = std::pow(seed, i) * (0.5 * radius);

    for (int iteration = 0; iteration < 500; ++iteration) {
        double change = 0.0;
        for (int i = 0; i < n; ++i) {
            Complex value = 1.0, denom = 1.0;
            for (int k = 1; k <= n; ++k) value = value * roots[i] + monic[k];
            for (int k = 0; k < n; ++k)
                if (k != i) denom *= roots[i] - roots[k];
            if (std::abs(denom) == 0.0) denom = 1e-300;
            const Complex delta = value / denom;
            roots[i] -= delta;
            change = std::max(change, std::abs(delta) / (1.0 + std::abs(roots[i])));
        }
        if (change < 1e-14) return true;
    }
    // Accept a slow finish if the residuals are small.
    for (int i = 0; i < n; ++i) {
        Complex value = 1.0;
        for (int k = 1; k <= n; ++k) value = value * roots[i] + monic[k];
        if (!(std::abs(value) < 1e-8 * (1.0 + std::pow(std::abs(roots[i]), n)))) return false;
    }
    return true;
}

}  // namespace

bool parallelDifference(const Biquad* in, int count, Biquad* out)
{
    if (count < 1 || count > kMaxSections) return false;
    if (count == 1) {
        out[0] = {in[0].b0 - 1.0, in[0].b1 - in[0].a1, in[0].b2 - in[0].a2, in[0].a1, in[0].a2};
        return true;
    }
    // Coefficients in powers of z^-1: prod N and prod D.
    double num[kMaxDegree + 1] = {1.0}, den[kMaxDegree + 1] = {1.0};
    int degree = 0;
    for (int s = 0; s < count; ++s) {
        const double bn[3] = {in[s].b0, in[s].b1, in[s].b2}, bd[3] = {1.0, in[s].a1, in[s].a2};
        double nn[kMaxDegree + 1] = {}, dd[kMaxDegree + 1] = {};
        for (int i = 0; i <= degree; ++i)
            for (int k = 0; k < 3; ++k) {
                nn[i + k] += num[i] * bn[k];
                dd[i + k] += den[i] * bd[k];
            }
        degree += 2;
        std::copy(nn, nn + degree + 1, num);
        std::copy(dd, dd + degree + 1, den);
    }
    double diff[kMaxDegree + 1];
    double scale = 0.0;
    for (int i = 0; i <= degree; ++i) {
        diff[i] = num[i] - den[i];
        scale = std::max(scale, std::fabs(diff[i]));
    }
    if (!(scale > 0.0) || !std::isfinite(scale)) {
        // prod H is exactly 1: the band adds nothing.
        for (int s = 0; s < count; ++s) out[s] = {0.0, 0.0, 0.0, in[s].a1, in[s].a2};
        return true;
    }

    // Leading (z^0) coefficients that vanish are pure delays; trailing ones are roots
    // at z = 0. Both are kept as factors of z^-1.
    int lead = 0;
    while (lead < degree && std::fabs(diff[lead]) <= 1e-14 * scale) ++lead;
    int last = degree;
    while (last > lead && std::fabs(diff[last]) <= 1e-14 * scale) --last;
    const int n = last - lead;
    Complex roots[kMaxDegree];
    if (n > 0 && !polynomialRoots(diff + lead, n, roots)) return false;

    // Pair conjugates, then the real roots two by two; the first-order leftovers and
    // the delays fill the remaining factors.
    double factors[kMaxSections][3];
    int made = 0;
    bool used[kMaxDegree] = {};
    for (int i = 0; i < n && made < count; ++i) {
        if (used[i] || std::fabs(roots[i].imag()) <= 1e-9 * (1.0 + std::abs(roots[i]))) continue;
        int partner = -1;
        for (int k = i + 1; k < n; ++k)
            if (!used[k] && (partner < 0 || std::abs(roots[k] - std::conj(roots[i])) <
                                                std::abs(roots[partner] - std::conj(roots[i]))))
                partner = k;
        if (partner < 0) return false;
        used[i] = used[partner] = true;
        factors[made][0] = 1.0;
        factors[made][1] = -2.0 * roots[i].real();
        factors[made][2] = std::norm(roots[i]);
        ++made;
    }
    double reals[kMaxDegree];
    int realCount = 0;
    for (int i = 0; i < n; ++i)
        if (!used[i]) reals[realCount++] = roots[i].real();
    // Sorted so that neighbouring real roots share a factor (insertion sort: at most
    // eight values).
    for (int i = 1; i < realCount && i < kMaxDegree; ++i)
        for (int k = i; k > 0 && reals[k - 1] > reals[k]; --k) std::swap(reals[k - 1], reals[k]);
    int r = 0;
    for (; r + 1 < realCount && made < count; r += 2, ++made) {
        factors[made][0] = 1.0;
        factors[made][1] = -(reals[r] + reals[r + 1]);
        factors[made][2] = reals[r] * reals[r + 1];
    }
    // Remaining: at most one real root and `lead` delays and (degree - last) zeros at
    // the origin, which together make up whole quadratics in z^-1.
    double rest[3] = {1.0, 0.0, 0.0};
    int restDegree = 0;
    auto pushLinear = [&](double c0, double c1) {
        // rest *= (c0 + c1 z^-1)
        double next[3] = {rest[0] * c0, rest[1] * c0 + rest[0] * c1, rest[2] * c0 + rest[1] * c1};
        std::copy(next, next + 3, rest);
        if (++restDegree == 2) {
            if (made >= count) return false;
            std::copy(rest, rest + 3, factors[made++]);
            rest[0] = 1.0;
            rest[1] = rest[2] = 0.0;
            restDegree = 0;
        }
        return true;
    };
    for (; r < realCount; ++r)
        if (!pushLinear(1.0, -reals[r])) return false;
    for (int i = 0; i < lead; ++i)
        if (!pushLinear(0.0, 1.0)) return false;
    for (int i = last; i < degree; ++i)
        if (!pushLinear(1.0, 0.0)) return false;
    if (restDegree != 0 || made != count) return false;

    const double gain = diff[lead];
    for (int s = 0; s < count; ++s) {
        const double g = s == 0 ? gain : 1.0;
        out[s] = {g * factors[s][0], g * factors[s][1], g * factors[s][2], in[s].a1, in[s].a2};
        if (!std::isfinite(out[s].b0) || !std::isfinite(out[s].b1) || !std::isfinite(out[s].b2)) return false;
    }
    return true;
}

bool summedInParallel(int parallelMode, int engineType)
{
    if (parallelMode == 1) return engineType == kTypePeak;
    if (parallelMode == 2) return engineType == kTypeLowShelf || engineType == kTypePeak || engineType == kTypeHighShelf;
    return false;
}

}  // namespace hm::dsp
