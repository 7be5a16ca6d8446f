// The FIR stage under threads: mode and length changes while audio runs on its
// own thread (meant for the ThreadSanitizer and AddressSanitizer builds as well:
// a freed convolver touched by the audio thread shows up there), and a count of
// heap allocations on the audio thread while FIRs are rebuilt and replaced.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/core/ProcessRig.h"
#include "tests/support/AllocationCounter.h"

namespace hm::test {
namespace {

void peakBands(Plug& plug, int count) {
    for (int b = 0; b < count; ++b) {
        plug.setParameter(bandParam(b, kBandType), 0.0f);
        plug.setParameter(bandParam(b, kBandFrequency), 0.2f + 0.07f * static_cast<float>(b));
        plug.setParameter(bandParam(b, kBandGain), b % 2 ? 0.7f : 0.35f);
        plug.setParameter(bandParam(b, kBandState), 1.0f);
    }
}

TEST(PlugFirThreads, ModeAndLengthChangesWhileAudioRunsLeaveNoNaNAndNoFreedConvolver) {
    ClockedPlug plug;
    peakBands(plug, 6);
    plug.settle();
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::atomic<long> blocks{0};

    std::thread audio([&] {
        std::vector<std::vector<double>> buf(2, std::vector<double>(256));
        double* p[2] = {buf[0].data(), buf[1].data()};
        double phase = 0.0;
        for (long k = 0; !stop.load(); ++k) {
            for (auto& b : buf)
                for (int i = 0; i < 256; ++i) b[static_cast<std::size_t>(i)] = 0.25 * std::sin(phase + 0.03 * i);
            phase += 0.03 * 256;
            const int n = 1 + static_cast<int>(k * 37 % 256);  // every block length, odd ones too
            plug.processDoubleReplacing(p, p, n);
            for (const auto& b : buf)
                for (int i = 0; i < n; ++i)
                    if (!std::isfinite(b[static_cast<std::size_t>(i)])) finite = false;
            blocks.fetch_add(1);
        }
    });

    unsigned x = 99;
    const auto next = [&] { return (x = x * 1664525u + 1013904223u) >> 8; };
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    for (int k = 0; std::chrono::steady_clock::now() < end; ++k) {
        plug.setParameter(kMode, next() % 3 == 0 ? 0.0f : 1.0f);
        plug.setParameter(kIRLength, static_cast<float>(next() % 7) / 9.0f);  // 1024 .. 65536 taps
        plug.setParameter(kIRPhase, static_cast<float>(next() % 8) / 8.0f);
        plug.setParameter(kIRPad, static_cast<float>(next() % 4) / 4.0f);
        plug.setParameter(kIRWindow, static_cast<float>(next() % 16) / 16.0f);
        plug.setParameter(kDPlusLen, static_cast<float>(next() % 7) / 7.0f);
        plug.setParameter(kParallel, static_cast<float>(next() % 3) / 3.0f);
        plug.setParameter(bandParam(static_cast<int>(next() % 6), kBandGroups), next() % 2 ? 1.0f : 0.3f);  // linked or not
        plug.advanceMs(30.0);
        plug.onTimer();
        if (k % 20 == 19) {
            plug.setSampleRate(k % 40 == 39 ? 48000.0f : 44100.0f);
            plug.resume();
        }
        {
            auto lock = plug.lockUpdates();
            const double* ir = plug.bank().getImpulse(0);
            if (ir) finite = finite && std::isfinite(ir[0]);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    stop = true;
    audio.join();
    EXPECT_TRUE(finite.load());
    EXPECT_GT(blocks.load(), 20);

    // Afterwards a plain linear-phase FIR of the same bands still works.
    plug.setReal(kIRLength, 1);
    plug.setReal(kIRPhase, 0);
    plug.setReal(kMode, 1);
    plug.settle();
    plug.bank().waitForFir();
    EXPECT_EQ(plug.bank().getLatency(), 1024);
    std::vector<std::vector<double>> in(2, std::vector<double>(8192, 0.0)), out(2);
    processBlocks(plug, in, out, 256);
    in[0][0] = in[1][0] = 1.0;
    processBlocks(plug, in, out, 256);
    int peak = 0;
    for (int i = 1; i < 8192; ++i)
        if (std::abs(out[0][static_cast<std::size_t>(i)]) > std::abs(out[0][static_cast<std::size_t>(peak)])) peak = i;
    EXPECT_EQ(peak, 1024);
}

TEST(PlugFirThreads, AudioThreadAllocatesNothingWhileFirsAreRebuiltAndReplaced) {
    ClockedPlug plug;
    peakBands(plug, 4);
    plug.setReal(kMode, 1);
    plug.settle();
    plug.bank().waitForFir();
    std::vector<std::vector<float>> buf(2, std::vector<float>(1024, 0.1f));
    float* p[2] = {buf[0].data(), buf[1].data()};
    long allocations = 0;
    const auto play = [&](int blocks) {
        for (int k = 0; k < blocks; ++k) {
            CountAllocations counter;
            plug.processReplacing(p, p, 64 + (k * 131) % 960);
            allocations += counter.count();
        }
    };
    // Every FIR mode, Digital+, new impulses of one length (loaded in place) and new
    // lengths (a stage replaced while the audio thread holds the old one).
    const struct { int mode; int phase; int length; int dplus; } steps[] = {
        {1, 0, 3, 0}, {1, 1, 3, 0}, {1, 2, 3, 0}, {1, 3, 3, 0}, {1, 4, 3, 0},
        {1, 0, 5, 0}, {1, 0, 1, 0}, {0, 0, 1, 3}, {0, 0, 1, 6}, {1, 1, 6, 0},
    };
    for (const auto& s : steps) {
        plug.setReal(kIRPhase, s.phase);
        plug.setReal(kIRLength, s.length);
        plug.setReal(kDPlusLen, s.dplus);
        plug.setReal(kMode, s.mode);
        plug.setReal(bandParam(0, kBandGain), 3.0 + s.phase);
        plug.settle();
        play(20);  // while the worker builds
        plug.bank().waitForFir();
        play(20);  // the new impulses or stage taken over
    }
    EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace hm::test
