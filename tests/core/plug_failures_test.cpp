// Failures that must not end the host: a FIR the machine has no memory for, a
// timer client that throws, and a host that quits with instances still open.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/ProcessTimer.h"
#include "tests/core/ProcessRig.h"
#include "tests/support/AllocationCounter.h"

namespace hm::test {
namespace {

// What an impulse on both channels sounds like, after a flush with silence.
Signal impulseResponse(ClockedPlug& plug, int frames) {
    Signal silence(2, std::vector<double>(static_cast<std::size_t>(frames), 0.0)), in = silence, out(2);
    processBlocks(plug, silence, out, 256);
    in[0][0] = in[1][0] = 1.0;
    processBlocks(plug, in, out, 256);
    return out;
}

TEST(PlugFailures, AFirWithoutMemoryLeavesThePreviousOneRunningAndSaysSo) {
    const struct { int lengthItem, padItem, latency; } table[] = {
        {8, 0, 131072},  // 262144 taps: the bank's own copies of the impulse cannot be had
        {6, 3, 32768},   // 65536 taps padded x8: the build's work buffers cannot be had
    };
    for (const auto& row : table) {
        ClockedPlug plug;
        plug.setReal(bandParam(0, kBandType), 1);
        plug.setReal(bandParam(0, kBandGain), 9);
        plug.setReal(bandParam(0, kBandState), 2);
        selectFir(plug, 0, 3);  // "Linear", 8192 taps
        const Signal before = impulseResponse(plug, 8192);
        {
            RefuseLargeAllocations refuse(1u << 20);
            plug.setReal(kIRPad, row.padItem);
            plug.setReal(kIRLength, row.lengthItem);
            plug.settle();
            plug.bank().waitForFir();
            plug.onTimer();
            EXPECT_TRUE(plug.firUnavailable()) << row.lengthItem;
            EXPECT_EQ(plug.initialDelay(), 4096);
            EXPECT_EQ(impulseResponse(plug, 8192), before);
        }
        // With memory back, the next update builds it.
        plug.setReal(bandParam(0, kBandGain), 8);
        plug.settle();
        plug.bank().waitForFir();
        plug.onTimer();
        EXPECT_FALSE(plug.firUnavailable());
        EXPECT_EQ(plug.initialDelay(), row.latency);
    }
}

struct Ticks final : platform::TimerClient {
    std::atomic<int> count{0};
    bool throws = false;
    void onTimerTick() override {
        count.fetch_add(1);
        if (throws) throw std::runtime_error("a tick that fails");
    }
};

TEST(PlugFailures, ATimerClientThatThrowsKeepsTheTimerGoing) {
    Ticks bad, good;
    bad.throws = true;
    platform::addTimerClient(&bad);
    platform::addTimerClient(&good);
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(platform::awaitTick());
    platform::removeTimerClient(&bad);
    platform::removeTimerClient(&good);
    EXPECT_GE(bad.count.load(), 3);
    EXPECT_GE(good.count.load(), 3);
}

TEST(PlugFailures, ExitWithInstancesOpenEndsTheProcessCleanly) {
    // The host quits without closing: the timer thread is stopped, not left joinable.
    EXPECT_EXIT(
        {
            new Plug(fakeHost, 2);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace hm::test
