// Gain-to-Q rules of the peak and band-pass models, checked against closed forms
// derived by hand from what each rule is meant to achieve.
#include <gtest/gtest.h>

#include <cmath>

#include "prototype_test_support.h"

namespace hm::dsp::test {
namespace {

double qOf(int subtype, double gain, double q, double shift = 0.0, int type = kTypePeak)
{
    return effectiveQ(band(type, subtype, gain, q, shift));
}

TEST(GainToQ, GainToQRuleReSpreadsTheCutBandwidthByTheShift)
{
    // The rule reduces to Q' = Q sqrt((1 - e^(-2/b)) / (1 - e^(-2))) with
    // e = min(A, 1/A) and b = 10^(-0.12 shift/20); shift 0 gives Q back.
    for (double gain : {-15.0, -3.0, 0.0, 4.0, 12.0})
        for (double q : {0.3f, 1.0f, 6.0f})
            for (double shift : {0.0, 20.0, 50.0, 100.0}) {
                const double a = std::pow(10.0, gain / 40.0);
                const double e = std::min(a, 1.0 / a);
                const double b = std::pow(10.0, -0.12 * shift / 20.0);
                const double want =
                    e == 1.0 ? q : q * std::sqrt((1.0 - std::pow(e, -2.0 / b)) / (1.0 - std::pow(e, -2.0)));
                EXPECT_NEAR(qOf(0, gain, q, shift), want, 2e-6 * want) << gain << " " << q << " " << shift;
                EXPECT_NEAR(qOf(0, gain, q, shift, kTypeBandPass), want, 2e-6 * want);
            }
}

TEST(GainToQ, ConsoleModelsPutTheEdgeGainOfTheBandwidthAtTheirTarget)
{
    // "Ox1".."Ox4" choose the peak's gain h at the -3 dB edges of a band-pass of
    // the band's Q (Q * 0.13 for "Ox2"); the peak then passes exactly h there.
    auto target = [](int model, double g) {
        if (model == 3) return std::pow(g, 0.83205);
        if (g >= 2.0) return model == 2 ? 1.4144271570014144 : 0.707 * g;
        if (g > 1.0) return 0.4143 * g + 0.5857;
        if (g > 0.5) return 0.586 * g + 0.414;
        return model == 1 ? g / 0.707 : 0.707;
    };
    for (int model = 1; model <= 4; ++model)
        for (double gain : {-18.0, -7.0, -2.0, 2.5, 6.0, 15.0})
            for (float q : {0.7f, 2.0f, 9.0f}) {
                const double g = std::pow(10.0, gain / 20.0);
                const double qRef = model == 2 ? 0.13 * q : q;
                const double edge = (std::sqrt(1.0 + 4.0 * qRef * qRef) - 1.0) / (2.0 * qRef);
                const Proto p(band(kTypePeak, model + 1, gain, q));
                EXPECT_NEAR(p.mag(1.0), g, 1e-9 * g);
                EXPECT_NEAR(p.mag(edge), target(model, g), 1e-6 * g) << model << " " << gain << " " << q;
            }
    // At 0 dB the target equals the gain and the rule settles on Q' = 1.
    for (int subtype = 2; subtype <= 5; ++subtype) EXPECT_EQ(qOf(subtype, 0.0, 3.0), 1.0f);
}

TEST(GainToQ, TableRulesMatchTheirFormulas)
{
    const double q = 2.5;
    for (double gain : {-12.0, -1.0, 1.0, 12.0}) {
        const double a = std::pow(10.0, gain / 40.0);
        const double f = std::max(a * a, 1.0 / (a * a));
        EXPECT_NEAR(qOf(7, gain, q), q * std::sqrt(1.0 - 1.0 / f), 1e-5) << gain;          // "550"
        EXPECT_NEAR(qOf(10, gain, q), q / a, 1e-5) << gain;                                 // "EE"
        const double g2 = gain * gain;
        EXPECT_NEAR(qOf(8, gain, q),                                                         // "88"
                    q * std::sqrt(2.0) * (-4.642999971082878e-7 * g2 * g2 + 0.001954323359096404 * g2 + 0.6672507222170061),
                    1e-5);
    }
    EXPECT_EQ(qOf(7, 0.0, q), 2.5f);
    for (int other : {1, 11, 12, 13}) EXPECT_EQ(qOf(other, 9.0, q), 2.5f) << other;
}

TEST(GainToQ, Model110IsBoostCutSymmetricAndFlatAtZero)
{
    for (float q : {0.3f, 2.0f, 30.0f}) {
        EXPECT_NEAR(Proto(band(kTypePeak, 6, 0.0, q)).mag(1.0), 1.0, 1e-12);
        for (double gain : {3.0, 9.0, 18.0}) {
            const Proto boost(band(kTypePeak, 6, gain, q));
            const Proto cut(band(kTypePeak, 6, -gain, q));
            EXPECT_GT(boost.mag(1.0), 1.0);
            EXPECT_NEAR(boost.mag(1.0) * cut.mag(1.0), 1.0, 1e-9) << q << " " << gain;
            EXPECT_NEAR(qOf(6, gain, q), qOf(6, -gain, q), 1e-6);
        }
    }
}

TEST(GainToQ, Model32IsContinuousThroughItsZeroDecibelFallback)
{
    for (float q : {0.3f, 1.0f, 8.0f}) {
        const double atZero = qOf(9, 0.0, q);
        EXPECT_GT(atZero, 0.0);
        // |G - 1| = 0.001 lies near 0.0087 dB: both sides of it agree with the fallback.
        for (double gain : {-0.0095, -0.008, 0.008, 0.0095}) EXPECT_NEAR(qOf(9, gain, q), atZero, 1e-3 * atZero);
        for (double gain = -18.0; gain <= 18.0; gain += 0.5) {
            const double qe = qOf(9, gain, q);
            EXPECT_TRUE(std::isfinite(qe) && qe > 0.0) << gain;
        }
    }
}

}  // namespace
}  // namespace hm::dsp::test
