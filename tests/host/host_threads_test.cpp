// Which host callbacks come from which thread, as a strict host sees them: none of
// the automation or latency reports from the audio thread, and restored state
// reported once as a new display instead of one gesture per parameter.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/host/HostFixture.h"

namespace hm::test {
namespace {

constexpr int kABParam = 6, kModeParam = 4, kIRLengthParam = 7;
constexpr int kNumParams = 366;

bool isReport(int opcode) {
    return opcode == vst::audioMasterBeginEdit || opcode == vst::audioMasterAutomate ||
           opcode == vst::audioMasterEndEdit || opcode == vst::audioMasterIOChanged ||
           opcode == vst::audioMasterUpdateDisplay;
}

int count(const std::vector<host::HostCall>& calls, int opcode) {
    int n = 0;
    for (const auto& c : calls) n += c.opcode == opcode;
    return n;
}

TEST(HostThreads, NothingIsReportedFromTheAudioThread) {
    // The host automates the A/B parameter (each switch loads a slot: a restore,
    // with "A/B Automation" "All" also the parameters the slot changed), bends
    // by MIDI and switches the FIR mode, all on its audio thread.
    std::atomic<std::thread::id> audioThread{};
    std::atomic<int> fromAudio{0};
    host::HostBehaviour strict;
    strict.observe = [&](const host::HostCall& c) {
        if (isReport(c.opcode) && c.thread == audioThread.load()) fromAudio.fetch_add(1);
    };
    auto plug = makeInstance(std::move(strict));
    ASSERT_TRUE(plug);
    plug->clearCalls();
    std::thread audio([&] {
        audioThread = std::this_thread::get_id();
        std::vector<float> l(256, 0.1f), r(256, 0.1f);
        float* io[2] = {l.data(), r.data()};
        for (int k = 0; k < 40; ++k) {
            if (k % 10 == 0) plug->setParameter(kABParam, static_cast<float>(k / 10 + 1) / 8.0f);
            if (k == 35) plug->setParameter(kModeParam, 1.0f);  // after the last slot switch
            plug->sendMidi({{0xE0, 0, static_cast<unsigned char>(k * 3)}});
            plug->processFloat(io, io, 256);
        }
    });
    audio.join();
    // The slot switches (a new display; the queued reports of one parameter merge
    // until delivered) and the latency reach the host, from another thread.
    EXPECT_TRUE(eventually([&] {
        return plug->countCalls(vst::audioMasterUpdateDisplay) >= 1 && plug->countCalls(vst::audioMasterIOChanged) == 1;
    }));
    const auto calls = plug->calls();
    EXPECT_EQ(count(calls, vst::audioMasterBeginEdit), count(calls, vst::audioMasterEndEdit));
    EXPECT_EQ(count(calls, vst::audioMasterAutomate), count(calls, vst::audioMasterEndEdit));
    EXPECT_EQ(fromAudio.load(), 0);
    EXPECT_EQ(plug->effect()->initialDelay, 4096);
}

TEST(HostThreads, RestoredStateIsOneDisplayUpdateNotGestures) {
    auto source = makeInstance();
    ASSERT_TRUE(source);
    source->setParameter(kIRLengthParam, 0.5f);
    source->setParameter(46 + 4, 0.8f);  // band 1 gain
    void* data = nullptr;
    const auto size = source->dispatch(vst::effGetChunk, 0, 0, &data);  // the bank
    ASSERT_GT(size, 0);
    const std::vector<unsigned char> bank(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);

    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    const auto gestures = [&] {
        const auto calls = plug->calls();
        return count(calls, vst::audioMasterBeginEdit) + count(calls, vst::audioMasterAutomate) +
               count(calls, vst::audioMasterEndEdit);
    };
    EXPECT_EQ(gestures(), 0);  // the default bank loaded by the constructor
    plug->clearCalls();
    plug->dispatch(vst::effSetChunk, 0, static_cast<std::intptr_t>(bank.size()), const_cast<unsigned char*>(bank.data()));
    EXPECT_EQ(plug->getParameter(46 + 4), 0.8f);
    EXPECT_EQ(gestures(), 0);
    EXPECT_EQ(plug->countCalls(vst::audioMasterUpdateDisplay), 1);
    plug->clearCalls();
    plug->dispatch(vst::effSetProgram, 0, 3);
    EXPECT_EQ(gestures(), 0);
    EXPECT_EQ(plug->countCalls(vst::audioMasterUpdateDisplay), 1);
}

}  // namespace
}  // namespace hm::test
