// What ties the LV2 UI to the running instance without a display: the queue
// that carries the editor's gestures from the host callback's threads to the
// UI, and the port values the UI writes back, which the next run must take as
// what the instance already holds.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "core/params/ParamIds.h"
#include "lv2/GestureQueue.h"
#include "lv2/Lv2Instance.h"
#include "lv2/PortModel.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/AllocationCounter.h"

namespace hm::test {
namespace {

using lv2::Gesture;
using lv2::GestureQueue;

lv2::PortContext contextOf(vst::AEffect* effect) {
    return lv2::portContextFrom(effect->getParameter(effect, kScale), effect->getParameter(effect, kFShift));
}

// What the UI writes for parameter `index`: the instance's value of now as a port value.
float portValueNow(vst::AEffect* effect, int index) {
    return lv2::normalisedToPort(index, effect->getParameter(effect, index), contextOf(effect));
}

TEST(GestureQueue, GesturesPostedFromOtherThreadsArriveInTheirOrderWhileTheUiTakes) {
    constexpr int kPerThread = 20000;
    constexpr int kThreads = 2;  // the UI thread's own reports and the timer's
    auto queue = std::make_unique<GestureQueue>();
    std::atomic<int> running{kThreads};
    long posted[kThreads] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i)
                posted[t] += queue->post({static_cast<Gesture::Kind>(i % 3), t * kPerThread + i}) ? 1 : 0;
            running.fetch_sub(1);
        });
    }
    int last[kThreads] = {-1, -1};
    long taken = 0, outOfOrder = 0, dropped = 0;
    const auto take = [&] {
        taken += queue->drain([&](const Gesture& g) {
            const int t = g.index / kPerThread, i = g.index % kPerThread;
            outOfOrder += i <= last[t] || g.kind != i % 3;
            last[t] = i;
        });
        dropped += queue->takeDropped();
    };
    while (running.load() > 0) take();
    for (std::thread& t : threads) t.join();
    take();
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_EQ(taken, posted[0] + posted[1]);
    EXPECT_EQ(taken + dropped, long{kThreads} * kPerThread);
}

TEST(GestureQueue, AFullQueueDropsTheNewestAndCountsThem) {
    auto queue = std::make_unique<GestureQueue>();
    const int extra = 10;
    long allocations = 0;
    {
        CountAllocations counter;
        for (int i = 0; i < int(GestureQueue::kCapacity) + extra; ++i)
            EXPECT_EQ(queue->post({Gesture::kValue, i}), i < int(GestureQueue::kCapacity)) << i;
        allocations = counter.count();
    }
    EXPECT_EQ(allocations, 0) << "posting allocates";
    int expected = 0;
    EXPECT_EQ(queue->drain([&](const Gesture& g) { EXPECT_EQ(g.index, expected++); }), int(GestureQueue::kCapacity));
    EXPECT_EQ(queue->takeDropped(), std::uint32_t(extra));
    EXPECT_EQ(queue->takeDropped(), 0u);
    // Room again once taken.
    EXPECT_TRUE(queue->post({Gesture::kEnd, 7}));
    EXPECT_EQ(queue->drain([](const Gesture& g) { EXPECT_EQ(g.index, 7); }), 1);
}

// Port values for normalised values, against the parameters' own scales.
TEST(Lv2UiPorts, NormalisedValuesBecomePortValuesInRealUnits) {
    struct Row {
        int index;
        float normalised;
        double port;
    };
    const lv2::PortContext context;  // Scale 18 dB, no Shift
    const Row rows[] = {
        {bandParam(0, kBandFrequency), 0.5f, std::sqrt(10.0 * 22000.0)},  // logarithmic 10..22000 Hz
        {bandParam(0, kBandFrequency), 1.0f, 22000.0},
        {bandParam(3, kBandGain), 1.0f, 18.0},  // a whole Scale
        {bandParam(3, kBandGain), 0.5f, 0.0},
        {bandParam(0, kBandType), 0.0f, 1.0},      // "Peak"
        {channelParam(0, kChannelLevel), 0.0f, -90.0},  // silence
        {kBypass, 1.0f, 1.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        EXPECT_NEAR(lv2::normalisedToPort(r.index, r.normalised, context), r.port, 1e-3 * std::max(1.0, std::fabs(r.port)));
    }
    // Twice the Scale would be beyond the port's range: the port's end.
    lv2::PortContext wide;
    wide.scaleDb = 72.0;
    EXPECT_EQ(lv2::normalisedToPort(bandParam(3, kBandGain), 1.0f, wide), lv2::kBandGainRangeDb);
}

// An edit made in the editor lands in the instance first; the UI then writes the
// port. The run that finds the port changed must keep the edited value exactly,
// even where the float round trip through real units would move it.
TEST(Lv2UiPorts, APortWrittenBackFromAnEditKeepsTheEditedValue) {
    auto plugin = lv2host::Plugin::create("urn:corvanta:harmoniform:stereo", 44100.0, 256);
    ASSERT_TRUE(plugin);
    plugin->activate();
    vst::AEffect* effect = static_cast<lv2::Lv2Instance*>(plugin->handle())->effect();
    const lv2host::Channels in(2, std::vector<float>(256, 0.1f));
    const int params[] = {bandParam(2, kBandGain), bandParam(2, kBandFrequency), bandParam(2, kBandQ),
                          channelParam(1, kChannelLevel), kGain};
    int roundTripMoves = 0;
    for (const int index : params) {
        for (float n = 0.0137f; n < 1.0f; n += 0.0731f) {
            SCOPED_TRACE(std::to_string(index) + " at " + std::to_string(n));
            effect->setParameter(effect, index, n);  // the editor's edit
            const float port = portValueNow(effect, index);
            roundTripMoves += lv2::portToNormalised(index, port, contextOf(effect)) != n;
            ASSERT_TRUE(plugin->setPort(static_cast<std::uint32_t>(index), port));
            plugin->run(in, 256);
            EXPECT_EQ(effect->getParameter(effect, index), n);
        }
    }
    EXPECT_GT(roundTripMoves, 0) << "no value here would have been moved by applying the port again";
    // A port the host moves elsewhere still counts.
    ASSERT_TRUE(plugin->set("gain", 6.0f));
    plugin->run(in, 256);
    EXPECT_NEAR(portValueNow(effect, kGain), 6.0f, 1e-4);
}

}  // namespace
}  // namespace hm::test
