// Conversion kinds and display texts of the parameter model.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/params/Conversion.h"
#include "core/params/ParamFormat.h"
#include "core/params/ParamTable.h"

namespace hm {
namespace {

double toReal(int index, double x) {
    const ParamRecord& r = staticParamTable()[index];
    return normalisedToRealBase(r.kind, r.minimum, r.maximum, x);
}
double toNorm(int index, double v) {
    const ParamRecord& r = staticParamTable()[index];
    return realToNormalisedBase(r.kind, r.minimum, r.maximum, v);
}

TEST(Conversion, EveryIntegerValueOfEveryParameterRoundTrips) {
    const ParamTable& t = staticParamTable();
    for (int i = 0; i < kNumParams; ++i) {
        const ParamRecord& r = t[i];
        if (r.kind != kKindInteger && r.kind != kKindSwitch && r.kind != kKindSteps6) continue;
        const int step = r.kind == kKindSteps6 ? 6 : 1;
        for (int v = static_cast<int>(r.minimum); v <= static_cast<int>(r.maximum); v += step) {
            // Stored as float, exactly as hosts and documents keep the value.
            const float x = static_cast<float>(toNorm(i, v));
            EXPECT_EQ(toReal(i, x), v) << r.name << " value " << v;
        }
    }
}

TEST(Conversion, BandTypeAndSlopeSteps) {
    const int type = bandParam(0, kBandType), slope = bandParam(0, kBandSlope);
    EXPECT_EQ(toReal(type, 0.0), 1);
    EXPECT_EQ(toReal(type, 1.0 / 6.0), 2);
    EXPECT_EQ(toReal(type, 5.0 / 6.0), 6);
    EXPECT_EQ(toReal(type, 1.0), 6);
    EXPECT_DOUBLE_EQ(toNorm(type, 4), 0.5);
    EXPECT_EQ(toReal(slope, 0.0), 6);
    EXPECT_EQ(toReal(slope, 12.0 / 43.0), 18);
    EXPECT_EQ(toReal(slope, 1.0), 48);
    for (double x = 0.0; x <= 1.0; x += 0.013) EXPECT_EQ(std::fmod(toReal(slope, x), 6.0), 0.0) << x;
}

TEST(Conversion, ContinuousKindsAgainstTheirFormulas) {
    struct Case {
        int kind;
        double lo, hi, x, real;
    };
    const Case cases[] = {
        {kKindLinear, -36, 36, 0.75, 18},
        {kKindLog, 10, 22000, std::log(8.0) / std::log(2200.0), 80},
        {kKindLog, 50, 200, 0.5, 100},
        {kKindSquare, 0, 4, 0.5, 1},
        {kKindCube, 0, 8, 0.5, 1},
        {kKindBipolarCube, -1, 1, 0.5 + 0.5 * std::cbrt(0.5), 0.5},
        {kKindBipolarCube, -1, 1, 0.5 - 0.5 * std::cbrt(0.5), -0.5},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(normalisedToRealBase(c.kind, c.lo, c.hi, c.x), c.real, 1e-9) << c.kind;
        EXPECT_NEAR(realToNormalisedBase(c.kind, c.lo, c.hi, c.real), c.x, 1e-9) << c.kind;
    }
    // Clamping on both sides, and no value for an unknown kind.
    EXPECT_EQ(normalisedToRealBase(kKindLinear, -36, 36, 2.0), 36);
    EXPECT_EQ(realToNormalisedBase(kKindLinear, -36, 36, -100), 0.0);
    EXPECT_EQ(normalisedToRealBase(42, 0, 1, 0.5), 0.0);
    EXPECT_EQ(normalisedToRealBase(kKindLinear, -36, 36, std::nan("")), -36);
    // Octave steps: floor(2^floor(x log2(hi/lo)) lo).
    EXPECT_EQ(normalisedToRealBase(kKindOctaves, 16, 512, 0.5), 64);
}

TEST(Conversion, StepCountsFollowTheKinds) {
    const ParamTable& t = staticParamTable();
    EXPECT_EQ(t[bandParam(0, kBandSlope)].kind, kKindSteps6);
    EXPECT_EQ(t[kBypass].kind, kKindSwitch);
    EXPECT_EQ(t[bandParam(3, kBandGroups)].kind, kKindInteger);
}

std::string display(int index, double real, NumberFormat format, int flags = 0) {
    char text[32] = {};
    formatParameterText(index, staticParamTable()[index], real, flags, format, true, text, sizeof(text));
    return text;
}

TEST(Display, TextsInBothNumberFormats) {
    const int gain = bandParam(2, kBandGain), freq = bandParam(2, kBandFrequency);
    struct Case {
        int index;
        double real;
        const char* precise;
        const char* simple;
    };
    const Case cases[] = {
        {gain, 9.0, "9.00 dB", "9.0 dB"},
        {gain, -3.456, "-3.46 dB", "-3.5 dB"},
        {freq, 30000.0, "30000 Hz", "30.00 kHz"},
        {freq, 999.94, "1000 Hz", "999.9 Hz"},
        {kGain, 1.5, "1.50 dB", "1.5 dB"},
        {kFShift, 150.0, "150 %", "150 %"},
        {bandParam(0, kBandQ), 0.707, "0.71 Q", "0.71 Q"},
        {bandParam(0, kBandSlope), 18, "18 dB", "18 dB"},
        {bandParam(0, kBandState), 2, "2 Off/Byp/On", "2 Off/Byp/On"},
        {channelParam(0, kChannelLevel), 1.0, "0.0", "0.0"},
        {channelParam(0, kChannelLevel), 0.0, "-", "-"},
        {channelParam(0, kChannelLevel), 2.0, "6.0", "6.0"},
        {kIRLength, 8, "262144", "262144"},
        {kDPlusLen, 0, "Off", "Off"},
        {kDPlusLen, 6, "512", "512"},
        {kIRPad, 3, "8", "8"},
        {kBypass, 1, "On", "On"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(display(c.index, c.real, NumberFormat::Precise), c.precise) << c.index;
        EXPECT_EQ(display(c.index, c.real, NumberFormat::Simple), c.simple) << c.index;
    }
}

TEST(Display, NoteNamesOfFrequencies) {
    struct Case {
        double hz;
        const char* text;
    };
    const Case cases[] = {{440.0, "A4+0"}, {261.63, "C4+0"}, {450.0, "A4+39"},
                          {27.5, "A0+0"},  {4186.01, "C8+0"}, {466.16, "A#4+0"}};
    for (const Case& c : cases) {
        EXPECT_EQ(display(bandParam(0, kBandFrequency), c.hz, NumberFormat::Precise, kFormatNoteNames), c.text)
            << c.hz;
    }
}

}  // namespace
}  // namespace hm
