#include <gtest/gtest.h>

#include <string>

#include "core/params/Enumeration.h"
#include "core/params/ParamIds.h"
#include "core/params/ParamTable.h"

namespace hm {
namespace {

TEST(Enumeration, ParserFollowsCountersAndIgnoresWhitespace) {
    const auto e = parseEnumeration(" a=3,b ,\tc, d=10,e,,f=700 ");
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0], (EnumerationEntry{"a", 3}));
    EXPECT_EQ(e[1], (EnumerationEntry{"b", 4}));
    EXPECT_EQ(e[2], (EnumerationEntry{"c", 5}));
    EXPECT_EQ(e[3], (EnumerationEntry{"d", 10}));
    EXPECT_EQ(e[4], (EnumerationEntry{"e", 11}));
    EXPECT_EQ(e[5], (EnumerationEntry{"f", 700}));
}

TEST(Enumeration, EveryParameterNameMapsToItsIndex) {
    const char* globals[] = {"kBypass", "kGain",     "kScale",         "kFShift",  "kMode",
                             "kParallel", "kABBank", "kIRLength",      "kIRWindow", "kIRWindowParam",
                             "kIRPhase",  "kIRPad",  "kDPlusLen",      "kMsState"};
    for (int i = 0; i < kNumGlobals; ++i) EXPECT_EQ(enumValueOf(globals[i]), i) << globals[i];
    const char* channelFields[] = {"Level", "Phase", "Mute", "Solo"};
    for (int c = 0; c < kMaxChannels; ++c)
        for (int f = 0; f < 4; ++f) {
            const std::string name = "kChannel" + std::to_string(c + 1) + channelFields[f];
            EXPECT_EQ(enumValueOf(name), channelParam(c, f)) << name;
        }
    const char* bandFields[] = {"State", "Groups", "Type", "Subtype", "Gain",
                                "Frequency", "Q", "Shift", "Slope", "Phase"};
    for (int b = 0; b < kNumBands; ++b)
        for (int f = 0; f < 10; ++f) {
            const std::string name = "kBand" + std::to_string(b + 1) + bandFields[f];
            EXPECT_EQ(enumValueOf(name), bandParam(b, f)) << name;
            EXPECT_EQ(std::string(enumNameOf(bandParam(b, f))), name);
        }
    EXPECT_EQ(enumValueOf("kNumParams"), 366);
}

TEST(Enumeration, EditorTagsHaveTheirFixedValues) {
    EXPECT_EQ(enumValueOf("kGUIEQGraph"), 500);
    EXPECT_EQ(enumValueOf("kGUIPresetMenu"), 501);
    EXPECT_EQ(enumValueOf("kGUIGroupNamesChanged"), 543);
    EXPECT_EQ(enumValueOf("kGUIInstancesChanged"), 547);
    EXPECT_EQ(enumValueOf("kGUIChannel1Meter"), 569);
    EXPECT_EQ(enumValueOf("kGUIChannel8Meter"), 576);
    EXPECT_EQ(enumValueOf("kGUISelectedBand"), 700);
    EXPECT_EQ(enumValueOf("kNumPrograms"), 20);
    EXPECT_EQ(enumValueOf("kgui eqgraph"), -1);
    EXPECT_EQ(enumValueOf("kguieqgraph"), -1);  // case-sensitive
    // Tags the editor addresses by offset must be consecutive.
    EXPECT_EQ(enumValueOf("kGUIPresetDSP"), enumValueOf("kGUIPresetEQ") + 1);
    EXPECT_EQ(enumValueOf("kGUIPresetUI"), enumValueOf("kGUIPresetEQ") + 2);
    EXPECT_EQ(enumValueOf("kGUIChannel78Link"), enumValueOf("kGUIChannel12Link") + 3);
    // The C++ constants and the text agree for every tag.
    for (int v = 500; v <= 576; ++v) {
        const char* name = enumNameOf(v);
        ASSERT_NE(name, nullptr) << v;
        EXPECT_EQ(std::string(name).rfind("kGUI", 0), 0u) << name;
    }
    // Values named twice give their first name (kNumPrograms = 20 is also a
    // parameter index); values beyond the list have none.
    EXPECT_STRNE(enumNameOf(20), "kNumPrograms");
    EXPECT_EQ(enumValueOf(enumNameOf(20)), 20);
    EXPECT_EQ(enumNameOf(-1), nullptr);
    EXPECT_EQ(enumNameOf(1 << 20), nullptr);
    EXPECT_EQ(enumValueOf("kGUIUseMS1"), kGUIUseMS1);
    EXPECT_EQ(enumValueOf("kGUIWizardOpen"), kGUIWizardOpen);
    EXPECT_EQ(enumValueOf("kGUIMasterMeter2"), kGUIMasterMeter2);
}

TEST(ParamTable, NamesFollowTheirPatterns) {
    const ParamTable& t = staticParamTable();
    EXPECT_STREQ(t[kMsState].name, "MS State");
    EXPECT_STREQ(t[channelParam(7, kChannelSolo)].name, "Channel 8 Solo");
    EXPECT_STREQ(t[bandParam(0, kBandFrequency)].name, "Band1 Frequency");
    EXPECT_STREQ(t[bandParam(31, kBandPhase)].name, "Band32 Phase");
    EXPECT_EQ(bandOf(46), 0);
    EXPECT_EQ(bandOf(365), 31);
    EXPECT_EQ(bandOf(45), -1);
    EXPECT_EQ(bandFieldOf(365), 9);
    EXPECT_EQ(bandFieldOf(366), -1);
    EXPECT_TRUE(isDspPartParam(kIRLength));
    EXPECT_FALSE(isDspPartParam(kGain));
}

}  // namespace
}  // namespace hm
