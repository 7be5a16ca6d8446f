// The LV2 plug-ins sound like the VST plug-in: each of the three, set in real
// units through its ports, renders what the built Harmoniform.so renders with
// the same settings through the VST interface.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/params/ParamIds.h"
#include "tests/lv2/VstReference.h"
#include "tools/harmoniform/ParameterAssignment.h"

namespace hm::test {
namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;
constexpr int kFrames = 8192;

// One setting, once as a port value in real units and once as the harmoniform
// tool writes it (its own conversion to the VST's normalised values).
struct Setting {
    const char* symbol = "";
    float port = 0.0f;
    const char* toolName = "";
    const char* toolValue = "";
};

const std::vector<Setting> kShapedSound = {
    {"band1_state", 2, "Band1 State", "On"},    {"band1_type", 1, "Band1 Type", "Peak"},
    {"band1_gain", 9, "Band1 Gain", "9"},       {"band1_frequency", 1000, "Band1 Frequency", "1000"},
    {"band1_q", 2.5f, "Band1 Q", "2.5"},        {"band2_state", 2, "Band2 State", "On"},
    {"band2_type", 2, "Band2 Type", "HPF"},     {"band2_frequency", 120, "Band2 Frequency", "120"},
    {"band2_slope", 24, "Band2 Slope", "24"},   {"band3_state", 2, "Band3 State", "On"},
    {"band3_type", 4, "Band3 Type", "HighShelf"}, {"band3_gain", -4.5f, "Band3 Gain", "-4.5"},
    {"band3_frequency", 6000, "Band3 Frequency", "6000"}, {"gain", -3, "Gain", "-3"},
    {"channel1_level", -6, "Channel 1 Level", "-6"},
};

std::vector<std::pair<int, float>> toolValues(const std::vector<Setting>& settings) {
    std::vector<std::pair<int, float>> out;
    for (const Setting& s : settings) {
        const float n = lv2host::toolNormalised(s.toolName, s.toolValue);
        EXPECT_FALSE(std::isnan(n)) << s.toolName << "=" << s.toolValue;
        out.emplace_back(tool::findParameter(s.toolName), n);
    }
    return out;
}

std::unique_ptr<lv2host::Plugin> makeLv2(const std::string& uri, const std::vector<Setting>& settings, int block = kBlock) {
    auto plugin = lv2host::Plugin::create(uri, kRate, block);
    if (!plugin) return nullptr;
    for (const Setting& s : settings) EXPECT_TRUE(plugin->set(s.symbol, s.port)) << s.symbol;
    plugin->activate();
    return plugin;
}

struct Variant {
    const char* uri;
    int channels;
};
const Variant kVariants[] = {
    {"urn:corvanta:harmoniform:mono", 1},
    {"urn:corvanta:harmoniform:stereo", 2},
    {"urn:corvanta:harmoniform:surround", 8},
};

// A host's own bypass reaches the instance through the port designated
// lv2:enabled: off is the instance's Bypass, with its fade, run for run as the
// VST plug-in bypassed at the same moments.
TEST(Lv2Sound, TheHostsEnableSwitchIsTheInstancesBypass) {
    auto plugin = makeLv2("urn:corvanta:harmoniform:stereo", kShapedSound);
    ASSERT_TRUE(plugin);
    auto reference = makeVstReference(2, kRate, kBlock, toolValues(kShapedSound));
    ASSERT_TRUE(reference);
    const auto in = noise(2, 4096, 5);
    lv2host::Channels processed, bypassed;
    for (bool enabled : {true, false, false, true, true}) {
        plugin->setEnabled(enabled);
        reference->setParameter(kBypass, enabled ? 0.0f : 1.0f);
        const auto lv2 = plugin->run(in, kBlock);
        EXPECT_EQ(maxDifference(lv2, renderVst(*reference, in, kBlock)), 0.0) << (enabled ? "enabled" : "disabled");
        (enabled ? processed : bypassed) = lv2;
    }
    EXPECT_GT(maxDifference(processed, bypassed), 0.01);
}

TEST(Lv2Sound, EachPluginRendersWhatTheVstPathRendersWithTheSameSettings) {
    for (const Variant& v : kVariants) {
        SCOPED_TRACE(v.uri);
        auto plugin = makeLv2(v.uri, kShapedSound);
        ASSERT_TRUE(plugin);
        ASSERT_EQ(plugin->channels(), v.channels);
        auto reference = makeVstReference(v.channels, kRate, kBlock, toolValues(kShapedSound));
        ASSERT_TRUE(reference);
        const auto in = noise(v.channels, kFrames);
        const auto lv2 = plugin->run(in, kBlock);
        const auto vst = renderVst(*reference, in, kBlock);
        EXPECT_EQ(maxDifference(lv2, vst), 0.0);  // the same blocks: the same bits
        EXPECT_GT(maxDifference(lv2, in), 0.1);   // and the settings did shape the sound
    }
}

TEST(Lv2Sound, HostBlocksLongerThanTheDeclaredMaximumAreSplit) {
    auto plugin = makeLv2("urn:corvanta:harmoniform:stereo", kShapedSound);
    ASSERT_TRUE(plugin);
    auto reference = makeVstReference(2, kRate, kBlock, toolValues(kShapedSound));
    const auto in = noise(2, kFrames);
    // Four maximum-length pieces per run: the same pieces the VST path gets.
    EXPECT_LE(maxDifference(plugin->run(in, 4 * kBlock), renderVst(*reference, in, kBlock)), 1e-6);
}

// Values a broken host may write: non-finite ones are ignored, as the VST
// interface ignores them; finite ones beyond the range act as the nearest end.
TEST(Lv2Sound, BadPortValuesActAsTheVstPathActs) {
    const float inf = INFINITY;
    const std::vector<Setting> base = {{"band1_state", 2, "Band1 State", "On"}, {"band1_q", 2, "Band1 Q", "2"}};
    struct Case {
        Setting bad;
        std::vector<Setting> equivalent;  // what the VST path gets instead
    };
    const Case cases[] = {
        {{"band1_gain", NAN}, {}},
        {{"band1_gain", inf}, {}},
        {{"band1_frequency", -inf}, {}},
        {{"band1_gain", 100}, {{"", 0, "Band1 Gain", "18"}}},  // the default Scale: +1 is 18 dB
        {{"band1_gain", -100}, {{"", 0, "Band1 Gain", "-18"}}},
        {{"band1_frequency", 5}, {{"", 0, "Band1 Frequency", "10"}}},
        {{"band1_q", 1000}, {{"", 0, "Band1 Q", "50"}}},
        {{"band1_type", 17}, {{"", 0, "Band1 Type", "Notch"}}},
        {{"band1_state", -3}, {{"", 0, "Band1 State", "Off"}}},
        {{"channel1_level", -500}, {{"", 0, "Channel 1 Level", "-inf"}}},
    };
    const auto in = noise(2, 4096, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bad.symbol) + "=" + std::to_string(c.bad.port));
        std::vector<Setting> lv2Settings = base;
        lv2Settings.push_back(c.bad);
        std::vector<Setting> vstSettings = base;
        vstSettings.insert(vstSettings.end(), c.equivalent.begin(), c.equivalent.end());
        auto plugin = makeLv2("urn:corvanta:harmoniform:stereo", lv2Settings);
        ASSERT_TRUE(plugin);
        auto reference = makeVstReference(2, kRate, kBlock, toolValues(vstSettings));
        const auto lv2 = plugin->run(in, kBlock);
        EXPECT_EQ(maxDifference(lv2, renderVst(*reference, in, kBlock)), 0.0);
    }
}

