// Low-pass families against independent references: SciPy designs and the
// optimum-L defining integral (tests/dsp/reference/gen_reference.py), and the
// published Bessel and Legendre pole values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "prototype_test_support.h"
#include "reference/LowPassReference.h"

namespace hm::dsp::test {
namespace {

constexpr int kButterworth = 2, kChebyshev = 3, kBessel = 4, kCritical = 5, kLegendre = 6, kElliptic = 7;

TEST(FamilyLowPass, MagnitudeMatchesReferenceDesigns)
{
    for (const auto& c : reference::kLowPassCases) {
        const Proto p(band(kTypeLowPass, c.subtype, 0.0, c.ripple, 0.0, c.order));
        ASSERT_EQ(p.n, (c.order + 1) / 2) << "subtype " << c.subtype << " order " << c.order;
        for (int i = 0; i < reference::kGridSize; ++i) {
            const double w = reference::kGrid[i];
            const double want = c.magnitude[i];
            // Relative in the pass band, absolute deep in an elliptic stop band.
            EXPECT_NEAR(p.mag(w), want, 1e-6 * want + 1e-9)
                << "subtype " << c.subtype << " order " << c.order << " ripple " << c.ripple << " w " << w;
        }
    }
}

// Published tables (optimum-L: Papoulis/Fukada; Bessel normalised to -3 dB).
struct PublishedPoles {
    int subtype;
    int order;
    std::vector<std::pair<double, double>> poles;  // upper half plane and real axis
};

std::vector<std::pair<double, double>> polesOf(const Proto& p)
{
    std::vector<std::pair<double, double>> poles;
    for (int i = 0; i < p.n; ++i) {
        const AnalogSection& s = p.s[i];
        if (s.n0 == 0.0 && s.d0 == 0.0) {
            poles.push_back({-s.d1 / s.d2, 0.0});
        } else {
            const double re = -s.d1 / (2.0 * s.d2);
            poles.push_back({re, std::sqrt(s.d0 / s.d2 - re * re)});
        }
    }
    std::sort(poles.begin(), poles.end());
    return poles;
}

TEST(FamilyLowPass, BesselAndLegendrePolesMatchPublishedTables)
{
    const std::vector<PublishedPoles> table = {
        {kBessel, 2, {{-1.1016, 0.6360}}},
        {kBessel, 3, {{-1.3227, 0.0}, {-1.0474, 0.9993}}},
        {kBessel, 4, {{-1.3701, 0.4103}, {-0.9952, 1.2571}}},
        {kLegendre, 2, {{-0.7071, 0.7071}}},
        {kLegendre, 3, {{-0.6203, 0.0}, {-0.3452, 0.9009}}},
        {kLegendre, 4, {{-0.2317, 0.9455}, {-0.5497, 0.3586}}},
    };
    for (const auto& t : table) {
        auto want = t.poles;
        std::sort(want.begin(), want.end());
        const auto got = polesOf(Proto(band(kTypeLowPass, t.subtype, 0.0, 0.707, 0.0, t.order)));
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_NEAR(got[i].first, want[i].first, 6e-5) << t.subtype << "/" << t.order;
            EXPECT_NEAR(got[i].second, want[i].second, 6e-5) << t.subtype << "/" << t.order;
        }
    }
}

TEST(FamilyLowPass, LegendreFollowsThePublishedCharacteristicPolynomials)
{
    // |H(jw)|^2 = 1/(1 + L_N(w^2)); L_N from the published integer table
    // (coefficients of w^2, w^4, ... up to w^(2N)).
    const std::vector<std::vector<double>> table = {
        {1},
        {0, 1},
        {1, -3, 3},
        {0, 3, -8, 6},
        {1, -8, 28, -40, 20},
        {0, 6, -40, 105, -120, 50},
        {1, -15, 105, -355, 615, -525, 175},
        {0, 10, -120, 615, -1624, 2310, -1680, 490},
    };
    for (int order = 1; order <= 8; ++order) {
        const Proto p(band(kTypeLowPass, kLegendre, 0.0, 0.707, 0.0, order));
        for (double w : {0.1, 0.5, 0.8, 0.95, 1.0, 1.2, 2.0, 5.0}) {
            double l = 0.0, u = 1.0;
            for (double c : table[order - 1]) {
                u *= w * w;
                l += c * u;
            }
            const double want = 1.0 / std::sqrt(1.0 + l);
            EXPECT_NEAR(p.mag(w), want, 1e-9 + 1e-9 * want) << order << " w " << w;
        }
    }
}

TEST(FamilyLowPass, NormalisedFamiliesAreThreeDecibelsDownAtTheCorner)
{
    for (int subtype : {kButterworth, kBessel, kCritical, kLegendre})
        for (int order = 1; order <= 8; ++order) {
            const Proto p(band(kTypeLowPass, subtype, 0.0, 0.707, 0.0, order));
            EXPECT_NEAR(p.mag(1.0), std::sqrt(0.5), 1e-9) << subtype << "/" << order;
            EXPECT_NEAR(p.dc(), 1.0, 1e-12) << subtype << "/" << order;
        }
}

TEST(FamilyLowPass, EllipticStopBandStartsAtTheFixedEdge)
{
    // Above 1 + 5/e the response never rises over its first stop-band maximum; just
    // below it, it is still well above (the transition band).
    const double edge = 1.0 + 5.0 * std::exp(-1.0);
    for (int order = 2; order <= 8; ++order) {
        const Proto p(band(kTypeLowPass, kElliptic, 0.0, 1.0, 0.0, order));
        double stopMax = 0.0;
        for (double w = edge; w < 1000.0; w *= 1.001) stopMax = std::max(stopMax, p.mag(w));
        EXPECT_NEAR(p.mag(edge), stopMax, 1e-6 * stopMax) << order;
        EXPECT_GT(p.mag(edge * 0.95), 1.05 * stopMax) << order;
        // every section's zero sits in the stop band
        for (int i = 0; i < order / 2; ++i) EXPECT_GE(std::sqrt(p.s[i].n0 / p.s[i].n2), edge * (1 - 1e-9));
    }
}

TEST(FamilyLowPass, ChebyshevRipplesBetweenZeroAndPlusRipple)
{
    for (double ripple : {0.5, 2.0})
        for (int order = 1; order <= 8; ++order) {
            const Proto p(band(kTypeLowPass, kChebyshev, 0.0, ripple, 0.0, order));
            double lo = 1e9, hi = -1e9;
            for (int i = 1; i <= 1000; ++i) {
                const double w = i * 1e-3;
                lo = std::min(lo, p.db(w));
                hi = std::max(hi, p.db(w));
            }
            EXPECT_NEAR(lo, 0.0, 1e-3) << ripple << "/" << order;
            EXPECT_NEAR(hi, ripple, 1e-3) << ripple << "/" << order;
        }
}

TEST(FamilyLowPass, ClosedFormFamilies)
{
    // Kes order 2 is the textbook resonant low-pass: |H(j)| = Q.
    for (float q : {0.5f, 0.707f, 3.0f})
        EXPECT_NEAR(Proto(band(kTypeLowPass, 0, 0.0, q, 0.0, 2)).mag(1.0), q, 1e-12);
    // Allpass keeps unit magnitude at every order.
    for (int order = 1; order <= 8; ++order) {
        const Proto p(band(kTypeLowPass, 8, 0.0, 1.3, 0.0, order));
        for (double w : {0.01, 0.5, 1.0, 2.0, 100.0}) EXPECT_NEAR(p.mag(w), 1.0, 1e-12);
    }
    // Coincident: every pole pair at the same radius e, e^4 = c e^2 + k.
    for (int order = 2; order <= 8; ++order) {
        const Proto p(band(kTypeLowPass, 1, 0.0, 0.707, 0.0, order));
        const double k = order / 2, c = order % 2;
        for (int i = 0; i < order / 2; ++i) {
            const double e2 = p.s[i].d0 / p.s[i].d2;
            EXPECT_NEAR(e2 * e2, c * e2 + k, 1e-9);
            EXPECT_NEAR(p.s[i].d1 / std::sqrt(e2), std::sqrt(2.0), 1e-12);
        }
        EXPECT_NEAR(p.dc(), 1.0, 1e-12);
    }
}

TEST(FamilyLowPass, HarmonicsResonateAtSubmultiplesAndMultiplesAfterSwap)
{
    const double q = 4.0;
    for (int type : {kTypeLowPass, kTypeHighPass}) {
        const Proto p(band(type, 9, 0.0, q, 0.0, 8));
        ASSERT_EQ(p.n, 4);
        EXPECT_NEAR(std::abs(sectionAt(p.s[0], 1.0)), 1.0, 1e-12);
        for (int k = 1; k < 4; ++k) {
            const double m = k + 1;
            const double w = type == kTypeLowPass ? 1.0 / m : m;
            EXPECT_NEAR(std::abs(sectionAt(p.s[k], w)), q, 1e-9) << k;
            EXPECT_NEAR(std::abs(sectionAt(p.s[k], w * 50.0)), 1.0, 0.05) << k;
        }
    }
}

}  // namespace
}  // namespace hm::dsp::test
