// Round trips between parametric EQ text and presets: text -> preset -> text
// gives the same filters (within the printed precision), preset -> text ->
// preset the same bands; bands without a textbook equivalent are named and
// left out, never written as something else.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/params/ParamTable.h"
#include "core/peq/PeqExport.h"
#include "core/peq/PeqFidelity.h"
#include "core/peq/PeqMapping.h"

namespace hm::peq {
namespace {

const char* const kFilterLines[] = {
    "Filter 1: ON PK Fc 105 Hz Gain 4.5 dB Q 0.70",
    "Filter 1: OFF PK Fc 12000 Hz Gain -8.25 dB Q 6",
    "Filter 1: ON PK Fc 1000 Hz Gain 3 dB BW Oct 2",
    "Filter 1: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.9",
    "Filter 1: ON LS Fc 60 Hz Gain -7 dB",
    "Filter 1: ON LSC 9dB Fc 200 Hz Gain 6 dB",
    "Filter 1: ON HSC Fc 8000 Hz Gain -4 dB Q 0.6",
    "Filter 1: ON HS 6dB Fc 3000 Hz Gain 2.5 dB",
    "Filter 1: ON LS 6dB Fc 300 Hz Gain -3 dB",
    "Filter 1: ON LPQ Fc 15000 Hz Q 1.3",
    "Filter 1: ON HPQ Fc 25 Hz Q 0.5",
    "Filter 1: ON NO Fc 50 Hz Q 20",
    "Filter 1: ON AP Fc 700 Hz Q 0.9",
};

TEST(PeqRoundTrip, TextToPresetToTextKeepsEveryFilter) {
    for (const char* line : kFilterLines) {
        for (const char* channel : {"", "Channel: R\n"}) {
            SCOPED_TRACE(std::string(channel) + line);
            const std::string text = std::string("Preamp: -3.5 dB\n") + channel + line + "\n";
            const Import in = importText(text);
            ASSERT_TRUE(in.errors.empty()) << in.errors[0].message;
            const Export out = exportText(in.values, "");
            ASSERT_TRUE(out.leftOut.empty()) << out.leftOut[0];
            const Text back = readText(out.text);
            ASSERT_TRUE(back.errors.empty()) << out.text;
            ASSERT_EQ(back.filters.size(), 1u) << out.text;
            const Filter& a = in.mapped[0];
            const Filter& b = back.filters[0];
            EXPECT_DOUBLE_EQ(back.preampDb, -3.5);
            EXPECT_EQ(b.type, a.type);
            EXPECT_EQ(b.on, a.on);
            EXPECT_EQ(b.groups, a.groups);
            EXPECT_NEAR(b.frequency, a.frequency, a.frequency * 2e-5);
            EXPECT_NEAR(b.gainDb, a.gainDb, 2e-5);
            EXPECT_EQ(b.slopeDb == 6.0, a.slopeDb == 6.0);  // first-order shelves stay first-order
            if (a.slopeDb != 6.0) {
                EXPECT_NEAR(analogueQ(b), analogueQ(a), analogueQ(a) * 2e-5);
            }
        }
    }
}

// Real band values written into a new instance's values.
struct BandSpec {
    int state, type, subtype;
    double gain, frequency, q, slope;
    int groups;
};

PresetValues presetOf(std::initializer_list<BandSpec> bands, double scaleDb = 18.0) {
    PresetValues v = defaultValues();
    v[kScale] = staticNormalisedOf(kScale, scaleDb);
    v[kGain] = staticNormalisedOf(kGain, -4.0);
    v[kMsState] = staticNormalisedOf(kMsState, 0.0);
    int b = 0;
    for (const BandSpec& s : bands) {
        const double fields[kParamsPerBand] = {double(s.state), double(s.groups), double(s.type), double(s.subtype),
                                               s.gain / scaleDb, s.frequency, s.q, 0.0, s.slope, 0.0};
        for (int f = 0; f < kParamsPerBand; ++f) v[bandParam(b, f)] = staticNormalisedOf(bandParam(b, f), fields[f]);
        ++b;
    }
    return v;
}

double realOf(const PresetValues& v, int index) { return staticRealOf(index, v[index]); }

TEST(PeqRoundTrip, PresetToTextToPresetKeepsTheBands) {
    // Types 1 peak, 2 HPF, 3 low shelf, 4 high shelf, 5 LPF, 6 notch; subtypes from 1.
    const PresetValues original = presetOf({
        {2, 1, 1, 4.5, 105, 0.7, 18, 255},    // peak "Kes"
        {1, 1, 1, -6, 3000, 4, 18, 255},      // bypassed
        {2, 3, 1, 5, 90, 0.8, 18, 128},       // low shelf "Kes", left only
        {2, 4, 7, -3, 6000, 0.7, 18, 64},     // high shelf "First Order", right only
        {2, 2, 1, 0, 25, 0.6, 12, 255},       // high-pass "Kes" 12 dB/oct
        {2, 5, 9, 0, 800, 1.1, 12, 255},      // low-pass family "Allpass": all-pass
        {2, 6, 1, 0, 60, 15, 18, 255},        // notch
    }, 24.0);
    const Export text = exportText(original, "Round trip");
    ASSERT_TRUE(text.leftOut.empty()) << text.leftOut[0];
    const Import back = importText(text.text);
    ASSERT_TRUE(back.errors.empty()) << back.errors[0].message;
    EXPECT_NEAR(realOf(back.values, kGain), -4.0, 1e-4);
    for (int b = 0; b < 7; ++b) {
        SCOPED_TRACE("band " + std::to_string(b + 1));
        for (int field : {kBandState, kBandGroups, kBandType, kBandSubtype})
            EXPECT_EQ(std::lround(realOf(back.values, bandParam(b, field))), std::lround(realOf(original, bandParam(b, field))));
        const int type = std::lround(realOf(original, bandParam(b, kBandType)));
        const double gainBack = realOf(back.values, bandParam(b, kBandGain)) * realOf(back.values, kScale);
        const double gainOriginal = realOf(original, bandParam(b, kBandGain)) * realOf(original, kScale);
        if (type == 1 || type == 3 || type == 4) {
            EXPECT_NEAR(gainBack, gainOriginal, 1e-4);
        }
        const double f = realOf(original, bandParam(b, kBandFrequency));
        EXPECT_NEAR(realOf(back.values, bandParam(b, kBandFrequency)), f, f * 1e-4);
        if (std::lround(realOf(original, bandParam(b, kBandSubtype))) != 7) {  // a first-order shelf has no Q
            const double q = realOf(original, bandParam(b, kBandQ));
            EXPECT_NEAR(realOf(back.values, bandParam(b, kBandQ)), q, q * 1e-3);
        }
        if (type == 2 || type == 5) {
            EXPECT_EQ(std::lround(realOf(back.values, bandParam(b, kBandSlope))), 12);
        }
    }
    EXPECT_EQ(std::lround(realOf(back.values, bandParam(7, kBandState))), 0);  // nothing beyond
}

TEST(PeqRoundTrip, PerChannelPreampsComeBackOnTheirChannels) {
    const Import in = importText("Preamp: -1 dB\nChannel: L\nPreamp: -6 dB\nFilter 1: ON PK Fc 1000 Hz Gain 3 dB Q 1\n"
                                 "Channel: R\nPreamp: -2 dB\nFilter 2: ON PK Fc 2000 Hz Gain 3 dB Q 1\n");
    ASSERT_TRUE(in.errors.empty());
    EXPECT_DOUBLE_EQ(in.channelPreampDb[0], -7.0);
    EXPECT_DOUBLE_EQ(in.channelPreampDb[1], -3.0);
    EXPECT_DOUBLE_EQ(in.channelPreampDb[2], -1.0);
    const Export text = exportText(in.values, "");
    ASSERT_TRUE(text.leftOut.empty()) << text.leftOut[0];
    const Import back = importText(text.text);
    ASSERT_TRUE(back.errors.empty()) << back.errors[0].message << "\n" << text.text;
    for (int c = 0; c < kMaxChannels; ++c) EXPECT_NEAR(back.channelPreampDb[c], in.channelPreampDb[c], 1e-4) << c;
    ASSERT_EQ(back.mapped.size(), 2u);
    EXPECT_EQ(back.mapped[0].groups, kLeftGroup);
    EXPECT_EQ(back.mapped[1].groups, kRightGroup);
}

TEST(PeqRoundTrip, BandsWithoutATextbookFilterAreLeftOutAndNamed) {
    struct Case {
        BandSpec band;
        int parallel, msState;
        int filters;            // Filter lines written (0: left out)
        const char* leftOut;    // part of the message, when left out
    };
    const Case cases[] = {
        {{2, 5, 3, 0, 5000, 0.7, 24, 255}, 0, 0, 2, nullptr},         // Butterworth 24 dB/oct: two LPQ
        {{2, 2, 1, 0, 40, 0.7, 18, 255}, 0, 0, 0, "Band1 (HPF Kes)"},  // order 3: a first-order section
        {{2, 5, 8, 0, 5000, 1, 12, 255}, 0, 0, 0, "Band1 (LPF Elliptic)"},
        {{2, 3, 8, 6, 300, 0.7, 18, 255}, 0, 0, 0, "Band1 (LSh Tilt)"},
        {{2, 1, 13, 6, 1000, 1, 18, 255}, 0, 0, 0, "Band1 (Peak Butterworth)"},
        {{2, 1, 13, 0, 1000, 1, 18, 255}, 0, 0, 2, nullptr},          // at 0 dB its sections are peaks too
        {{2, 1, 12, 6, 1000, 1, 18, 255}, 0, 0, 2, nullptr},          // "FlatTop" unsoftened: two equal peaks
        {{2, 1, 1, 6, 1000, 1, 18, 255}, 1, 0, 0, "summed in parallel"},
        {{2, 3, 1, 6, 100, 0.7, 18, 255}, 1, 0, 1, nullptr},          // shelves stay in series in "Peaks"
        {{2, 1, 1, 6, 1000, 1, 18, 128}, 0, 8, 0, "the mid signal alone"},
        {{2, 1, 1, 6, 1000, 1, 18, 192}, 0, 8, 1, nullptr},           // mid and side alike: both channels
    };
    for (const Case& c : cases) {
        PresetValues v = presetOf({c.band});
        v[kParallel] = staticNormalisedOf(kParallel, c.parallel);
        v[kMsState] = staticNormalisedOf(kMsState, c.msState);
        const Export e = exportText(v, "");
        SCOPED_TRACE(e.text);
        EXPECT_EQ(e.filters, c.filters);
        if (c.leftOut) {
            ASSERT_EQ(e.leftOut.size(), 1u);
            EXPECT_NE(e.leftOut[0].find(c.leftOut), std::string::npos) << e.leftOut[0];
        } else {
            EXPECT_TRUE(e.leftOut.empty());
            EXPECT_TRUE(readText(e.text).errors.empty());
        }
    }
}

// Wide filters just below Nyquist: the textbook biquad's bandwidth term grows
// without bound there, and a report that silently skipped non-numbers would
// claim "+0 dB at 0 Hz".
TEST(PeqFidelity, FiltersNearNyquistGetAReportOnTheAudibleGrid) {
    for (const char* line : {"Filter 1: ON PK Fc 22000 Hz Gain 3 dB BW Oct 6",
                             "Filter 1: ON PK Fc 21000 Hz Gain -6 dB BW Oct 5",
                             "Filter 1: ON NO Fc 22000 Hz BW Oct 6", "Filter 1: ON HPQ Fc 22000 Hz Q 0.1"}) {
        SCOPED_TRACE(line);
        const Import im = importText(line);
        ASSERT_TRUE(im.usable(false)) << im.errors[0].message;
        for (const Fidelity& f : fidelityReport(im)) {
            EXPECT_TRUE(std::isfinite(f.differenceDb));
            EXPECT_GE(f.atHz, 20.0);
            EXPECT_LE(f.atHz, 20000.0 * (1 + 1e-12));
        }
    }
}

}  // namespace
}  // namespace hm::peq
