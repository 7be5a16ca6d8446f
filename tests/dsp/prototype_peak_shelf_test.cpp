// Peak and shelf prototypes: centre gains, asymptotes and symmetries that follow
// from the transfer functions by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "prototype_test_support.h"

namespace hm::dsp::test {
namespace {

TEST(PeakPrototype, CentreGainIsTheBandGainAndFarAwayIsUnity)
{
    // Every peak written as the peaking section (all gain-to-Q models except "110",
    // which moves the gain) and the two-section "Butterworth" peak.
    for (int subtype : {0, 2, 3, 4, 5, 7, 8, 9, 10, 12})
        for (double gain : {-15.0, -3.0, 0.5, 6.0, 18.0})
            for (float q : {0.4f, 1.0f, 7.0f}) {
                const Proto p(band(kTypePeak, subtype, gain, q, 30.0));
                const double g = dbToAmplitude(gain);
                EXPECT_NEAR(p.mag(1.0), g, 1e-9 * g) << subtype << " " << gain << " " << q;
                EXPECT_NEAR(p.dc(), 1.0, 1e-12);
                EXPECT_NEAR(p.hf(), 1.0, 1e-12);
            }
}

TEST(PeakPrototype, ZeroDecibelPeaksAreFlat)
{
    for (int subtype = 0; subtype <= 12; ++subtype) {
        const Proto p(band(kTypePeak, subtype, 0.0, 3.0, 60.0));
        for (double w : {0.1, 0.8, 1.0, 1.25, 10.0}) EXPECT_NEAR(p.mag(w), 1.0, 1e-9) << subtype << " w " << w;
    }
}

TEST(PeakPrototype, TwoSectionPeaksAreSymmetricInLogFrequency)
{
    // "FlatTop" and "Butterworth": the second section is the first with s -> 1/s
    // (up to a constant that cancels in the product).
    for (int subtype : {11, 12})
        for (double gain : {-12.0, 9.0})
            for (double soften : {0.0, 40.0, 100.0}) {
                const Proto p(band(kTypePeak, subtype, gain, 1.5, soften));
                ASSERT_EQ(p.n, 2);
                for (double w : {0.2, 0.6, 0.9, 1.1}) EXPECT_NEAR(p.mag(w), p.mag(1.0 / w), 1e-9 * p.mag(w));
                EXPECT_NEAR(p.dc(), 1.0, 1e-12);
                EXPECT_NEAR(p.hf(), 1.0, 1e-12);
            }
    // Without softening "FlatTop" is two equal peaks that add up to the band gain.
    const Proto flat(band(kTypePeak, 11, 10.0, 2.0, 0.0));
    EXPECT_NEAR(flat.mag(1.0), dbToAmplitude(10.0), 1e-9);
}

TEST(PeakPrototype, SofteningWidensTheFlatTopAtTheCentre)
{
    // With SOFTEN the two resonances move apart: the centre drops below the band
    // gain while the response an octave away rises.
    const Proto sharp(band(kTypePeak, 11, 12.0, 2.0, 0.0));
    const Proto soft(band(kTypePeak, 11, 12.0, 2.0, 100.0));
    EXPECT_LT(soft.mag(1.0), sharp.mag(1.0));
    EXPECT_GT(soft.mag(0.85), sharp.mag(0.85));
    // Full softening stops where the top is flat: no dip opens at the centre.
    for (float q : {0.5f, 1.0f, 2.0f, 5.0f})
        for (double gain : {6.0, 15.0}) {
            const Proto p(band(kTypePeak, 11, gain, q, 100.0));
            for (double w : {1.01, 1.03, 1.1}) EXPECT_LE(p.mag(w), p.mag(1.0) * (1.0 + 1e-12)) << q << " " << gain;
        }
}

struct ShelfCase {
    int subtype;
    double gain, q, shift;
};

TEST(ShelfPrototype, AsymptotesAreTheGainOnTheShelfSideAndUnityOnTheOther)
{
    const ShelfCase cases[] = {
        {0, 9.0, 0.5, 0.0},  {0, -9.0, 0.5, 50.0}, {0, 12.0, 0.70710678, 30.0}, {0, 6.0, 2.0, 0.0},
        {0, 6.0, 2.0, 80.0}, {0, -14.0, 5.0, 100.0}, {6, 8.0, 1.0, 0.0},      {6, -8.0, 1.0, 0.0},
    };
    for (const ShelfCase& c : cases) {
        const double g = dbToAmplitude(c.gain);
        const Proto low(band(kTypeLowShelf, c.subtype, c.gain, c.q, c.shift));
        const Proto high(band(kTypeHighShelf, c.subtype, c.gain, c.q, c.shift));
        EXPECT_NEAR(low.dc(), g, 1e-9 * g) << c.subtype << " " << c.gain << " " << c.q;
        EXPECT_NEAR(low.hf(), 1.0, 1e-9);
        EXPECT_NEAR(high.dc(), 1.0, 1e-9);
        EXPECT_NEAR(high.hf(), g, 1e-9 * g) << c.subtype << " " << c.gain << " " << c.q;
    }
}

TEST(ShelfPrototype, KesShelfShapes)
{
    // Q below 1/sqrt(2) ignores SHIFT.
    const Proto a(band(kTypeHighShelf, 0, 10.0, 0.6, 0.0));
    const Proto b(band(kTypeHighShelf, 0, 10.0, 0.6, 90.0));
    for (double w : {0.3, 1.0, 3.0}) EXPECT_EQ(a.mag(w), b.mag(w));
    // At Q = 1/sqrt(2) it is the maximally flat shelf: |H(j)|^2 = (1 + t^2)/2.
    const double t = dbToAmplitude(10.0);
    EXPECT_NEAR(Proto(band(kTypeHighShelf, 0, 10.0, 0.70710678, 50.0)).mag(1.0), std::sqrt((1 + t * t) / 2), 1e-6);
    // A cut is the boost turned upside down.
    const Proto boost(band(kTypeLowShelf, 0, 7.0, 3.0, 60.0));
    const Proto cut(band(kTypeLowShelf, 0, -7.0, 3.0, 60.0));
    for (double w : {0.1, 0.9, 1.0, 2.0}) EXPECT_NEAR(boost.mag(w) * cut.mag(w), 1.0, 1e-12);
    // Above 1/sqrt(2), SHIFT changes the shape but not the asymptotes.
    const Proto plain(band(kTypeLowShelf, 0, 7.0, 3.0, 0.0));
    EXPECT_GT(std::fabs(boost.mag(1.0) - plain.mag(1.0)), 1e-3);
}

TEST(ShelfPrototype, FirstOrderAndTiltClosedForms)
{
    for (double gain : {-9.0, 4.0, 15.0}) {
        const double a = dbToAmplitude(std::fabs(gain));
        // First order: corner gain sqrt((1 + a^2)/2) on a boost, its inverse on a cut.
        const double corner = std::sqrt((1.0 + a * a) / 2.0);
        for (int type : {kTypeLowShelf, kTypeHighShelf}) {
            const Proto p(band(type, 6, gain));
            EXPECT_NEAR(p.mag(1.0), gain > 0 ? corner : 1.0 / corner, 1e-12) << type << " " << gain;
        }
        // Tilt: pivot at 0 dB, +gain on the shelf side and -gain on the other.
        const Proto hs(band(kTypeHighShelf, 7, gain));
        const Proto ls(band(kTypeLowShelf, 7, gain));
        const double g = dbToAmplitude(gain);
        EXPECT_NEAR(hs.mag(1.0), 1.0, 1e-12);
        EXPECT_NEAR(hs.hf(), g, 1e-12 * g);
        EXPECT_NEAR(hs.dc(), 1.0 / g, 1e-12 / g);
        EXPECT_NEAR(ls.dc(), g, 1e-12 * g);
        EXPECT_NEAR(ls.hf(), 1.0 / g, 1e-12 / g);
    }
}

}  // namespace
}  // namespace hm::dsp::test
