// Processing and response evaluation of the cascade against a textbook direct-form-1
// loop and the transfer function evaluated with std::complex.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "cascade_test_support.h"

namespace hm::dsp::test {
namespace {

// Random stable sections: poles drawn inside radius 0.95.
std::vector<Biquad> randomSections(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0), r(0.1, 0.95), ang(0.0, 3.14159);
    std::vector<Biquad> s;
    for (int i = 0; i < n; ++i) {
        const double rad = r(rng), th = ang(rng);
        s.push_back({u(rng), u(rng), u(rng), -2.0 * rad * std::cos(th), rad * rad});
    }
    return s;
}

void installSettled(ProbeEQ& eq, const std::vector<Biquad>& s)
{
    const auto c = flatten(s);
    eq.setDisabled(0);
    eq.setCoefficients(c.data(), static_cast<int>(s.size()));
    std::vector<double> z(1100, 0.0);
    eq.processDouble(z.data(), 1100);
    eq.reset();
}

TEST(CascadeProcess, DoubleAndFloatMatchReferenceLoop)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int sections = 1; sections <= kMaxSections; ++sections) {
        const auto s = randomSections(rng, sections);
        ProbeEQ d, f;
        installSettled(d, s);
        installSettled(f, s);
        std::vector<double> in(700);
        for (double& v : in) v = noise(rng);
        std::vector<double> outD = in;
        std::vector<float> outF(in.begin(), in.end());
        int pos = 0;
        for (int len : {1, 3, 9, 27, 81, 243, 336}) {
            d.processDouble(outD.data() + pos, len);
            f.processFloat(outF.data() + pos, len);
            pos += len;
        }
        // Reference in double for the double form; the float form rounds to float
        // between sections, which the reference repeats.
        std::vector<RefSection> refD, refF;
        for (const Biquad& b : s) {
            refD.push_back({b.b0, b.b1, b.b2, b.a1, b.a2});
            refF.push_back({b.b0, b.b1, b.b2, b.a1, b.a2});
        }
        for (int j = 0; j < 700; ++j) {
            double yd = in[j];
            float yf = static_cast<float>(in[j]);
            for (size_t k = 0; k < s.size(); ++k) {
                yd = refD[k].run(yd);
                yf = static_cast<float>(refF[k].run(yf));
            }
            ASSERT_NEAR(outD[j], yd, 1e-12 * (1.0 + std::fabs(yd))) << sections << " sections, sample " << j;
            ASSERT_NEAR(outF[j], yf, 1e-6 * (1.0 + std::fabs(yf))) << sections << " sections, sample " << j;
        }
    }
}

TEST(CascadeProcess, DisabledFloatBlockUntouchedOnlyAfterGlide)
{
    std::mt19937 rng(3);
    ProbeEQ eq;
    const auto s = randomSections(rng, 2);
    const auto c = flatten(s);
    eq.setCoefficients(c.data(), 2);  // glide running, object still disabled
    std::vector<float> buf(256, 0.5f);
    eq.processFloat(buf.data(), 256);
    EXPECT_NE(buf[100], 0.5f) << "a running glide must still be processed";

    std::vector<float> rest(1000, 0.0f);
    eq.processFloat(rest.data(), 1000);
    ASSERT_LE(eq.getRampRemaining(), 0);
    std::vector<float> block(256);
    for (size_t i = 0; i < block.size(); ++i) block[i] = std::sin(0.1f * i) * 1e-3f;
    const auto copy = block;
    eq.processFloat(block.data(), 256);
    EXPECT_EQ(std::memcmp(block.data(), copy.data(), sizeof(float) * 256), 0);
}

TEST(CascadeProcess, IdentitySkipsDoubleButDisabledAloneDoesNot)
{
    ProbeEQ eq;
    const Biquad half{0.5, 0.0, 0.0, 0.0, 0.0};
    const auto c = flatten({half});
    eq.setCoefficients(c.data(), 1);
    std::vector<double> z(1100, 0.0);
    eq.processDouble(z.data(), 1100);
    double x = 1.0;
    eq.processDouble(&x, 1);  // disabled (the default) but not identity: filtered
    EXPECT_EQ(x, 0.5);
    eq.setIdentity(1);
    x = 1.0;
    eq.processDouble(&x, 1);
    EXPECT_EQ(x, 1.0);
}