// A port changed while running reaches the instance at the next block; the
// instance designs it as it designs any automation from the audio thread.
TEST(Lv2Sound, PortChangesWhileRunningReachTheInstance) {
    auto plugin = makeLv2("urn:corvanta:harmoniform:stereo", kShapedSound);
    ASSERT_TRUE(plugin);
    auto reference = makeVstReference(2, kRate, kBlock, toolValues(kShapedSound));
    const auto in = noise(2, kBlock * 8, 11);
    plugin->run(in, kBlock);
    renderVst(*reference, in, kBlock);

    plugin->set("band1_gain", -12);
    plugin->set("band2_frequency", 400);
    reference->setParameter(bandParam(0, kBandGain), lv2host::toolNormalised("Band1 Gain", "-12"));
    reference->setParameter(bandParam(1, kBandFrequency), lv2host::toolNormalised("Band2 Frequency", "400"));
    const auto unchanged = makeVstReference(2, kRate, kBlock, toolValues(kShapedSound));
    const auto before = renderVst(*unchanged, in, kBlock);
    EXPECT_TRUE(eventually([&] {
        const auto lv2 = plugin->run(in, kBlock);
        return maxDifference(lv2, renderVst(*reference, in, kBlock)) <= 1e-6 && maxDifference(lv2, before) > 0.05;
    }));
}

