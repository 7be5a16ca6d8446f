// Quartic factoring used by the fourth-order circuit shelves: the two quadratics
// must multiply back to the quartic, for well-scaled and for circuit-like
// coefficient spreads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {
namespace {

struct QuarticCase {
    double lead;
    double a1, b1, a2, b2;  // lead * (y^2 + a1 y + b1)(y^2 + a2 y + b2)
};

TEST(CircuitQuartic, FactorsMultiplyBackToTheQuartic)
{
    const QuarticCase cases[] = {
        {1.0, 3.0, 2.0, 0.5, 4.0},         // real pair and complex pair
        {2.5, 0.2, 1.0, 1.4, 0.7},         // two complex pairs
        {1.0, -1.0, -6.0, 2.0, -3.0},      // four real roots
        {1.0, 0.0, 1.0, 0.0, 4.0},         // even quartic (no cubic or linear term)
        {-3.0, 1.0, 0.25, 1.0, 0.25},      // repeated double root
        {9.7, 1.92, 0.037, 0.0195, 1.1e-6}, // circuit-like spread of magnitudes
    };
    for (const QuarticCase& c : cases) {
        // Expand.
        const double c4 = c.lead;
        const double c3 = c.lead * (c.a1 + c.a2);
        const double c2 = c.lead * (c.b1 + c.b2 + c.a1 * c.a2);
        const double c1 = c.lead * (c.a1 * c.b2 + c.a2 * c.b1);
        const double c0 = c.lead * c.b1 * c.b2;
        const double coeffs[5] = {c4, c3, c2, c1, c0};
        double p1, q1, p2, q2;
        ASSERT_TRUE(factorQuartic(coeffs, &p1, &q1, &p2, &q2)) << c.a1 << " " << c.b1;
        const double tol = 1e-9 * (1.0 + std::fabs(c3 / c4) + std::fabs(c2 / c4));
        EXPECT_NEAR(p1 + p2, c3 / c4, tol);
        EXPECT_NEAR(q1 + q2 + p1 * p2, c2 / c4, tol);
        EXPECT_NEAR(p1 * q2 + p2 * q1, c1 / c4, tol);
        EXPECT_NEAR(q1 * q2, c0 / c4, tol);
    }
    const double flat[5] = {0.0, 1.0, 1.0, 1.0, 1.0};
    double p1, q1, p2, q2;
    EXPECT_FALSE(factorQuartic(flat, &p1, &q1, &p2, &q2));
}

TEST(CircuitQuartic, CubicRootsInEveryBranch)
{
    struct CubicCase {
        double a, b, c, d;
        std::vector<double> real;
    };
    const CubicCase cases[] = {
        {1.0, -6.0, 11.0, -6.0, {1.0, 2.0, 3.0}},  // three real roots (trigonometric)
        {1.0, -1.0, 1.0, -1.0, {1.0}},             // (z - 1)(z^2 + 1): Cardano
        {2.0, 0.0, -8.0, 0.0, {-2.0, 0.0, 2.0}},   // zero constant term
        {0.0, 1.0, -5.0, 6.0, {2.0, 3.0}},         // zero leading term: quadratic
    };
    for (const CubicCase& c : cases) {
        double roots[3];
        const int n = solveCubic(c.a, c.b, c.c, c.d, roots);
        ASSERT_EQ(n, static_cast<int>(c.real.size()));
        std::vector<double> got(roots, roots + n);
        std::sort(got.begin(), got.end());
        for (int i = 0; i < n; ++i) EXPECT_NEAR(got[i], c.real[i], 1e-9);
    }
}

}  // namespace
}  // namespace hm::dsp::design
