// The prototype dispatch: type table, frequency scaling, the low-pass to
// high-pass swap, gain distribution over the pass filters, and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "prototype_test_support.h"

namespace hm::dsp::test {
namespace {

bool isUnity(const Proto& p)
{
    return p.n == 1 && p.s[0].n2 == 1.0 && p.s[0].n1 == 0.0 && p.s[0].n0 == 0.0 && p.s[0].d2 == 1.0 &&
           p.s[0].d1 == 0.0 && p.s[0].d0 == 0.0;
}

TEST(PrototypeDispatch, DisabledNoneUnknownAndBadInputGiveUnity)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    BandSettings disabled = band(kTypePeak, 0, 12.0, 2.0);
    disabled.disabled = true;
    BandSettings nanGain = band(kTypePeak, 0, 0.0, 2.0);
    nanGain.gain = nan;
    BandSettings nanQ = band(kTypeLowPass, 2);
    nanQ.q = nan;
    BandSettings infFreq = band(kTypeHighShelf, 0, 6.0);
    infFreq.frequency = inf;
    BandSettings zeroFreq = band(kTypeNotch, 0);
    zeroFreq.frequency = 0.0f;
    const BandSettings cases[] = {
        disabled, band(kTypeNone, 0, 12.0), band(99, 0, 12.0), band(-1, 0, 12.0), band(kTypePeak, 14, 12.0),
        band(kTypeLowPass, 10, 6.0), band(kTypeLowShelf, 8, 6.0), nanGain, nanQ, infFreq, zeroFreq,
    };
    for (const BandSettings& b : cases) EXPECT_TRUE(isUnity(Proto(b))) << b.type << "/" << b.subtype;
    EXPECT_EQ(prototypeFor(cases[0], nullptr), 0);
}

TEST(PrototypeDispatch, ExtremeSettingsGiveFiniteSections)
{
    // Every type and subtype over out-of-range controls: 1..4 finite sections,
    // none with a vanishing denominator.
    for (int type = -1; type <= 9; ++type)
        for (int subtype = -1; subtype <= 15; ++subtype)
            for (double gain : {-100.0, -18.0, 0.0, 0.004, 18.0, 100.0})
                for (double q : {-1.0, 0.0, 0.1, 50.0, 1000.0})
                    for (double shift : {-50.0, 0.0, 200.0})
                        for (int slope : {-2, 0, 1, 8, 12})
                            for (double hz : {1e-3, 20.0, 24000.0, 1e6}) {
                                const Proto p(band(type, subtype, gain, q, shift, slope, hz));
                                ASSERT_GE(p.n, 1);
                                ASSERT_LE(p.n, kMaxSections);
                                for (int i = 0; i < p.n; ++i) {
                                    ASSERT_TRUE(p.s[i].d2 != 0.0 || p.s[i].d1 != 0.0 || p.s[i].d0 != 0.0);
                                    for (double v : {p.s[i].n2, p.s[i].n1, p.s[i].n0, p.s[i].d2, p.s[i].d1, p.s[i].d0})
                                        ASSERT_TRUE(std::isfinite(v)) << type << "/" << subtype << " g " << gain
                                                                      << " q " << q << " shift " << shift;
                                }
                            }
}

TEST(PrototypeDispatch, ScalingPutsTheNormalisedResponseAtTheBandFrequency)
{
    const BandSettings shapes[] = {
        band(kTypePeak, 12, 6.0, 2.0), band(kTypeLowPass, 7, 3.0, 1.0, 0.0, 5), band(kTypeHighPass, 3, 0.0, 1.0, 0.0, 3),
        band(kTypeLowShelf, 0, -9.0, 1.5, 40.0), band(kTypeHighShelf, 6, 6.0), band(kTypeBandPass, 0, 3.0, 4.0),
    };
    for (BandSettings b : shapes) {
        const Proto unit(b);
        b.frequency = 2500.0f;
        const Proto scaled(b);
        ASSERT_EQ(unit.n, scaled.n);
        for (double w : {0.1, 0.7, 1.0, 1.3, 9.0})
            EXPECT_NEAR(std::abs(scaled.at(2500.0 * w) - unit.at(w)), 0.0, 1e-9 * (1.0 + unit.mag(w)))
                << b.type << "/" << b.subtype << " w " << w;
    }
}

TEST(PrototypeDispatch, SimpleTypesHaveTheirClosedForms)
{
    const double f = 440.0;
    // Notch: a zero at the centre, unity far away, -3 dB at the Q band edges.
    const double q = 3.0;
    const Proto notch(band(kTypeNotch, 0, 0.0, q, 0.0, 2, f));
    EXPECT_NEAR(notch.mag(f), 0.0, 1e-12);
    EXPECT_NEAR(notch.dc(), 1.0, 1e-12);
    EXPECT_NEAR(notch.hf(), 1.0, 1e-12);
    const double edge = (std::sqrt(1.0 + 4.0 * q * q) - 1.0) / (2.0 * q);
    EXPECT_NEAR(notch.mag(f * edge), std::sqrt(0.5), 1e-6);
    // All-pass: unit magnitude, phase -pi at the centre.
    const Proto allpass(band(kTypeAllPass, 0, 0.0, 0.8, 0.0, 2, f));
    for (double w : {0.01, 0.5, 1.0, 2.0, 100.0}) EXPECT_NEAR(allpass.mag(f * w), 1.0, 1e-12);
    EXPECT_NEAR(std::fabs(std::arg(allpass.at(f))), M_PI, 1e-9);
    // Band-pass: peak gain 10^(gain/20) at the centre, zero at DC and infinity; not
    // unity at 0 dB.
    for (double gain : {-6.0, 0.0, 9.0}) {
        const Proto bp(band(kTypeBandPass, 0, gain, 2.0, 0.0, 2, f));
        EXPECT_NEAR(bp.mag(f), dbToAmplitude(gain), 1e-6 * dbToAmplitude(gain));
        EXPECT_EQ(bp.dc(), 0.0);
        EXPECT_EQ(bp.hf(), 0.0);
    }
}

TEST(PrototypeDispatch, HighPassMirrorsLowPassInLogFrequency)
{
    // |HP(jw)| = |LP(j/w)| for every family and order (s -> 1/s).
    for (int subtype = 0; subtype <= 9; ++subtype)
        for (int order = 1; order <= 8; ++order) {
            const double q = subtype == 3 || subtype == 7 ? 1.0 : 0.9;
            const Proto lp(band(kTypeLowPass, subtype, 0.0, q, 0.0, order, 1000.0));
            const Proto hp(band(kTypeHighPass, subtype, 0.0, q, 0.0, order, 1000.0));
            ASSERT_EQ(lp.n, hp.n);
            for (double w : {0.05, 0.4, 1.0, 1.7, 30.0})
                EXPECT_NEAR(hp.mag(1000.0 * w), lp.mag(1000.0 / w), 1e-9 * (1.0 + lp.mag(1000.0 / w)))
                    << subtype << "/" << order << " w " << w;
        }
}

TEST(PrototypeDispatch, PassGainIsSpreadOverTheSecondOrderSections)
{
    const double gain = 7.5;
    for (int order = 1; order <= 8; ++order) {
        const Proto flat(band(kTypeLowPass, 2, 0.0, 0.707, 0.0, order));
        const Proto lp(band(kTypeLowPass, 2, gain, 0.707, 0.0, order));
        const Proto hp(band(kTypeHighPass, 2, gain, 0.707, 0.0, order));
        const double total = order == 1 ? 1.0 : dbToAmplitude(gain);  // order 1 ignores the gain
        EXPECT_NEAR(lp.dc(), total, 1e-12 * total) << order;
        EXPECT_NEAR(hp.hf(), total, 1e-12 * total) << order;
        const int secondOrder = order / 2;
        for (int i = 0; i < lp.n; ++i) {
            const double each = i < secondOrder ? dbToAmplitude(gain / secondOrder) : 1.0;
            EXPECT_NEAR(lp.s[i].n0, flat.s[i].n0 * each, 1e-12) << order << " section " << i;
            EXPECT_EQ(lp.s[i].d0, flat.s[i].d0);
        }
    }
    // Slope 3 high-pass: two sections, the first-order one untouched by the gain.
    const Proto hp3(band(kTypeHighPass, 0, 6.0, 0.707, 0.0, 3));
    ASSERT_EQ(hp3.n, 2);
    EXPECT_EQ(hp3.s[1].n0, 0.0);
    EXPECT_EQ(hp3.s[1].d0, 0.0);
    EXPECT_NEAR(hp3.s[1].n2 / hp3.s[1].d2, 1.0, 1e-15);
}

TEST(PrototypeDispatch, EffectiveQOnlyChangesPeakAndBandPass)
{
    for (int type : {kTypeHighPass, kTypeLowShelf, kTypeNotch, kTypeHighShelf, kTypeLowPass, kTypeAllPass})
        EXPECT_EQ(effectiveQ(band(type, 10, 12.0, 2.0)), 2.0f) << type;
    // "EE" (subtype 10): Q / A.
    EXPECT_NEAR(effectiveQ(band(kTypePeak, 10, 12.0, 2.0)), 2.0 / std::pow(10.0, 12.0 / 40.0), 1e-6);
    EXPECT_NEAR(effectiveQ(band(kTypeBandPass, 10, 12.0, 2.0)), 2.0 / std::pow(10.0, 12.0 / 40.0), 1e-6);
    BandSettings bad = band(kTypePeak, 10, 12.0, 2.0);
    bad.gain = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(effectiveQ(bad), 2.0f);
}

}  // namespace
}  // namespace hm::dsp::test
