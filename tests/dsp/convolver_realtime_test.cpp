// Real-time rules of the convolver: no allocation in its processing calls, and
// concurrent impulse loads and convolver replacement from another thread (run this
// binary under ThreadSanitizer and AddressSanitizer for the race and use-after-free
// half of the proof).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include "dsp/fir/Convolver.h"
#include "dsp/fir/Handover.h"
#include "tests/support/AllocationCounter.h"

using hm::dsp::Convolver;
using hm::dsp::Handover;
using hm::test::CountAllocations;


namespace {

std::vector<double> randomImpulse(int length, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-0.01, 0.01);
    std::vector<double> h(static_cast<std::size_t>(length));
    for (auto& v : h) v = u(rng);
    return h;
}

}  // namespace

TEST(ConvolverRealtimeTest, ProcessingNeverAllocatesEvenWhenAdoptingNewImpulses)
{
    for (int length : {16, 1024, 65536}) {
        Convolver mono(length, 1), stereo(length, 2);
        std::vector<double> l(5000, 0.25), r(5000, -0.5);
        for (int round = 0; round < 4; ++round) {
            const auto h = randomImpulse(length, static_cast<unsigned>(round));
            mono.load(h.data(), length);  // the loading thread may allocate
            stereo.load(h.data(), length);
            CountAllocations counter;
            for (int block : {1, 31, 64, 511, 1024, 5000}) {
                mono.process(l.data(), l.data(), block);
                stereo.processStereo(l.data(), r.data(), l.data(), r.data(), block);
                mono.processSample(0.5);
            }
            EXPECT_EQ(counter.count(), 0) << "length " << length << " round " << round;
        }
    }
}

TEST(ConvolverRealtimeTest, HandoverAndImpulseLoadsRaceFreeWhileAudioRuns)
{
    // The audio thread borrows whichever convolver is current for every block; the
    // other thread keeps loading impulses into it and replacing it by convolvers of
    // other lengths. Nothing may be read after it is freed, and the output stays finite.
    Handover<Convolver> slot(std::make_unique<Convolver>(1024, 2));
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<bool> finite{true};

    std::thread audio([&] {
        std::vector<double> l(256), r(256);
        std::mt19937 rng(3);
        std::uniform_real_distribution<double> u(-1, 1);
        while (!stop.load()) {
            for (auto& v : l) v = u(rng);
            for (auto& v : r) v = u(rng);
            if (Convolver* c = slot.acquire()) {
                c->processStereo(l.data(), r.data(), l.data(), r.data(), 256);
                slot.release();
            }
            for (double v : l)
                if (!std::isfinite(v)) finite = false;
            blocks.fetch_add(1);
        }
    });

    const int lengths[] = {256, 4096, 1024, 16384, 64};
    for (int round = 0; round < 20; ++round) {
        const int length = lengths[round % 5];
        auto fresh = std::make_unique<Convolver>(length, 2);
        const auto h = randomImpulse(length, static_cast<unsigned>(round));
        fresh->load(h.data(), length);
        slot.replace(std::move(fresh));
        for (int k = 0; k < 5; ++k) {
            const auto g = randomImpulse(length, static_cast<unsigned>(100 * round + k));
            slot.writerView()->load(g.data(), length);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    }
    stop = true;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
    EXPECT_TRUE(finite.load());
    EXPECT_FALSE(slot.busy());
}

TEST(ConvolverRealtimeTest, LatestLoadWinsAfterABurstOfLoads)
{
    // Loads faster than the audio thread adopts: every superseded set is recycled,
    // and after the burst the output is exactly the last impulse's convolution.
    const int length = 256;
    Convolver conv(length, 1);
    std::vector<double> x(4096), y(4096);
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> u(-1, 1);
    for (auto& v : x) v = u(rng);
    std::vector<double> last;
    for (int i = 0; i < 50; ++i) {
        last = randomImpulse(length, static_cast<unsigned>(i + 1));
        conv.load(last.data(), length);
        if (i % 7 == 0) conv.process(x.data(), y.data(), 64);
    }
    conv.clear();
    conv.process(x.data(), y.data(), 4096);
    conv.clear();
    conv.process(x.data(), y.data(), 4096);  // a second adoption pass retires the draining set
    double err = 0;
    for (std::size_t t = length; t < x.size(); ++t) {
        double ref = 0;
        for (int k = 0; k < length; ++k) ref += last[static_cast<std::size_t>(k)] * x[t - static_cast<std::size_t>(k)];
        err = std::max(err, std::abs(ref - y[t]));
    }
    EXPECT_LT(err, 1e-12);
}
