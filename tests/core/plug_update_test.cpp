// The update path: throttle buckets, the 4096-sample rule, loads, changes the
// processing call completes, and latency reports to the host.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/core/ProcessRig.h"

namespace hm::test {
namespace {

// Processes `frames` on a thread of its own, which becomes the instance's audio thread.
void processOnAudioThread(Plug& plug, int frames, int touchParam = -1) {
    std::thread audio([&] {
        std::vector<double> a(static_cast<std::size_t>(frames)), b(a);
        double* in[2] = {a.data(), b.data()};
        double* out[2] = {a.data(), b.data()};
        plug.processDoubleReplacing(in, out, frames);
        if (touchParam >= 0) plug.setParameter(touchParam, 0.75f);
    });
    audio.join();
}

TEST(PlugUpdate, TwoSetsInOneBucketRecalculateOnceAndTheTimerFinishes) {
    ClockedPlug plug;
    plug.advanceMs(1000);
    const auto start = plug.bankRecalcCount();
    plug.setReal(bandParam(0, kBandGain), 3.0);
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);
    plug.setReal(bandParam(1, kBandGain), 4.0);
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);
    EXPECT_TRUE(plug.isUpdateDeferred());
    plug.onTimer();  // still the same 25 ms bucket
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);
    plug.advanceMs(25);
    plug.onTimer();
    EXPECT_EQ(plug.bankRecalcCount(), start + 2);
    EXPECT_FALSE(plug.isUpdateDeferred());
    EXPECT_FLOAT_EQ(plug.bank().getFilter(1, 0)->getGain(), static_cast<float>(plug.getParameterReal(bandParam(1, kBandGain)) * plug.getParameterReal(kScale)));
}

TEST(PlugUpdate, ForcedUpdatesAndEnoughAudioSkipTheBucket) {
    ClockedPlug plug;
    plug.advanceMs(1000);
    plug.setReal(bandParam(0, kBandGain), 3.0);
    const auto start = plug.bankRecalcCount();
    plug.setReal(bandParam(0, kBandGain), 5.0);
    plug.updateProcessing(true);  // a gesture end forces
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);

    processOnAudioThread(plug, 4095);
    plug.setReal(bandParam(0, kBandGain), 6.0);
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);  // one sample short of the rule: pending
    EXPECT_TRUE(plug.isUpdateDeferred());
    processOnAudioThread(plug, 1);  // the processing call completes it before its first sample
    EXPECT_EQ(plug.bankRecalcCount(), start + 2);
    EXPECT_FALSE(plug.isUpdateDeferred());
    plug.setReal(bandParam(0, kBandGain), 7.0);  // 4096 samples went through: designed at once
    EXPECT_EQ(plug.bankRecalcCount(), start + 3);
}

TEST(PlugUpdate, AudioThreadSetsAreDesignedByTheNextCallOrAnIdleTimer) {
    ClockedPlug plug;
    plug.advanceMs(1000);
    const auto start = plug.bankRecalcCount();
    processOnAudioThread(plug, 64, bandParam(3, kBandGain));
    EXPECT_EQ(plug.bankRecalcCount(), start);  // the set after the call only marks the update
    EXPECT_TRUE(plug.isUpdateDeferred());
    EXPECT_EQ(plug.getParameter(bandParam(3, kBandGain)), 0.75f);  // but the value is stored
    // While calls keep coming the timer leaves the change to them.
    plug.onTimer();
    EXPECT_EQ(plug.bankRecalcCount(), start);
    processOnAudioThread(plug, 64);
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);
    EXPECT_FALSE(plug.isUpdateDeferred());
    // A host that stopped processing: the timer's second look completes the change.
    processOnAudioThread(plug, 64, bandParam(4, kBandGain));
    plug.onTimer();
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);
    plug.advanceMs(25);  // the next throttle bucket
    plug.onTimer();
    EXPECT_EQ(plug.bankRecalcCount(), start + 2);
    EXPECT_FALSE(plug.isUpdateDeferred());
}

TEST(PlugUpdate, ProgramLoadRecalculatesOnce) {
    ClockedPlug plug;
    plug.setProgram(1);
    plug.setReal(bandParam(0, kBandGain), 6.0);
    plug.setReal(bandParam(7, kBandFrequency), 3000.0);
    plug.advanceMs(1000);
    const auto start = plug.bankRecalcCount();
    plug.setProgram(0);
    EXPECT_EQ(plug.bankRecalcCount(), start + 1);
    EXPECT_FLOAT_EQ(plug.bank().getFilter(0, 0)->getGain(), 0.0f);
}

