// The coefficient glide of the cascade against a reference that interpolates the
// coefficients linearly from old to new over 1000 samples.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "cascade_test_support.h"

namespace hm::dsp::test {
namespace {

const Biquad kOld{0.6, -0.3, 0.1, -0.5, 0.2};
const Biquad kNew{1.2, 0.4, -0.2, 0.3, 0.4};

void settle(ProbeEQ& eq, const Biquad& c)
{
    const auto coeffs = flatten({c});
    eq.setCoefficients(coeffs.data(), 1);
    std::vector<double> buf(1100, 0.0);
    eq.processDouble(buf.data(), static_cast<int>(buf.size()));
    eq.reset();
}

TEST(CascadeGlide, FreshObjectIsTransparent)
{
    VerdanseEQ eq;
    std::vector<double> buf{1.0, -0.5, 0.25, 0.0, 3.0};
    const auto in = buf;
    eq.processDouble(buf.data(), 5);
    EXPECT_EQ(buf, in);
    for (double hz : {0.0, 100.0, 1000.0, 22050.0}) EXPECT_DOUBLE_EQ(eq.getMagnitude(hz), 1.0);
}

TEST(CascadeGlide, FollowsStraightLineFromOldToNewOverThousandSamples)
{
    ProbeEQ eq;
    eq.setDisabled(0);
    settle(eq, kOld);
    const auto next = flatten({kNew});
    ASSERT_EQ(eq.setCoefficients(next.data(), 1), 1);

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<double> in(1500), out;
    for (double& v : in) v = noise(rng);
    out = in;
    // Blocks of uneven length, so that the glide crosses block boundaries.
    int pos = 0;
    for (int len : {1, 63, 64, 200, 511, 160, 501}) {
        eq.processDouble(out.data() + pos, len);
        pos += len;
    }
    ASSERT_EQ(pos, 1500);

    RefSection ref{kOld.b0, kOld.b1, kOld.b2, kOld.a1, kOld.a2};
    const double o[5] = {kOld.b0, kOld.b1, kOld.b2, kOld.a1, kOld.a2};
    const double n[5] = {kNew.b0, kNew.b1, kNew.b2, kNew.a1, kNew.a2};
    for (int j = 0; j < 1500; ++j) {
        const double f = j >= 1000 ? 1.0 : j / 1000.0;
        double c[5];
        for (int k = 0; k < 5; ++k) c[k] = o[k] + (n[k] - o[k]) * f;
        ref.b0 = c[0]; ref.b1 = c[1]; ref.b2 = c[2]; ref.a1 = c[3]; ref.a2 = c[4];
        EXPECT_NEAR(out[j], ref.run(in[j]), 1e-12) << "sample " << j;
    }
    // After the glide the coefficients in use are the new ones exactly.
    for (int k = 0; k < 5; ++k) EXPECT_EQ(eq.current[0][k], n[k]);
}

TEST(CascadeGlide, FirstSampleUsesOldAndSampleThousandUsesNewExactly)
{
    ProbeEQ eq;
    eq.setDisabled(0);
    settle(eq, kOld);
    const auto next = flatten({kNew});
    eq.setCoefficients(next.data(), 1);
    double x = 0.0;
    eq.processDouble(&x, 1);
    const double o[5] = {kOld.b0, kOld.b1, kOld.b2, kOld.a1, kOld.a2};
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(eq.current[0][k], o[k], 1e-15);
    std::vector<double> buf(999, 0.0);
    eq.processDouble(buf.data(), 998);  // samples 1..998
    EXPECT_NE(eq.current[0][0], kNew.b0);
    eq.processDouble(buf.data(), 1);  // sample 999
    EXPECT_NE(eq.current[0][0], kNew.b0);
    eq.processDouble(buf.data(), 1);  // sample 1000
    EXPECT_EQ(eq.current[0][0], kNew.b0);
    EXPECT_EQ(eq.current[0][4], kNew.a2);
}

TEST(CascadeGlide, GlideStartRules)
{
    struct Case {
        const char* what;
        int firstSections, secondSections;
        bool sameValues;
        int expectStarted;
    };
    const Case cases[] = {
        {"identical target, same count", 2, 2, true, 0},
        {"section count grows", 1, 2, true, 1},
        {"section count shrinks", 2, 1, true, 1},
        {"a value changes", 2, 2, false, 1},
    };
    for (const Case& c : cases) {
        ProbeEQ eq;
        eq.setDisabled(0);
        const auto first = flatten({kOld, kNew});
        eq.setCoefficients(first.data(), c.firstSections);
        std::vector<double> buf(1200, 0.0);
        eq.processDouble(buf.data(), 1200);
        ASSERT_LE(eq.getRampRemaining(), 0) << c.what;
        auto second = first;
        if (!c.sameValues) second[3] += 0.01;
        EXPECT_EQ(eq.setCoefficients(second.data(), c.secondSections), c.expectStarted) << c.what;
        EXPECT_EQ(eq.getRampRemaining() == kGlideLength, c.expectStarted == 1) << c.what;
    }
}

TEST(CascadeGlide, BlockMovesGlideByItsLength)
{
    ProbeEQ eq;
    eq.setDisabled(0);
    const auto c = flatten({kNew});
    eq.setCoefficients(c.data(), 1);
    std::vector<double> buf(64, 0.0);
    eq.processDouble(buf.data(), 64);
    EXPECT_EQ(eq.getRampRemaining(), kGlideLength - 64);
    std::vector<float> fbuf(64, 0.0f);
    eq.processFloat(fbuf.data(), 64);
    EXPECT_EQ(eq.getRampRemaining(), kGlideLength - 128);
}

TEST(CascadeGlide, RejectsMalformedCoefficientSets)
{
    ProbeEQ eq;
    const double bad[5] = {1.0, NAN, 0.0, 0.0, 0.0};
    const double good[5] = {0.5, 0.0, 0.0, 0.0, 0.0};
    EXPECT_EQ(eq.setCoefficients(bad, 1), 0);
    EXPECT_EQ(eq.setCoefficients(nullptr, 1), 0);
    EXPECT_EQ(eq.setCoefficients(good, 0), 0);
    EXPECT_EQ(eq.setCoefficients(good, 5), 0);
    EXPECT_EQ(eq.target[0][0], 1.0);
    EXPECT_EQ(eq.getRampRemaining(), 0);
}

}  // namespace
}  // namespace hm::dsp::test
