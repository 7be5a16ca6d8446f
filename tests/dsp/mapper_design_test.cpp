// Band design through the filter object: unity rules, parallel bands, the design
// life cycle, the editor-facing tables and the prototype-response queries.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "dsp/PrototypeResponse.h"
#include "dsp/VerdanseEQ.h"
#include "dsp/design/SubtypeNames.h"

namespace hm::dsp {
namespace {

void configure(VerdanseEQ& eq, int type, int subtype, float hz, float gain, float q, int slope = 2,
               float fs = 48000.0f)
{
    eq.setSampleRate(fs);
    eq.setDisabled(0);
    eq.setType(type);
    eq.setSubtype(subtype);
    eq.setFrequency(hz);
    eq.setGain(gain);
    eq.setQ(q);
    eq.setSlope(slope);
}

void runGlide(VerdanseEQ& eq)
{
    std::vector<double> z(1100, 0.0);
    eq.processDouble(z.data(), 1100);
}

std::complex<double> response(const VerdanseEQ& eq, double hz)
{
    double re = 0.0, im = 0.0;
    eq.getResponse(hz, &re, &im);
    return {re, im};
}

TEST(MapperDesign, PeakAtZeroDecibelsIsUnityAndSkipped)
{
    VerdanseEQ eq;
    configure(eq, kTypePeak, 0, 1000.0f, 0.0f, 1.0f);
    eq.design();
    EXPECT_EQ(eq.getIdentity(), 1);
    runGlide(eq);
    std::vector<double> buf{0.3, -0.2, 0.9};
    const auto in = buf;
    eq.processDouble(buf.data(), 3);
    EXPECT_EQ(buf, in);
}

TEST(MapperDesign, BandPassAtZeroDecibelsPeaksAtUnity)
{
    VerdanseEQ eq;
    configure(eq, kTypeBandPass, 0, 1000.0f, 0.0f, 2.0f);
    eq.design();
    EXPECT_EQ(eq.getIdentity(), 0);
    EXPECT_NEAR(20.0 * std::log10(eq.getMagnitude(1000.0)), 0.0, 0.1);
    EXPECT_LT(eq.getMagnitude(100.0), 0.1);
}

TEST(MapperDesign, DisablingGlidesEverySectionToUnity)
{
    VerdanseEQ eq;
    configure(eq, kTypeHighPass, 2, 500.0f, 0.0f, 0.7f, 8);
    eq.design();
    runGlide(eq);
    ASSERT_EQ(eq.getSectionCount(), 4);
    eq.setDisabled(1);
    EXPECT_EQ(eq.design(), 1);
    EXPECT_EQ(eq.getIdentity(), 1);
    // All four sections stay in the chain while they glide: dropping three of them
    // at once would cut the filter short mid-signal.
    EXPECT_EQ(eq.getSectionCount(), 4);
    EXPECT_EQ(eq.getRampRemaining(), kGlideLength);
    for (double hz : {20.0, 500.0, 5000.0}) EXPECT_DOUBLE_EQ(eq.getMagnitude(hz), 1.0);
}

TEST(MapperDesign, ShorterSlopeGlidesTheSparesToUnity)
{
    VerdanseEQ eq, reference;
    configure(eq, kTypeLowPass, 2, 3000.0f, 0.0f, 0.7f, 8);
    eq.design();
    runGlide(eq);
    eq.setSlope(2);
    eq.design();
    configure(reference, kTypeLowPass, 2, 3000.0f, 0.0f, 0.7f, 2);
    reference.design();
    EXPECT_EQ(eq.getSectionCount(), 4);
    EXPECT_EQ(reference.getSectionCount(), 1);
    for (double hz : {100.0, 3000.0, 12000.0})
        EXPECT_NEAR(eq.getMagnitude(hz), reference.getMagnitude(hz), 1e-12 * reference.getMagnitude(hz));
}

TEST(MapperDesign, RedesignWithoutChangesDoesNothing)
{
    VerdanseEQ eq;
    configure(eq, kTypeLowShelf, 6, 300.0f, 6.0f, 0.7f);
    EXPECT_EQ(eq.design(), 1);
    EXPECT_FALSE(eq.isDirty());
    EXPECT_EQ(eq.design(), 0);
    eq.setGain(6.0f);  // same value: not dirty
    EXPECT_EQ(eq.design(), 0);
    eq.setGain(7.0f);
    EXPECT_EQ(eq.design(), 1);
}

TEST(MapperDesign, ParallelBandAddsCascadeMinusOne)
{
    struct Case {
        int type, subtype;
        float hz, gain, q;
    };
    // One-section peak, two-section peaks and a two-section low shelf.
    const Case cases[] = {{kTypePeak, 0, 1000.0f, 6.0f, 1.0f},
                          {kTypePeak, 11, 2000.0f, 9.0f, 1.5f},
                          {kTypePeak, 12, 700.0f, -8.0f, 2.0f},
                          {kTypeLowShelf, 2, 200.0f, 5.0f, 0.7f}};
    for (const Case& c : cases) {
        VerdanseEQ series, parallel;
        configure(series, c.type, c.subtype, c.hz, c.gain, c.q);
        configure(parallel, c.type, c.subtype, c.hz, c.gain, c.q);
        parallel.setParallel(1);
        series.design();
        parallel.design();
        ASSERT_EQ(series.getSectionCount(), parallel.getSectionCount());
        for (double hz : {30.0, 300.0, 1000.0, 2000.0, 8000.0, 20000.0}) {
            const auto h = response(series, hz);
            EXPECT_LT(std::abs(response(parallel, hz) - (h - 1.0)), 1e-6 * (1.0 + std::abs(h)))
                << "type " << c.type << " subtype " << c.subtype << " at " << hz;
        }
    }
}

TEST(MapperDesign, SampleRateChangeRedesignsForTheNewRate)
{
    VerdanseEQ eq;
    configure(eq, kTypePeak, 0, 5000.0f, 12.0f, 2.0f, 2, 44100.0f);
    eq.design();
    eq.setSampleRate(96000.0f);
    eq.design();
    EXPECT_NEAR(20.0 * std::log10(eq.getMagnitude(5000.0)), 12.0, 0.05);
}

TEST(MapperDesign, ControlMaskAndShiftLabel)
{
    struct Case {
        int type, subtype, mask;
        const char* label;
    };
    // Bits: 1 gain, 2 frequency, 4 Q, 8 extra control, 16 slope.
    const Case cases[] = {
        {kTypePeak, 0, 15, "GAIN->Q"},     {kTypePeak, 11, 15, "SOFTEN"},   {kTypePeak, 5, 7, ""},
        {kTypeHighPass, 0, 22, ""},        {kTypeHighPass, 2, 18, ""},      {kTypeLowPass, 7, 22, ""},
        {kTypeLowPass, 9, 22, ""},         {kTypeLowShelf, 0, 15, "SHIFT"}, {kTypeHighShelf, 0, 15, "SHIFT"},
        {kTypeHighShelf, 4, 7, ""},        {kTypeLowShelf, 4, 11, "CUT"},   {kTypeLowShelf, 5, 11, "BOOST"},
        {kTypeHighShelf, 5, 3, ""},        {kTypeNotch, 0, 6, ""},          {kTypeBandPass, 0, 2, ""},
        {kTypeNone, 0, 2, ""},
    };
    for (const Case& c : cases) {
        VerdanseEQ eq;
        eq.setType(c.type);
        eq.setSubtype(c.subtype);
        EXPECT_EQ(eq.getControlMask(), c.mask) << c.type << "/" << c.subtype;
        EXPECT_STREQ(eq.getShiftLabel(), c.label) << c.type << "/" << c.subtype;
    }
}

TEST(MapperDesign, SubtypeMenus)
{
    EXPECT_EQ(subtypeCount(kTypeBandPass), 14);
    EXPECT_EQ(subtypeCount(kTypeHighPass), 10);
    EXPECT_EQ(subtypeCount(kTypeLowShelf), 8);
    EXPECT_STREQ(subtypeName(kTypePeak, 11), "FlatTop");
    EXPECT_STREQ(subtypeName(kTypeHighShelf, 4), "Pultec Boost");
    EXPECT_EQ(subtypeName(kTypeHighShelf, 8), nullptr);
}

TEST(MapperDesign, SettersMarkDirtyOnlyOnChangeAndIgnoreNaN)
{
    VerdanseEQ eq;
    eq.buildPrototype();  // clears the dirty flag of the fresh object
    ASSERT_FALSE(eq.isDirty());
    EXPECT_EQ(eq.setFrequency(1000.0f), 0);
    EXPECT_FALSE(eq.isDirty());
    EXPECT_EQ(eq.setFrequency(NAN), 0);
    EXPECT_EQ(eq.getFrequency(), 1000.0f);
    EXPECT_FALSE(eq.isDirty());
    EXPECT_EQ(eq.setQ(2.0f), 1);
    EXPECT_TRUE(eq.isDirty());
    eq.setIdentity(1);
    EXPECT_EQ(eq.getIdentity(), 1);
}

TEST(MapperDesign, EffectiveQComesFromTheGainToQRule)
{
    VerdanseEQ eq;
    eq.setType(kTypePeak);
    eq.setSubtype(10);  // "EE": Q / A, A = 10^(gain/40)
    eq.setQ(2.0f);
    eq.setGain(12.0f);
    EXPECT_NEAR(eq.getEffectiveQ(), 2.0 / std::pow(10.0, 12.0 / 40.0), 1e-5);
    eq.setType(kTypeLowPass);
    EXPECT_FLOAT_EQ(eq.getEffectiveQ(), 2.0f);
}

// (s^2 + 1)/(s^2 + s/Q + 1) and (s^2 - s/Q + 1)/(s^2 + s/Q + 1) with s = j f/f0.
TEST(PrototypeResponse, NotchAndAllPassMatchTheirFormulas)
{
    VerdanseEQ notch, allpass;
    configure(notch, kTypeNotch, 0, 2000.0f, 0.0f, 3.0f);
    configure(allpass, kTypeAllPass, 0, 2000.0f, 0.0f, 3.0f);
    for (double hz : {100.0, 1000.0, 1900.0, 2000.0, 2100.0, 9000.0}) {
        const double x = hz / 2000.0, q = 3.0;
        const double notchMag = std::fabs(1.0 - x * x) / std::hypot(1.0 - x * x, x / q);
        EXPECT_NEAR(prototypeMagnitude(notch, hz, false), notchMag, 1e-6);
        EXPECT_NEAR(prototypeMagnitude(allpass, hz, false), 1.0, 1e-9);
        // One section: its phase is taken as one angle, so it is the formula wrapped.
        const double expected = -2.0 * std::atan2(x / q, 1.0 - x * x);
        const double phase = prototypePhase(allpass, hz);
        EXPECT_NEAR(std::remainder(phase - expected, 2.0 * M_PI), 0.0, 1e-6);
        EXPECT_LE(std::fabs(phase), M_PI);
    }
}

TEST(PrototypeResponse, DisabledBandIsUnityUnlessIncluded)
{
    VerdanseEQ eq;
    configure(eq, kTypePeak, 0, 1000.0f, 12.0f, 1.0f);
    eq.setDisabled(1);
    EXPECT_DOUBLE_EQ(prototypeMagnitude(eq, 1000.0, false), 1.0);
    EXPECT_DOUBLE_EQ(prototypePhase(eq, 700.0), 0.0);
    EXPECT_NEAR(20.0 * std::log10(prototypeMagnitude(eq, 1000.0, true)), 12.0, 1e-4);
}

}  // namespace
}  // namespace hm::dsp