TEST(PlugUpdate, LatencyReachesTheHostOncePerChange) {
    ClockedPlug plug;
    plug.advanceMs(1000);
    platform::awaitTick();
    clearFakeHost();
    plug.setReal(kMode, 1);
    plug.setReal(kIRPhase, 0);  // "Linear"
    plug.settle();
    plug.bank().waitForFir();  // what is reported is what runs
    plug.onTimer();
    EXPECT_EQ(plug.initialDelay(), 4096);
    platform::awaitTick();  // a change the timer noticed first is reported right after its tick
    EXPECT_EQ(countFakeHost(vst::audioMasterIOChanged), 1);
    plug.setReal(kIRPhase, 1);  // "Full Minimum": no latency
    plug.settle();
    plug.bank().waitForFir();  // what is reported is what runs
    plug.onTimer();
    EXPECT_EQ(plug.initialDelay(), 0);
    plug.setReal(kIRPhase, 3);  // "Analogue"
    plug.setReal(kIRLength, 4);  // 16384 taps
    plug.settle();
    plug.bank().waitForFir();  // what is reported is what runs
    plug.onTimer();
    EXPECT_EQ(plug.initialDelay(), 8192);
    plug.setReal(kMode, 0);
    plug.settle();
    plug.bank().waitForFir();  // what is reported is what runs
    plug.onTimer();
    plug.onTimer();
    EXPECT_EQ(plug.initialDelay(), 0);
    platform::awaitTick();
    EXPECT_EQ(countFakeHost(vst::audioMasterIOChanged), 4);
}

TEST(PlugUpdate, LengthChangeInsideOneBucketReportsTheNewLatencyOnce) {
    // The length is set within the throttle bucket of the last update, so the bank's
    // recalculation waits; ticks in between must not see a latency of 0.
    const struct { int phase, fromLength, toLength, latency; } table[] = {
        {0, 3, 6, 32768},  // "Linear" 8192 -> 65536 taps
        {3, 5, 2, 2048},   // "Analogue" 32768 -> 4096 taps
        {1, 3, 5, 0},      // "Full Minimum": no latency either side, no report
    };
    for (const auto& row : table) {
        ClockedPlug plug;
        selectFir(plug, row.phase, row.fromLength);
        const int before = plug.initialDelay();
        plug.setReal(bandParam(9, kBandGain), 2.0);  // a full update opens the bucket
        platform::awaitTick();  // reports of the set-up that the timer made have landed
        clearFakeHost();
        plug.setReal(kIRLength, row.toLength);
        EXPECT_TRUE(plug.isUpdateDeferred());
        for (int tick = 0; tick < 5; ++tick) plug.onTimer();
        plug.settle();
        plug.bank().waitForFir();
        plug.onTimer();
        platform::awaitTick();
        std::vector<int> reported;
        for (const RecordedCall& c : fakeHostCalls())
            if (c.opcode == vst::audioMasterIOChanged) reported.push_back(c.delay);
        EXPECT_EQ(plug.initialDelay(), row.latency);
        EXPECT_EQ(reported, row.latency == before ? std::vector<int>{} : std::vector<int>{row.latency})
            << "phase " << row.phase;
    }
}

TEST(PlugUpdate, UpdateMapsBandsIntoTheBank) {
    ClockedPlug plug(2);
    EXPECT_TRUE(plug.bank().isLinked());  // no active band singles out a channel
    plug.setReal(kMsState, 0);
    plug.setReal(bandParam(4, kBandType), 2);  // high-pass
    plug.setReal(bandParam(4, kBandSlope), 48);
    plug.setReal(bandParam(4, kBandGain), 5);
    plug.setReal(bandParam(4, kBandFrequency), 15000);
    plug.setReal(bandParam(4, kBandState), 2);
    plug.setReal(bandParam(4, kBandGroups), 64);
    plug.setReal(kFShift, 200);
    plug.settle();
    auto lock = plug.lockUpdates();
    const dsp::EQ* right = plug.bank().getFilter(4, 1);
    EXPECT_EQ(right->getType(), dsp::kTypeHighPass);
    EXPECT_EQ(right->getSlope(), 8);
    EXPECT_EQ(right->getGain(), 0.0f);             // pass filters carry no gain
    EXPECT_FLOAT_EQ(right->getFrequency(), 22000.0f);  // shifted, then clamped
    EXPECT_EQ(right->getDisabled(), 0);
    EXPECT_NE(plug.bank().getFilter(4, 0)->getDisabled(), 0);
    EXPECT_FALSE(plug.bank().isLinked());  // an active band misses group 1
}

}  // namespace
}  // namespace hm::test
