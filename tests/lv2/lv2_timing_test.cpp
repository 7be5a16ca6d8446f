// When the plug-ins hear their ports: a port the host changes is heard from the
// run in which it changed, values set before the first run are in place from its
// first samples, and a render (a bare host, or the freewheel port on) waits for
// FIR rebuilds so that it comes out the same every time, while live hosts never
// wait for one.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "core/params/ParamIds.h"
#include "tests/lv2/VstReference.h"

namespace hm::test {
namespace {

using lv2host::Channels;
using lv2host::HostFeatures;
using lv2host::Plugin;

constexpr const char* kStereo = "urn:corvanta:harmoniform:stereo";
constexpr float kRate = 48000.0f;
constexpr double kTone = 1000.0;
// Whole periods of the tone: every run gets the same block and the tone runs on
// without a seam.
constexpr int kBlock = 1920;
constexpr int kPeriod = 48;

Channels tone(int frames) {
    Channels out(2, std::vector<float>(frames));
    for (auto& channel : out)
        for (int i = 0; i < frames; ++i) channel[i] = float(0.25 * std::sin(2.0 * std::numbers::pi * kTone * i / kRate));
    return out;
}

// RMS level of channel 0 over [from, from + count), in dB.
double levelDb(const Channels& audio, int from, int count) {
    double sum = 0.0;
    for (int i = from; i < from + count; ++i) sum += double(audio[0][i]) * audio[0][i];
    return 10.0 * std::log10(sum / count);
}

// The level once the tone has run long enough for any glide to be over.
double lastLevelDb(const Channels& audio) { return levelDb(audio, kBlock - 10 * kPeriod, 10 * kPeriod); }

// Band 1 a peak at the tone's frequency: its gain moves the tone's level by as much.
void setPeakAtTone(Plugin& plugin, float gainDb) {
    plugin.set("band1_state", 2);
    plugin.set("band1_type", 1);
    plugin.set("band1_frequency", float(kTone));
    plugin.set("band1_gain", gainDb);
}

TEST(Lv2Timing, APortChangedBetweenRunsIsHeardInTheNextRun) {
    auto plugin = Plugin::create(kStereo, kRate, kBlock);
    ASSERT_TRUE(plugin);
    setPeakAtTone(*plugin, 0.0f);
    plugin->activate();
    const Channels in = tone(kBlock);
    Channels out;
    for (int run = 0; run < 5; ++run) out = plugin->run(in, kBlock);
    const double before = lastLevelDb(out);

    auto reference = makeVstReference(2, kRate, kBlock,
                                      {{bandParam(0, kBandState), lv2host::toolNormalised("Band1 State", "On")},
                                       {bandParam(0, kBandFrequency), lv2host::toolNormalised("Band1 Frequency", "1000")},
                                       {bandParam(0, kBandGain), lv2host::toolNormalised("Band1 Gain", "12")}});
    ASSERT_TRUE(reference);
    Channels steady;
    for (int run = 0; run < 5; ++run) steady = renderVst(*reference, in, kBlock);
    const double boosted = lastLevelDb(steady);
    ASSERT_NEAR(boosted - before, 12.0, 0.5);  // what the setting does to the tone

    plugin->set("band1_gain", 12.0f);
    const Channels next = plugin->run(in, kBlock);
    // The glide starts with the run: by its end the tone is at the new level.
    EXPECT_NEAR(lastLevelDb(next), boosted, 0.5);
    EXPECT_GT(lastLevelDb(next), before + 9.0);
}

// Whether set before activation or between activation and the first run, the
// values are in place when the first run starts: no glide from flat.
TEST(Lv2Timing, TheFirstRunIsEqualisedFromItsFirstSamples) {
    for (const bool beforeActivation : {true, false}) {
        SCOPED_TRACE(beforeActivation ? "set before activation" : "set after activation, before the first run");
        auto plugin = Plugin::create(kStereo, kRate, kBlock);
        ASSERT_TRUE(plugin);
        if (beforeActivation) setPeakAtTone(*plugin, 12.0f);
        plugin->activate();
        if (!beforeActivation) setPeakAtTone(*plugin, 12.0f);
        const Channels in = tone(kBlock);
        const Channels first = plugin->run(in, kBlock);
        Channels later;
        for (int run = 0; run < 5; ++run) later = plugin->run(in, kBlock);
        const double steady = lastLevelDb(later);
        ASSERT_NEAR(steady - lastLevelDb(in), 12.0, 0.5);
        // Past the filter's own start from silence (a couple of periods), ten periods.
        EXPECT_NEAR(levelDb(first, 2 * kPeriod, 10 * kPeriod), steady, 0.5);
    }
}

// FIR mode, band 1 a peak at 1 kHz, the same noise block every run.
constexpr int kFirBlock = 1024;

struct HostCase {
    const char* what;
    HostFeatures features;
    bool freewheel;  // on from the start
};

std::unique_ptr<Plugin> firPlugin(const HostCase& host, int irLengthStep) {
    auto plugin = Plugin::create(kStereo, kRate, kFirBlock, host.features);
    if (!plugin) return nullptr;
    plugin->set("mode", 1);
    plugin->set("ir_length", float(irLengthStep));
    setPeakAtTone(*plugin, 0.0f);
    plugin->setFreewheel(host.freewheel);
    plugin->activate();
    return plugin;
}

// Runs `runs` blocks of `in`, setting band 1's gain to gains[k] before run changeAt[k].
std::vector<Channels> renderWithChanges(Plugin& plugin, const Channels& in, int runs, const std::vector<int>& changeAt,
                                        const std::vector<float>& gains) {
    std::vector<Channels> out;
    for (int run = 0; run < runs; ++run) {
        for (std::size_t k = 0; k < changeAt.size(); ++k)
            if (changeAt[k] == run) plugin.set("band1_gain", gains[k]);
        out.push_back(plugin.run(in, kFirBlock));
    }
    return out;
}

const HostCase kRenderingHosts[] = {
    {"a bare host, no features at all", HostFeatures::None, false},
    {"a host with the freewheel port on", HostFeatures::Usual, true},
};

TEST(Lv2Timing, RendersWithFirChangesComeOutTheSameEveryTime) {
    const Channels in = noise(2, kFirBlock, 31);
    const std::vector<int> changeAt = {3, 6, 9};
    const std::vector<float> gains = {12.0f, -12.0f, 6.0f};
    constexpr int kRuns = 12;
    for (const HostCase& host : kRenderingHosts) {
        SCOPED_TRACE(host.what);
        std::vector<std::vector<Channels>> renders;
        for (int render = 0; render < 3; ++render) {
            auto plugin = firPlugin(host, 0);  // 1024 taps
            ASSERT_TRUE(plugin);
            renders.push_back(renderWithChanges(*plugin, in, kRuns, changeAt, gains));
        }
        for (int run = 0; run < kRuns; ++run) {
            SCOPED_TRACE("run " + std::to_string(run));
            EXPECT_EQ(maxDifference(renders[1][run], renders[0][run]), 0.0);
            EXPECT_EQ(maxDifference(renders[2][run], renders[0][run]), 0.0);
        }
        // Each change is in the run it was made for: the same input sounded the
        // same in the run before.
        for (int run : changeAt) EXPECT_GT(maxDifference(renders[0][run], renders[0][run - 1]), 0.01) << "run " << run;
    }
}

// How many of `attempts` first runs after a band change in FIR mode still sound
// exactly as a twin instance that got no change: a live run hands the new FIR
// over once it is built, a render waits for it.
int firstRunsThatKeptTheOldFir(const HostCase& host, bool freewheelAtTheChange, int attempts) {
    const Channels in = noise(2, kFirBlock, 37);
    // 1024 taps: short enough that a change reaches the output in the run the
    // rebuild was waited for (longer FIRs bring it in over a few runs).
    constexpr int kIrLengthStep = 0;
    constexpr int kWarmRuns = 4;  // past the FIR's latency
    int kept = 0;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        auto changed = firPlugin(host, kIrLengthStep);
        auto twin = firPlugin(host, kIrLengthStep);
        if (!changed || !twin) {
            ADD_FAILURE() << "no instance";
            return -1;
        }
        for (int run = 0; run < kWarmRuns; ++run) {
            changed->run(in, kFirBlock);
            twin->run(in, kFirBlock);
        }
        changed->set("band1_gain", 12.0f);
        if (freewheelAtTheChange) changed->setFreewheel(true);
        const Channels after = changed->run(in, kFirBlock);
        const Channels unchanged = twin->run(in, kFirBlock);
        EXPECT_GT(maxDifference(unchanged, Channels(2, std::vector<float>(kFirBlock))), 0.01);  // past the latency
        if (maxDifference(after, unchanged) == 0.0) ++kept;
    }
    return kept;
}

TEST(Lv2Timing, OnlyRendersWaitForTheFirRebuild) {
    constexpr int kAttempts = 3;
    // Live: jalv's features (no lv2:isLive among them) or a host that adds lv2:isLive.
    const HostCase live[] = {
        {"a host with the usual features", HostFeatures::Usual, false},
        {"a host that says it is live", HostFeatures::UsualAndLive, false},
    };
    for (const HostCase& host : live) {
        SCOPED_TRACE(host.what);
        EXPECT_GE(firstRunsThatKeptTheOldFir(host, false, kAttempts), 1);
    }
    for (const HostCase& host : kRenderingHosts) {
        SCOPED_TRACE(host.what);
        EXPECT_EQ(firstRunsThatKeptTheOldFir(host, false, kAttempts), 0);
    }
    // The freewheel port counts from the run in which the host sets it.
    SCOPED_TRACE("a live host turning freewheel on with the change");
    EXPECT_EQ(firstRunsThatKeptTheOldFir({"", HostFeatures::Usual, false}, true, kAttempts), 0);
}

}  // namespace
}  // namespace hm::test
