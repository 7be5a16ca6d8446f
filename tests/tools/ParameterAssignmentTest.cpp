// NAME=VALUE parsing. Expected normalised values come from the parameter
// model's published conversion formulas, worked out here by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tools/harmoniform/ParameterAssignment.h"

namespace hm::tool {
namespace {

double logNorm(double v, double lo, double hi) { return std::log(v / lo) / std::log(hi / lo); }
const double kQMin = static_cast<double>(0.1f);  // Q's minimum is the float nearest 0.1

struct Good {
    const char* text;
    int index;
    double normalised;
    double scaleDb = 18.0;
    double shift = 1.0;
    bool midSide = true;
};

TEST(ParameterAssignment, ValuesConvertLikeTheParameterModel) {
    const Good cases[] = {
        {"kBand1Gain=6dB", 50, (6.0 / 18.0 + 1.0) / 2.0},
        {"Band1 Gain=-18dB", 50, 0.0},
        {"Band1 Gain=1", 50, (1.0 / 18.0 + 1.0) / 2.0},   // a bare number is the unit a host shows
        {"Band1 Gain=6 dB", 50, (6.0 / 18.0 + 1.0) / 2.0},
        {"Band1 Gain=0.75n", 50, 0.75},                     // normalised only with its suffix
        {"Band1 Q=1", 52, logNorm(1, kQMin, 50)},
        {"Band1 Frequency=1000", 51, logNorm(1000, 10, 22000)},
        {"Band1 Frequency=1 kHz", 51, logNorm(1000, 10, 22000)},
        {"Band1 Frequency=2.5 k", 51, logNorm(2500, 10, 22000)},
        {"kIRLength=8192", 7, 3.0 / 9.0},
        {"kIRPad=2", 11, 1.0 / 4.0},
        {"kDPlusLen=0", 12, 0.0},
        {"kGain=-6", 1, 30.0 / 72.0},
        {"Channel 1 Level=-inf", 14, 0.0},
        {"Channel 1 Level=0", 14, 0.5},
        {"Band1 Shift=25", 53, 0.625},
        {"Band1 Slope=12", 54, 6.0 / 43.0},
        {"Band1 State=Bypass", 46, 1.0 / 3.0},
        {"Band1 State=Off", 46, 0.0},
        {"Band1 Type=LowShelf", 48, 2.0 / 6.0},
        {"Band1 Type=HSh", 48, 3.0 / 6.0},
        {"Band1 Type=LPF", 48, 4.0 / 6.0},
        {"Mode=IIR", 4, 0.0},
        {"Band1 Groups=Mid", 47, 128.0 / 256.0},
        {"Band1 Groups=Side", 47, 64.0 / 256.0},
        {"Band1 Groups=Left", 47, 128.0 / 256.0, 18.0, 1.0, false},
        {"Band1 Groups=Right", 47, 64.0 / 256.0, 18.0, 1.0, false},
        {"Band1 Groups=Stereo", 47, 192.0 / 256.0},
        {"Band1 Groups=All", 47, 255.0 / 256.0},
        {"Band1 Groups=64", 47, 64.0 / 256.0},
        {"MS State=Left/Right", 13, 0.0},
        {"MS State=Mid/Side", 13, 8.0 / 16.0},
        {"46=On", 46, 2.0 / 3.0},                            // the index info prints
        {"0=On", 0, 1.0},
        {"Band1 Gain=6dB", 50, 0.75, 12.0},  // Scale 12: +6 dB is half the range
        {"Band1 Frequency=1k5", 51, logNorm(1500, 10, 22000)},
        {"Band1 Frequency=1.5kHz", 51, logNorm(1500, 10, 22000)},
        {"band1 frequency=440Hz", 51, logNorm(440, 10, 22000)},
        {"kBand1Frequency=2k", 51, logNorm(1000, 10, 22000), 18.0, 2.0},  // Shift 200 %
        {"Band1 Q=2Q", 52, logNorm(2, kQMin, 50)},
        {"Band1 Type=Peak", 48, 0.0},
        {"Band1 Type=HPF", 48, 1.0 / 6.0},
        {"Band1 Type=high shelf", 48, 3.0 / 6.0},
        {"Band1 Type=Notch", 48, 5.0 / 6.0},
        {"Band1 State=On", 46, 2.0 / 3.0},
        {"Band1 State=Byp", 46, 1.0 / 3.0},
        {"kBand1State=2", 46, 2.0 / 3.0},
        {"Band1 Subtype=3", 49, 2.0 / 32.0},
        {"Band1 Slope=18dB", 54, 12.0 / 43.0},
        {"Band1 Slope=48dB", 54, 42.0 / 43.0},
        {"Band2 Shift=-50%", 63, 0.25},
        {"kBypass=On", 0, 1.0},
        {"Bypass=off", 0, 0.0},
        {"Channel 1 Phase=Inv", 15, 1.0},
        {"kGain=-6dB", 1, 30.0 / 72.0},
        {"Scale=12dB", 2, 48.0 / 72.0},
        {"kFShift=150%", 3, logNorm(150, 50, 200)},
        {"Channel 2 Level=-6dB", 18, std::cbrt(std::pow(10.0, -6.0 / 20.0) / 8.0)},
        {"kMode=FIR", 4, 0.5},
        {"kParallel=Peaks", 5, 1.0 / 3.0},
        {"kIRLength=8192", 7, 3.0 / 9.0},
        {"kIRLength=16384Samples", 7, 4.0 / 9.0},
        {"kIRPhase=Linear", 10, 0.0},
        {"kIRPhase=Zero-latency Analogue", 10, 2.0 / 8.0},
        {"kIRWindow=Hann", 8, 1.0 / 16.0},
        {"kIRPad=x4", 11, 2.0 / 4.0},
        {"kDPlusLen=64", 12, 3.0 / 7.0},
        {"A/B=C", 6, 2.0 / 8.0},
        {"Band32 Phase=0.5n", 365, 0.5},
        {"Band32 Phase=50", 365, 0.75},
    };
    for (const Good& c : cases) {
        SCOPED_TRACE(c.text);
        ParameterContext context;
        context.scaleDb = c.scaleDb;
        context.shiftFactor = c.shift;
        context.firstPairMidSide = c.midSide;
        Assignment a;
        std::string error;
        ASSERT_TRUE(parseAssignment(c.text, context, a, error)) << error;
        EXPECT_EQ(a.index, c.index);
        EXPECT_NEAR(a.normalised, c.normalised, 1e-6);
    }
}

struct Bad {
    const char* text;
    const char* mentions;  // the message must contain this
};

TEST(ParameterAssignment, UnfitValuesAreRefusedWithAReason) {
    const Bad cases[] = {
        {"Band1 Gain=19", "-18..18 dB"},         // a bare number is in dB: refused, not clamped
        {"Band1 Gain=1.5n", "0..1"},             // normalised out of range
        {"Band1 Gain=6Hz", "dB"},                // wrong unit
        {"Band1 Gain=24dB", "-18..18 dB"},       // beyond Scale
        {"Band1 Frequency=5Hz", "10..22000 Hz"}, // below the range
        {"Band1 Frequency=30kHz", "outside"},
        {"Band1 Slope=20dB", "steps of 6"},
        {"Band1 Type=Shelf", "Peak"},            // lists the choices
        {"Band1 Subtype=40", "outside"},
        {"Band1 Subtype=2.5", "whole numbers"},
        {"Band1 Q=60", "0.1..50 Q"},
        {"Band1 Q=0.05", "0.1..50 Q"},
        {"kIRLength=3", "1024..262144 samples"},
        {"kIRPad=3", "1..8"},
        {"kGain=40", "-36..36 dB"},
        {"kFShift=20", "50..200 %"},
        {"Channel 1 Level=24", "-inf..18.1 dB"},
        {"Band1 Groups=Left", "Mid or Side"},    // the first pair is mid/side by default
        {"Band1 Groups=300", "0..255"},
        {"Band1 State=Maybe", "Off, Bypass, On"},
        {"366=On", "unknown parameter"},
        {"kIRLength=1000Samples", "powers of two"},
        {"kBypass=maybe", "cannot read"},
        {"Band1 Gain=", "no value"},
        {"Band1 Gain 6dB", "NAME=VALUE"},
        {"Band1 Q=-1Q", "outside"},
        {"Band1 Gain=nan", "cannot read"},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.text);
        Assignment a;
        std::string error;
        EXPECT_FALSE(parseAssignment(c.text, {}, a, error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
}

TEST(ParameterAssignment, BandGainInDecibelsNeedsANonZeroScale) {
    ParameterContext context;
    context.scaleDb = 0.0;
    Assignment a;
    std::string error;
    EXPECT_FALSE(parseAssignment("Band1 Gain=3dB", context, a, error));
    EXPECT_NE(error.find("0.5n"), std::string::npos) << error;
    EXPECT_TRUE(parseAssignment("Band1 Gain=0.5n", context, a, error));
}

TEST(ParameterAssignment, BothNameFormsFindTheSameParameter) {
    const std::pair<const char*, int> names[] = {
        {"kBypass", 0},          {"Bypass", 0},        {"kMsState", 13},          {"MS State", 13},
        {"kChannel8Solo", 45},   {"Channel 8 Solo", 45}, {"kBand1State", 46},     {"Band1 State", 46},
        {"BAND1STATE", 46},      {"kBand32Phase", 365}, {"Band32 Phase", 365},    {"D+Len", 12},
    };
    for (const auto& [name, index] : names) EXPECT_EQ(findParameter(name), index) << name;
    for (const char* none : {"", "kBand33Gain", "Band0 Gain", "kGUIEQGraph", "kNumParams"})
        EXPECT_EQ(findParameter(none), -1) << none;
}

TEST(ParameterAssignment, UnknownNamesListTheNearestOnes) {
    Assignment a;
    std::string error;
    EXPECT_FALSE(parseAssignment("Band1 Gian=6dB", {}, a, error));
    const std::size_t listed = error.find("nearest");
    ASSERT_NE(listed, std::string::npos) << error;
    // The closest spelling comes first.
    EXPECT_NE(error.find("kBand1Gain (Band1 Gain)", listed), std::string::npos) << error;
    EXPECT_LT(error.find("kBand1Gain"), error.find("kBand2Gain")) << error;

    const auto near = nearestParameterNames("kBand12Frequncy", 3);
    ASSERT_EQ(near.size(), 3u);
    EXPECT_EQ(near[0], "kBand12Frequency (Band12 Frequency)");
}

}  // namespace
}  // namespace hm::tool