TEST(CascadeProcess, DenormalFlushes)
{
    ProbeEQ eq;
    eq.setDisabled(0);
    const Biquad pass{1.0, 0.0, 0.0, -0.5, 0.0};
    const auto c = flatten({pass});
    eq.setCoefficients(c.data(), 1);
    std::vector<double> z(1100, 0.0);
    eq.processDouble(z.data(), 1100);

    // Double form: state below 2^-1021 is zeroed before the block, larger kept.
    const double tiny = std::ldexp(1.0, -1022), kept = std::ldexp(1.0, -1020);
    eq.state[0][0] = tiny;
    eq.state[0][1] = -tiny;
    eq.state[0][2] = tiny;
    eq.state[0][3] = kept;
    double x = 0.0;
    eq.processDouble(&x, 1);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(eq.state[0][3], 0.0);  // shifted: y2 = old y1, which was flushed
    eq.state[0][2] = kept;
    x = 0.0;
    eq.processDouble(&x, 1);
    EXPECT_EQ(x, 0.5 * kept);

    // Float form: an output of 1e-30 comes out as exactly zero.
    eq.reset();
    float f = 1e-30f;
    eq.processFloat(&f, 1);
    EXPECT_EQ(f, 0.0f);
    // The double feedback value loses everything below about 1e-46.
    eq.state[0][2] = 1e-60;
    float zero = 0.0f;
    eq.processFloat(&zero, 1);
    EXPECT_EQ(eq.state[0][2], 0.0);
    eq.reset();
    float g = 0.25f;
    eq.processFloat(&g, 1);
    EXPECT_EQ(g, 0.25f);
}

TEST(CascadeProcess, MagnitudeAndResponseMatchTransferFunction)
{
    std::mt19937 rng(5);
    for (int sections = 1; sections <= kMaxSections; ++sections) {
        const auto s = randomSections(rng, sections);
        ProbeEQ eq;
        eq.setSampleRate(48000.0f);
        const auto c = flatten(s);
        eq.setCoefficients(c.data(), sections);
        for (double hz : {0.0, 20.0, 440.0, 1000.0, 5000.0, 12345.0, 23999.0, 24000.0}) {
            const auto h = directResponse(s, 2.0 * M_PI * hz / 48000.0);
            EXPECT_NEAR(eq.getMagnitude(hz), std::abs(h), 1e-10 * std::abs(h) + 1e-14);
            double re = 0, im = 0;
            eq.getResponse(hz, &re, &im);
            EXPECT_NEAR(re, h.real(), 1e-10 * std::abs(h) + 1e-14);
            EXPECT_NEAR(im, h.imag(), 1e-10 * std::abs(h) + 1e-14);
            eq.getResponse(hz, nullptr, &im);  // null outputs are allowed
        }
    }
}

TEST(CascadeProcess, VanishingDenominatorRules)
{
    struct Case {
        Biquad b;
        double hz, expected;
    };
    // Denominator 1 + a1 z^-1 + a2 z^-2 vanishes at DC for a1 = -2, a2 = 1.
    const Case cases[] = {
        {{1.0, 0.0, 0.0, 0.0, 0.0}, 0.0, 1.0},
        {{1.0, 0.0, 0.0, -2.0, 1.0}, 0.0, 0.0},
        {{1.0, -2.0, 1.0, -2.0, 1.0}, 0.0, 1.0},
    };
    for (const Case& c : cases) {
        ProbeEQ eq;
        const auto v = flatten({c.b});
        eq.setCoefficients(v.data(), 1);
        EXPECT_EQ(eq.getMagnitude(c.hz), c.expected);
    }
}

TEST(CascadeProcess, SampleRateChangeClearsStateAndMarksDirtyOnlyWhenChanged)
{
    VerdanseEQ eq;
    eq.setType(kTypePeak);
    eq.setDisabled(0);
    eq.setGain(6.0f);
    eq.design();
    ASSERT_FALSE(eq.isDirty());
    std::vector<double> buf(1200, 1.0);
    eq.processDouble(buf.data(), 1200);
    eq.setSampleRate(44100.0f);
    EXPECT_FALSE(eq.isDirty());
    double x = 0.0;
    eq.processDouble(&x, 1);
    EXPECT_EQ(x, 0.0) << "state must be cleared";
    eq.setSampleRate(48000.0f);
    EXPECT_TRUE(eq.isDirty());
}

}  // namespace
}  // namespace hm::dsp::test
