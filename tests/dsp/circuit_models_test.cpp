// Circuit-model peaks and shelves: flatness at 0 dB, asymptotes and gains that
// follow from the circuits' component values, boost/cut mirroring where the
// circuit is symmetric, and the frequency-switch behaviour.
#include <gtest/gtest.h>

#include <cmath>

#include "prototype_test_support.h"

namespace hm::dsp::test {
namespace {

constexpr int kPeak4kg = 1, kPeak250 = 13;
constexpr int kShelf4kg = 1, kShelf110 = 2, kShelf550 = 3, kPultecBoost = 4, kPultecCut = 5;

TEST(CircuitModels, EveryModelIsFlatAtZeroDecibelsAndFiniteEverywhere)
{
    struct Model { int type, subtype; };
    const Model models[] = {
        {kTypePeak, kPeak4kg},         {kTypePeak, kPeak250},          {kTypeLowShelf, kShelf4kg},
        {kTypeHighShelf, kShelf4kg},   {kTypeLowShelf, kShelf110},     {kTypeHighShelf, kShelf110},
        {kTypeLowShelf, kShelf550},    {kTypeHighShelf, kShelf550},    {kTypeLowShelf, kPultecBoost},
        {kTypeHighShelf, kPultecBoost}, {kTypeLowShelf, kPultecCut},   {kTypeHighShelf, kPultecCut},
    };
    for (double hz : {15.0, 100.0, 1000.0, 6000.0, 19000.0})
        for (float q : {0.1f, 1.0f, 50.0f}) {
            for (const Model& m : models) {
                    const int type = m.type, subtype = m.subtype;
                    const Proto flat(band(type, subtype, 0.0, q, 0.0, 2, hz));
                    for (double w = hz * 1e-3; w < hz * 1e3; w *= 1.2)
                        ASSERT_NEAR(flat.db(w), 0.0, 1e-3) << type << "/" << subtype << " at " << hz;
                    for (double gain = -18.0; gain <= 18.0; gain += 3.0) {
                        const Proto p(band(type, subtype, gain, q, 50.0, 2, hz));
                        for (double w : {hz * 0.01, hz * 0.5, hz, hz * 2.0, hz * 100.0})
                            ASSERT_TRUE(std::isfinite(p.mag(w)) && p.mag(w) > 0.0)
                                << type << "/" << subtype << " " << gain << " at " << hz;
                    }
            }
        }
}

TEST(CircuitModels, PeaksAreUnityFarAwayAndSymmetricInLogFrequency)
{
    for (int subtype : {kPeak4kg, kPeak250})
        for (double gain : {-12.0, 6.0, 18.0}) {
            const Proto p(band(kTypePeak, subtype, gain, 2.0));
            // n2 = d2 and n0 = d0: the response is symmetric in log frequency about
            // w0 = sqrt(n0/n2) (w0 = 1 for "250", where n2 = n0 as well), where a
            // boost lifts the centre.
            const double w0 = std::sqrt(p.s[0].n0 / p.s[0].n2);
            if (subtype == kPeak250) {
                EXPECT_NEAR(w0, 1.0, 1e-12);
            }
            for (double w : {0.1, 0.5, 0.9}) EXPECT_NEAR(p.mag(w0 * w), p.mag(w0 / w), 1e-9 * p.mag(w0 * w));
            EXPECT_EQ(p.mag(w0) > 1.0, gain > 0.0) << subtype << " " << gain;
        }
    // "4kg": swapping the sides of the gain pot exchanges n1 and d1, so a cut is
    // the exact inverse of the boost, and both ends are unity.
    for (double gain : {3.0, 12.0})
        for (float q : {0.5f, 5.0f}) {
            const Proto boost(band(kTypePeak, kPeak4kg, gain, q));
            const Proto cut(band(kTypePeak, kPeak4kg, -gain, q));
            EXPECT_NEAR(boost.dc(), 1.0, 1e-12);
            EXPECT_NEAR(boost.hf(), 1.0, 1e-12);
            for (double w : {0.3, 1.0, 3.0}) EXPECT_NEAR(boost.mag(w) * cut.mag(w), 1.0, 1e-12);
        }
}

TEST(CircuitModels, Shelf110ReachesTheBandGainExactly)
{
    // The high shelf's pot position is solved so that n2/d2 is the band gain; the
    // low shelf's DC gain is (l + 3.4)/(h + 3.4) with the gain pot split l/h.
    for (double gain : {-18.0, -7.0, 4.0, 12.0, 18.0})
        for (double hz : {500.0, 3300.0, 8000.0, 20000.0}) {
            const Proto hs(band(kTypeHighShelf, kShelf110, gain, 1.0, 0.0, 2, hz));
            EXPECT_NEAR(hs.hf(), dbToAmplitude(gain), 1e-9 * dbToAmplitude(gain)) << gain << " " << hz;
            EXPECT_NEAR(hs.dc(), 1.0, 1e-12);
            const Proto ls(band(kTypeLowShelf, kShelf110, gain, 1.0, 0.0, 2, hz / 20.0));
            const double pg = (gain + 18.0) / 36.0;
            const double dc = (pg * 22.0 + 3.4) / ((1.0 - pg) * 22.0 + 3.4);
            EXPECT_NEAR(ls.dc(), dc, 1e-6 * dc) << gain << " " << hz;
            EXPECT_NEAR(ls.hf(), 1.0, 1e-6);
        }
}

TEST(CircuitModels, Shelf4kgShiftsBeyondItsFrequencyPot)
{
    // Outside the pot's range the response is the end position's, moved in frequency.
    struct Range { int type; double lo, hi; };
    for (const Range& r : {Range{kTypeHighShelf, 1500.0, 16000.0}, Range{kTypeLowShelf, 30.0, 450.0}})
        for (double gain : {-10.0, 10.0}) {
            const Proto atLo(band(r.type, kShelf4kg, gain, 1.0, 0.0, 2, r.lo));
            const Proto below(band(r.type, kShelf4kg, gain, 1.0, 0.0, 2, r.lo * 0.5));
            const Proto atHi(band(r.type, kShelf4kg, gain, 1.0, 0.0, 2, r.hi));
            const Proto above(band(r.type, kShelf4kg, gain, 1.0, 0.0, 2, r.hi * 1.25));
            for (double w : {0.1, 0.5, 1.0, 2.0, 10.0}) {
                EXPECT_NEAR(below.mag(0.5 * r.lo * w), atLo.mag(r.lo * w), 1e-9 * atLo.mag(r.lo * w));
                EXPECT_NEAR(above.mag(1.25 * r.hi * w), atHi.mag(r.hi * w), 1e-9 * atHi.mag(r.hi * w));
            }
            const double shelfSide = r.type == kTypeLowShelf ? r.hi * 0.1 : r.hi * 10.0;
            EXPECT_EQ(atHi.mag(shelfSide) > 1.0, gain > 0.0) << r.type << " " << gain;
        }
    // High shelf: n0 = d0 and n1 = d1, so DC is exactly unity.
    EXPECT_NEAR(Proto(band(kTypeHighShelf, kShelf4kg, 9.0, 1.0, 0.0, 2, 5000.0)).dc(), 1.0, 1e-12);
}

TEST(CircuitModels, Shelf550GainsComeFromItsResistorTables)
{
    // At the 6 dB table point: Rg = 13780 against Rf = 13220 (high) / 12810 (low).
    const Proto hs(band(kTypeHighShelf, kShelf550, 6.0, 1.0, 0.0, 2, 10000.0));
    const Proto ls(band(kTypeLowShelf, kShelf550, 6.0, 1.0, 0.0, 2, 100.0));
    EXPECT_NEAR(hs.hf(), 1.0 + 13780.0 / 13220.0, 1e-12);
    EXPECT_NEAR(hs.dc(), 1.0, 1e-12);
    EXPECT_NEAR(ls.dc(), 1.0 + 13780.0 / 12810.0, 1e-12);
    EXPECT_NEAR(ls.hf(), 1.0, 1e-12);
    // A cut is the boost with the lifted coefficient moved to the denominator.
    for (int type : {kTypeLowShelf, kTypeHighShelf}) {
        const Proto boost(band(type, kShelf550, 6.0, 1.0, 0.0, 2, 700.0));
        const Proto cut(band(type, kShelf550, -6.0, 1.0, 0.0, 2, 700.0));
        EXPECT_EQ(boost.s[0].n2, cut.s[0].d2);
        EXPECT_EQ(boost.s[0].n1, cut.s[0].d1);
        EXPECT_EQ(boost.s[0].d2, cut.s[0].n2);
        EXPECT_EQ(boost.s[0].d1, cut.s[0].n1);
    }
}

TEST(CircuitModels, PultecShelves)
{
    // Low boost with the cut pot at 0 is a first-order section with unity at the top.
    const Proto boostOnly(band(kTypeLowShelf, kPultecBoost, 12.0, 1.0, 0.0, 2, 60.0));
    ASSERT_EQ(boostOnly.n, 1);
    EXPECT_EQ(boostOnly.s[0].n0, 0.0);
    EXPECT_EQ(boostOnly.s[0].d0, 0.0);
    EXPECT_NEAR(boostOnly.hf(), 1.0, 1e-12);
    EXPECT_GT(boostOnly.dc(), 1.0);
    // A band between two switch positions uses the higher position's network,
    // moved to the band frequency; just above a position the next one is used.
    const Proto at60(band(kTypeLowShelf, kPultecBoost, 12.0, 1.0, 40.0, 2, 60.0));
    const Proto at45(band(kTypeLowShelf, kPultecBoost, 12.0, 1.0, 40.0, 2, 45.0));
    const Proto at61(band(kTypeLowShelf, kPultecBoost, 12.0, 1.0, 40.0, 2, 61.0));
    double worst61 = 0.0;
    for (double w : {0.05, 0.3, 1.0, 3.0, 20.0}) {
        EXPECT_NEAR(at45.mag(45.0 * w), at60.mag(60.0 * w), 1e-9 * at60.mag(60.0 * w));
        worst61 = std::max(worst61, std::fabs(at61.db(61.0 * w) - at60.db(60.0 * w)));
    }
    EXPECT_GT(worst61, 0.1);
    // High boost: a resonance at the band frequency whose height is set by the
    // boost pot R1 against the bandwidth pot R2.
    const double hz = 8000.0, gain = 9.0, q = 3.0;
    const Proto hb(band(kTypeHighShelf, kPultecBoost, gain, q, 0.0, 2, hz));
    const double r1 = gain / 18.0 * 10000.0, r2 = (1.0 - (q - 0.4) / 9.6) * 2200.0;
    EXPECT_NEAR(hb.mag(hz), (r2 + r1) / (r2 + r1 * (1.0 - 3.0 * r1 / 32750.0)), 1e-9);
    EXPECT_NEAR(hb.dc(), 1.0, 1e-12);
    EXPECT_NEAR(hb.hf(), 1.0, 1e-12);
    // High cut: first order, unity at DC, attenuating above.
    const Proto hc(band(kTypeHighShelf, kPultecCut, -12.0, 1.0, 0.0, 2, hz));
    EXPECT_NEAR(hc.dc(), 1.0, 1e-12);
    EXPECT_LT(hc.hf(), 1.0);
}

}  // namespace
}  // namespace hm::dsp::test
