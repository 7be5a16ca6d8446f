// render --automate: lanes read as written, steps landing on their own sample,
// and the tool driving the instance exactly as a host that sets the same values
// between its processing calls.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <thread>

#include "core/params/ParamIds.h"
#include "tests/host/HostFixture.h"
#include "tests/tools/ToolTestSupport.h"
#include "tools/harmoniform/Automation.h"
#include "tools/harmoniform/HostSession.h"

namespace hm::test {
namespace {

constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int kRate = 48000;
constexpr int kBlock = 256;

// Band gains at the default Scale (18 dB) and the output Gain (-36..36 dB), as a
// host's normalised values: the linear conversion, worked out by hand.
constexpr float kBandPlus9 = 0.75f, kBandMinus9 = 0.25f, kBandPlus18 = 1.0f, kBandZero = 0.5f;
constexpr float kGainMinus9 = 0.375f, kGainPlus9 = 0.625f;

TEST(AutomationLane, CallsEndAtPointsAndRampsMoveAtEveryCall) {
    // At 44100 Hz: 2.26 ms is sample 99.67, so 100; a ramp to 300; 0.1 s and 100 ms
    // are both 4410 (the later point wins).
    tool::LaneText text;
    tool::AutomationLane lane;
    std::string error;
    ASSERT_TRUE(tool::parseLane("Gain=0.25n@2.26ms, ~0.75n@300smp, 0.5n@0.1s, 0.125n@100 MS", text, error)) << error;
    ASSERT_TRUE(tool::resolveLane(text, tool::ParameterContext{}, 44100, lane, error)) << error;
    tool::Automation automation({lane});
    struct Set {
        std::int64_t position;
        float value;
    };
    std::vector<Set> sets;
    for (std::int64_t p = 0; p < 5000; p += automation.framesUntilNextPoint(p, 64))
        automation.apply(p, [&](int index, float value) {
            EXPECT_EQ(index, kGain);
            sets.push_back({p, value});
        });
    // Values are set only at call starts: every 64 frames from each point on, the
    // ramp's 0.25 + 0.5 x 64k / 200 on the way, nothing again while a value stays.
    const Set expected[] = {{100, 0.25f}, {164, 0.41f}, {228, 0.57f}, {292, 0.73f}, {300, 0.75f}, {4410, 0.125f}};
    ASSERT_EQ(sets.size(), std::size(expected));
    for (std::size_t i = 0; i < sets.size(); ++i) {
        EXPECT_EQ(sets[i].position, expected[i].position) << i;
        EXPECT_FLOAT_EQ(sets[i].value, expected[i].value) << i;
    }
}

// --- the host the tool is compared with -------------------------------------

struct HostPoint {
    std::int64_t sample;
    float value;
    bool ramp = false;
};
struct HostLane {
    int index;
    std::vector<HostPoint> points;
};

// What a host sets for a lane at the call starting at `p`: the last point at or
// before p, or on the way to a ramp point after it; nothing before the first.
std::optional<float> hostValue(const HostLane& lane, std::int64_t p) {
    std::optional<float> v;
    for (std::size_t i = 0; i < lane.points.size(); ++i) {
        const HostPoint& q = lane.points[i];
        if (q.sample <= p) {
            v = q.value;
        } else {
            if (q.ramp && v) {
                const HostPoint& from = lane.points[i - 1];
                const double a = from.value, b = q.value;
                v = static_cast<float>(a + (b - a) * static_cast<double>(p - from.sample) /
                                               static_cast<double>(q.sample - from.sample));
            }
            break;
        }
    }
    return v;
}

// Prepares an instance as the tool does for a render (settings, time for the
// timer, silence, time again), then processes `x` in calls of at most kBlock
// frames that also end at every point of the lanes, setting the lanes' values
// before each call.
std::vector<double> hostRender(const std::vector<double>& x, int channels, const std::vector<std::string>& settings,
                               const std::vector<HostLane>& lanes) {
    host::HostBehaviour behaviour;
    behaviour.sampleRate = kRate;
    behaviour.blockSize = kBlock;
    behaviour.processLevel = vst::kVstProcessLevelOffline;
    auto plugin = host::PluginInstance::create(pluginLibrary(), behaviour);
    if (!plugin) {
        ADD_FAILURE() << "no instance";
        return {};
    }
    plugin->start(kRate, kBlock);
    for (const std::string& s : settings) {
        std::string error;
        EXPECT_TRUE(tool::applyAssignment(*plugin, s, error)) << error;
    }
    const int pins = plugin->effect()->numInputs;
    std::vector<std::vector<float>> in(pins, std::vector<float>(kBlock)), out = in;
    std::vector<float*> inPtr, outPtr;
    for (auto& v : in) inPtr.push_back(v.data());
    for (auto& v : out) outPtr.push_back(v.data());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (int done = 0; done < 4096; done += kBlock) plugin->processFloat(inPtr.data(), outPtr.data(), kBlock);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(plugin->effect()->initialDelay, 0) << "the comparison assumes no latency";

    const std::int64_t frames = static_cast<std::int64_t>(x.size()) / channels;
    std::vector<double> y(x.size());
    std::vector<std::optional<float>> lastSet(lanes.size());
    for (std::int64_t p = 0; p < frames;) {
        std::int64_t n = std::min<std::int64_t>(kBlock, frames - p);
        for (const HostLane& lane : lanes)
            for (const HostPoint& q : lane.points)
                if (q.sample > p) n = std::min(n, q.sample - p);
        for (std::size_t k = 0; k < lanes.size(); ++k) {
            const std::optional<float> v = hostValue(lanes[k], p);
            if (v && v != lastSet[k]) plugin->setParameter(lanes[k].index, *v);
            if (v) lastSet[k] = v;
        }
        for (std::int64_t i = 0; i < n; ++i)
            for (int c = 0; c < pins; ++c) in[c][i] = static_cast<float>(x[(p + i) * channels + c % channels]);
        plugin->processFloat(inPtr.data(), outPtr.data(), static_cast<int>(n));
        for (std::int64_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) y[(p + i) * channels + c] = out[c][i];
        p += n;
    }
    return y;
}

// Samples of a and b that differ in [from, to) (interleaved indices), and the first.
struct Difference {
    std::size_t count = 0, first = 0;
};
Difference differences(const std::vector<double>& a, const std::vector<double>& b, std::size_t from, std::size_t to) {
    Difference d;
    for (std::size_t i = from; i < to && i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i] && d.count++ == 0) d.first = i;
    return d;
}

TEST(ToolAutomate, MatchesAHostSettingTheSameValuesBetweenCalls) {
    ScratchFolder folder;
    const int channels = 2;
    const std::vector<double> x = floatNoise(20000, channels, 11);
    writeAudio(folder.file("in.wav"), x, channels, kRate, kFloatWav);
    const std::vector<std::string> settings = {"Band1 State=On", "Band1 Frequency=1k", "Band1 Q=1"};
    // Steps off the block grid, a ramp, a point beyond the end; two points at one
    // time (the later wins) followed by a ramp towards a point beyond the end.
    const RunResult r = runTool({"render", folder.file("in.wav"), folder.file("out.wav"), "--block",
                                 std::to_string(kBlock), "--quiet", "--set", settings[0], "--set", settings[1], "--set",
                                 settings[2], "--automate", "Band1 Gain=+9dB@50ms,-9dB@9001smp,~+18dB@0.4s,0dB@2s",
                                 "--automate", "Gain=-9dB@0s,+9dB@5000smp,-9dB@5000smp,~+9dB@25000smp"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Audio out = readAudio(folder.file("out.wav"));
    ASSERT_EQ(out.samples.size(), x.size());

    const std::vector<HostLane> lanes = {
        {bandParam(0, kBandGain),
         {{2400, kBandPlus9}, {9001, kBandMinus9}, {19200, kBandPlus18, true}, {96000, kBandZero}}},
        {kGain, {{0, kGainMinus9}, {5000, kGainPlus9}, {5000, kGainMinus9}, {25000, kGainPlus9, true}}},
    };
    const std::vector<double> expected = hostRender(x, channels, settings, lanes);
    const Difference d = differences(out.samples, expected, 0, x.size());
    EXPECT_EQ(d.count, 0u) << "first at frame " << d.first / channels;
}

TEST(ToolAutomate, AStepOffTheBlockGridLandsOnItsSample) {
    ScratchFolder folder;
    const std::vector<double> x = floatNoise(8000, 1, 12);
    writeAudio(folder.file("in.wav"), x, 1, kRate, kFloatWav);
    const auto render = [&](const std::vector<std::string>& options) {
        const RunResult r = runTool(concat({"render", folder.file("in.wav"), folder.file("out.wav"), "--block",
                                            std::to_string(kBlock), "--quiet"},
                                           options));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return readAudio(folder.file("out.wav")).samples;
    };
    const std::vector<double> before = render({"--set", "Gain=0dB"});
    const std::vector<double> after = render({"--set", "Gain=-12dB"});
    ASSERT_EQ(before.size(), x.size());
    ASSERT_EQ(after.size(), x.size());
    ASSERT_NE(before, after);

    struct Step {
        const char* lane;
        std::size_t sample;
    };
    // Neither 1000 nor 984 (20.5 ms) is a multiple of the block.
    for (const Step& s : {Step{"Gain=-12dB@1000smp", 1000}, Step{"Gain=0dB@0s,-12dB@20.5ms", 984}}) {
        SCOPED_TRACE(s.lane);
        const std::vector<double> y = render({"--automate", s.lane});
        ASSERT_EQ(y.size(), x.size());
        const Difference early = differences(y, before, 0, s.sample);
        EXPECT_EQ(early.count, 0u) << "the step was heard from sample " << early.first;
        EXPECT_NE(y[s.sample], before[s.sample]) << "the step was not heard at its sample";
        // The output gain glides to its new value within a few thousand samples.
        const Difference settled = differences(y, after, s.sample + 3000, y.size());
        EXPECT_EQ(settled.count, 0u) << "differs from the constant setting at sample " << settled.first;
    }
}

struct BadLane {
    std::vector<std::string> args;  // after "render IN OUT"
    const char* mentions;
};

TEST(ToolAutomate, MalformedLanesAreUsageErrorsNamingTheBadPiece) {
    ScratchFolder folder;
    writeAudio(folder.file("in.wav"), floatNoise(2000, 1, 13), 1, kRate, kFloatWav);
    const BadLane cases[] = {
        {{"--automate"}, "needs a lane"},
        {{"--automate", "Band1 Gain"}, "'Band1 Gain' is no NAME=VALUE@TIME"},
        {{"--automate", "Band1 Gian=0dB@0s"}, "unknown parameter 'Band1 Gian'; nearest: kBand1Gain (Band1 Gain)"},
        {{"--automate", "Band1 Gain="}, "no points"},
        {{"--automate", "Band1 Gain=0dB@0s,,6dB@1s"}, "point 2 is empty"},
        {{"--automate", "Band1 Gain=0dB@0s,6dB"}, "'6dB' has no time"},
        {{"--automate", "Band1 Gain=@1s"}, "'@1s' has no value"},
        {{"--automate", "Band1 Gain=6dB@2"}, "time '2' has no unit"},
        {{"--automate", "Band1 Gain=6dB@2min"}, "time '2min' has an unknown unit"},
        {{"--automate", "Band1 Gain=6dB@-1s"}, "time '-1s' is before the start"},
        {{"--automate", "Band1 Gain=6dB@1.5smp"}, "'1.5smp' is no whole number of samples"},
        {{"--automate", "Band1 Gain=6dB@1s,0dB@0.5s"}, "'0dB@0.5s' comes before"},
        {{"--automate", "Band1 Gain=6dB@1s,0dB@47999smp"}, "'0dB@47999smp' comes before"},
        {{"--automate", "Band1 Gain=~6dB@1s"}, "'~6dB@1s' ramps from nothing"},
        {{"--automate", "Band1 Type=Peak@0s,~Notch@1s"}, "kBand1Type (Band1 Type) takes steps"},
        {{"--automate", "Band1 Gain=0dB@0s,6Hz@1s"}, "'6Hz@1s'"},
        {{"--automate", "Band1 Gain=0dB@0s,40dB@1s"}, "-18..18 dB"},
        {{"--automate", "Band1 Gain=0dB@0s", "--automate", "kBand1Gain=3dB@1s"}, "two lanes for kBand1Gain"},
    };
    for (const BadLane& c : cases) {
        SCOPED_TRACE(c.args.back());
        const RunResult r = runTool(concat({"render", folder.file("in.wav"), folder.file("out.wav")}, c.args));
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        // One line saying what is wrong, one saying where to read more.
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_NE(r.err.find("\nsee 'harmoniform render --help'\n"), std::string::npos) << r.err;
        EXPECT_FALSE(fileExists(folder.file("out.wav")));
    }
}

}  // namespace
}  // namespace hm::test
