// render --automate: lanes read as written, and where processing calls end and
// which values are set before them.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "core/params/ParamIds.h"
#include "tools/harmoniform/Automation.h"

namespace hm::test {
namespace {

// Band gains at the default Scale (18 dB) and the output Gain (-36..36 dB), as a
// host's normalised values: the linear conversion, worked out by hand.
constexpr float kBandPlus9 = 0.75f, kBandMinus9 = 0.25f, kBandPlus18 = 1.0f, kBandZero = 0.5f;
constexpr float kGainMinus9 = 0.375f, kGainPlus9 = 0.625f;

struct Form {
    const char* lane;
    int rate;
    std::vector<tool::AutomationPoint> expected;
};

TEST(AutomationLane, TimesAndValuesReadAsWritten) {
    const int gain = bandParam(0, kBandGain);
    const Form forms[] = {
        {"Band1 Gain=+9dB@0s,-9dB@250ms,~+18dB@48000smp, 0 dB @ 1.5 s", 48000,
         {{0, kBandPlus9, false}, {12000, kBandMinus9, false}, {48000, kBandPlus18, true}, {72000, kBandZero, false}}},
        // Seconds go to the nearest sample (44.1 and 48.51 here); equal times are
        // allowed, also written in other units.
        {"kBand1Gain=0.25n@1ms,0.75n@1.1ms,0.5n@0.0011S,0.125n@0.1s,0.375n@100ms", 44100,
         {{44, 0.25f, false}, {49, 0.75f, false}, {49, 0.5f, false}, {4410, 0.125f, false}, {4410, 0.375f, false}}},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.lane);
        tool::LaneText text;
        std::string error;
        ASSERT_TRUE(tool::parseLane(f.lane, text, error)) << error;
        EXPECT_EQ(text.index, gain);
        tool::AutomationLane lane;
        ASSERT_TRUE(tool::resolveLane(text, tool::ParameterContext{}, f.rate, lane, error)) << error;
        ASSERT_EQ(lane.points.size(), f.expected.size());
        for (std::size_t i = 0; i < f.expected.size(); ++i) {
            EXPECT_EQ(lane.points[i].sample, f.expected[i].sample) << i;
            EXPECT_EQ(lane.points[i].normalised, f.expected[i].normalised) << i;
            EXPECT_EQ(lane.points[i].ramp, f.expected[i].ramp) << i;
        }
    }
}

TEST(AutomationLane, CallsEndAtPointsAndRampsMoveAtEveryCall) {
    // Nothing before 100; a ramp from 0.25 at 100 to 0.75 at 300; a step at 700.
    tool::Automation automation({{kGain, {{100, 0.25f, false}, {300, 0.75f, true}, {700, 0.5f, false}}}});
    struct Set {
        std::int64_t position;
        float value;
    };
    std::vector<Set> sets;
    std::vector<std::int64_t> starts;
    for (std::int64_t p = 0; p < 1000; p += automation.framesUntilNextPoint(p, 64)) {
        starts.push_back(p);
        automation.apply(p, [&](int index, float value) {
            EXPECT_EQ(index, kGain);
            sets.push_back({p, value});
        });
    }
    // Calls every 64 frames from each point on.
    const std::vector<std::int64_t> expectedStarts = {0,   64,  100, 164, 228, 292, 300, 364, 428, 492,
                                                      556, 620, 684, 700, 764, 828, 892, 956};
    EXPECT_EQ(starts, expectedStarts);
    // 0.25 + 0.5 x 64k / 200 on the way; nothing is set again while the value stays.
    const Set expectedSets[] = {{100, 0.25f}, {164, 0.41f}, {228, 0.57f}, {292, 0.73f}, {300, 0.75f}, {700, 0.5f}};
    ASSERT_EQ(sets.size(), std::size(expectedSets));
    for (std::size_t i = 0; i < sets.size(); ++i) {
        EXPECT_EQ(sets[i].position, expectedSets[i].position) << i;
        EXPECT_FLOAT_EQ(sets[i].value, expectedSets[i].value) << i;
    }
}

}  // namespace
}  // namespace hm::test