TEST(Lv2Sound, LatencyPortFollowsTheFirMode) {
    const std::vector<Setting> fir = {{"band1_state", 2, "Band1 State", "On"}, {"mode", 1, "Mode", "FIR"}};
    auto plugin = makeLv2("urn:corvanta:harmoniform:stereo", fir);
    ASSERT_TRUE(plugin);
    auto reference = makeVstReference(2, kRate, kBlock, toolValues(fir));
    const auto in = noise(2, kBlock);
    EXPECT_TRUE(eventually([&] {
        plugin->run(in, kBlock);
        renderVst(*reference, in, kBlock);
        return plugin->latency() > 0.0f && plugin->latency() == float(reference->effect()->initialDelay);
    }));
    plugin->set("mode", 0);
    EXPECT_TRUE(eventually([&] {
        plugin->run(in, kBlock);
        return plugin->latency() == 0.0f;
    }));
}

// A note one octave above middle C moves every band an octave up, as it does
// through the VST interface's MIDI events.
TEST(Lv2Sound, MidiNotesTransposeAsThroughTheVstInterface) {
    auto plugin = makeLv2("urn:corvanta:harmoniform:stereo", kShapedSound);
    ASSERT_TRUE(plugin);
    auto reference = makeVstReference(2, kRate, kBlock, toolValues(kShapedSound));
    auto untransposed = makeVstReference(2, kRate, kBlock, toolValues(kShapedSound));
    const auto in = noise(2, kBlock * 8, 5);
    plugin->queueMidi({0x90, 72, 100});
    reference->sendMidi({{0x90, 72, 100}});
    EXPECT_TRUE(eventually([&] {
        const auto lv2 = plugin->run(in, kBlock);
        return maxDifference(lv2, renderVst(*reference, in, kBlock)) <= 1e-6 &&
               maxDifference(lv2, renderVst(*untransposed, in, kBlock)) > 0.05;
    }));
}

// The audio thread's work: port changes every block, MIDI, processing.
TEST(Lv2Sound, RunAllocatesNothing) {
    auto plugin = makeLv2("urn:corvanta:harmoniform:surround", kShapedSound);
    ASSERT_TRUE(plugin);
    const auto in = noise(8, kBlock, 9);
    plugin->run(in, kBlock);
    // The test host's own buffers are made outside the counted part.
    long allocations = 0;
    for (int round = 0; round < 50; ++round) {
        plugin->set("band1_gain", float(round % 12));
        plugin->set("gain", -float(round % 6));
        if (round % 10 == 0) plugin->queueMidi({0xE0, 0, static_cast<unsigned char>(64 + round)});
        allocations += plugin->countedRun(in, kBlock);
    }
    EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace hm::test
