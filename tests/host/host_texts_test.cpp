// The texts a host shows for every parameter: getParameterDisplay names the
// value, getParameterLabel carries a unit or nothing, and effString2Parameter
// takes back what the display showed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "tests/host/HostFixture.h"

namespace hm::test {
namespace {

constexpr int kNumParams = 366;
constexpr int kFirstBand = 46;
// Probe points over the normalised range, enough to meet every value of the
// widest choice (Groups, 256 values) in the sweep below.
constexpr int kSweep = 512;

int bandField(int index) { return index >= kFirstBand ? (index - kFirstBand) % 10 : -1; }
int channelField(int index) { return index >= 14 && index < kFirstBand ? (index - 14) % 4 : -1; }

// Parameters whose values are names rather than numbers: the switches and
// enumerations (IRLength is a length in samples, IRWindowParam a number).
bool isChoice(int index) {
    if (index == 0 || (index >= 4 && index <= 6) || index == 8 || index == 10 || index == 11 || index == 12 ||
        index == 13)
        return true;
    if (channelField(index) >= 1) return true;
    const int field = bandField(index);
    return field >= 0 && field <= 3;
}

bool hasLetter(const std::string& text) {
    for (char c : text)
        if (std::isalpha(static_cast<unsigned char>(c))) return true;
    return false;
}

bool isNumber(const std::string& text) {
    if (text.empty()) return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end && *end == 0;
}

float sweepPoint(int i) { return static_cast<float>(i) / kSweep; }

// Every parameter over its whole range: a label is one unit or nothing, no
// display repeats it, choices read as names and the rest as numbers.
TEST(HostTexts, EveryParameterShowsItsUnitOnceAndChoicesAsNames) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    const std::set<std::string> units = {"", "dB", "Hz", "%", "Q", "samples"};
    for (int i = 0; i < kNumParams; ++i) {
        const std::string label = plug->parameterLabel(i);
        SCOPED_TRACE("parameter " + std::to_string(i) + " " + plug->parameterName(i) + " label '" + label + "'");
        EXPECT_TRUE(units.count(label)) << "not a unit";
        if (isChoice(i)) EXPECT_EQ(label, "") << "a choice has no unit";
        const float before = plug->getParameter(i);
        for (int k = 0; k <= kSweep; ++k) {
            plug->setParameter(i, sweepPoint(k));
            const std::string display = plug->parameterDisplay(i);
            ASSERT_EQ(plug->parameterLabel(i), label) << "the label does not follow the value";
            if (!label.empty()) ASSERT_EQ(display.find(label), std::string::npos) << display;
            if (bandField(i) == 3) {
                // Some subtypes are named by numbers ("110", "32"), but never by their position.
                const int position = static_cast<int>(1 + sweepPoint(k) * 32 + 0.00001);
                ASSERT_NE(display, std::to_string(std::min(position, 32))) << "at " << sweepPoint(k);
            } else if (isChoice(i)) {
                ASSERT_TRUE(hasLetter(display)) << "'" << display << "' at " << sweepPoint(k);
            } else if (!(channelField(i) == 0 && display == "-inf")) {
                ASSERT_TRUE(isNumber(display)) << "'" << display << "' at " << sweepPoint(k);
            }
        }
        plug->setParameter(i, before);  // a band's Subtype is read under its default Type
    }
}

TEST(HostTexts, NamesOfTheChoices) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    const auto shown = [&](int index, float normalised) {
        plug->setParameter(index, normalised);
        return plug->parameterDisplay(index);
    };
    // Integer parameters with k values sit at 0, 1/k, ..., (k-1)/k.
    EXPECT_EQ(shown(46, 0.0f), "Off");
    EXPECT_EQ(shown(46, 1.0f / 3), "Bypass");
    EXPECT_EQ(shown(46, 2.0f / 3), "On");
    EXPECT_EQ(shown(48, 0.0f), "Peak");
    EXPECT_EQ(shown(48, 1.0f / 6), "High-pass");
    EXPECT_EQ(shown(48, 5.0f / 6), "Notch");
    EXPECT_EQ(shown(4, 0.0f), "IIR");
    EXPECT_EQ(shown(4, 0.5f), "FIR");
    EXPECT_EQ(shown(8, 10.0f / 16), "Kaiser");
    EXPECT_EQ(shown(10, 0.0f), "Linear");
    EXPECT_EQ(shown(10, 2.0f / 8), "Zero-latency Analogue");
    EXPECT_EQ(shown(11, 2.0f / 4), "x4");
    EXPECT_EQ(shown(12, 0.0f), "Off");
    EXPECT_EQ(shown(12, 2.0f / 7), "32 samples");
    EXPECT_EQ(shown(13, 0.0f), "Left/Right");
    EXPECT_EQ(shown(13, 8.0f / 16), "Mid/Side");
    EXPECT_EQ(shown(6, 3.0f / 8), "D");

    // Groups name the first pair's channels as the MS State has them.
    shown(13, 0.0f);
    EXPECT_EQ(shown(47, 255.0f / 256), "All");
    EXPECT_EQ(shown(47, 0.0f), "None");
    EXPECT_EQ(shown(47, 192.0f / 256), "Left+Right");
    shown(13, 8.0f / 16);
    EXPECT_EQ(shown(47, 192.0f / 256), "Mid+Side");
    EXPECT_EQ(shown(47, 64.0f / 256), "Side");

    // A Subtype is named by its band's Type: the third subtype of a peak and of a pass filter differ.
    shown(48, 0.0f);
    EXPECT_EQ(shown(49, 2.0f / 32), "Ox1");
    shown(48, 1.0f / 6);
    EXPECT_EQ(plug->parameterDisplay(49), "Butterworth");

    // Lengths and numbers with their unit beside them.
    EXPECT_EQ(shown(7, 3.0f / 9), "8192");
    EXPECT_EQ(plug->parameterLabel(7), "samples");
    EXPECT_EQ(shown(54, 12.0f / 43), "18");
    EXPECT_EQ(plug->parameterLabel(54), "dB");
    EXPECT_EQ(shown(14, 0.0f), "-inf");
    EXPECT_EQ(shown(14, 0.5f), "0.0");
    EXPECT_EQ(plug->parameterLabel(14), "dB");
}

// A host that offers typing a value hands back what the display showed, with or
// without the unit; the value comes back exactly.
TEST(HostTexts, String2ParameterTakesBackEveryDisplayText) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    EXPECT_EQ(plug->dispatch(vst::effString2Parameter, 51, 0, nullptr), 1);
    for (int i = 0; i < kNumParams; ++i) {
        if (i == 6) continue;  // A/B switches slots: its value is the slot, not a text's
        SCOPED_TRACE("parameter " + std::to_string(i) + " " + plug->parameterName(i));
        for (int k = 0; k <= kSweep; k += 37) {
            plug->setParameter(i, sweepPoint(k));
            const std::string display = plug->parameterDisplay(i);
            const std::string label = plug->parameterLabel(i);
            for (const std::string& typed : {display, label.empty() ? display : display + " " + label}) {
                plug->setParameter(i, sweepPoint((k + kSweep / 2) % kSweep));
                std::string text = typed;
                ASSERT_EQ(plug->dispatch(vst::effString2Parameter, i, 0, text.data()), 1) << "'" << typed << "'";
                EXPECT_EQ(plug->parameterDisplay(i), display) << "typed '" << typed << "'";
            }
        }
    }
    std::string nonsense = "loud";
    EXPECT_EQ(plug->dispatch(vst::effString2Parameter, 51, 0, nonsense.data()), 0);
    std::string typed = "1.5 kHz";
    EXPECT_EQ(plug->dispatch(vst::effString2Parameter, 51, 0, typed.data()), 1);
    EXPECT_EQ(plug->parameterDisplay(51), "1500");
}

}  // namespace
}  // namespace hm::test
