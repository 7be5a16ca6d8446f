// The analyser's reads across threads: another instance closing while an
// editor reads its signal, and pre rings made on the editor's thread while the
// audio thread writes. Run under ThreadSanitizer and AddressSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "gui/views/GraphAnalyser.h"
#include "tests/core/FakeHost.h"

namespace hm {
namespace {

void feed(Plug& plug, int blocks, double hz) {
    std::vector<float> l(256), r(256);
    float* io[2] = {l.data(), r.data()};
    static thread_local double phase = 0.0;
    for (int b = 0; b < blocks; ++b) {
        for (int i = 0; i < 256; ++i) {
            l[i] = r[i] = static_cast<float>(0.5 * std::sin(phase));
            phase += 2.0 * 3.141592653589793 * hz / 44100.0;
        }
        plug.processReplacing(io, io, 256);
    }
}

TEST(AnalyserThreads, ReadingInstancesThatCloseDuringTheReadIsSafe) {
    auto self = std::make_unique<Plug>(test::fakeHost, 2);
    std::atomic<bool> done{false};
    std::thread host([&] {
        // A host opening and closing other instances, each playing a little.
        for (int i = 0; i < 24; ++i) {
            auto other = std::make_unique<Plug>(test::fakeHost, 2);
            other->setSampleRate(44100.f);
            other->resume();
            feed(*other, 8, 1000.0);
            other.reset();
        }
        done.store(true);
    });
    gui::graph::GraphAnalyser analyser;
    analyser.setSelf(self.get());
    analyser.resize(400);
    const gui::graph::AnalyserSettings settings;
    gui::graph::AnalyserGeometry geometry;
    geometry.columns = 400;
    geometry.height = 300;
    geometry.nyquist = 22050.0;
    int frames = 0;
    while (!done.load()) {
        // Point both sources at whatever other instances exist right now.
        analyser.setSource(0, (1 << 8) | 0);
        analyser.setSource(1, (1 << 8) | 3);  // channel 3 of a stereo instance: its pre ring of channel 1
        analyser.computeFrame(settings, geometry);
        (void)otherInstanceNames(self.get());
        analyser.dropVanishedSources();
        ++frames;
    }
    host.join();
    EXPECT_GT(frames, 0);
    for (int x = 0; x < 400; x += 37) EXPECT_TRUE(std::isfinite(analyser.held(0, x)));
    // Every other instance is gone: after the list changed, the sources are none.
    analyser.setSource(0, (1 << 8) | 0);
    analyser.dropVanishedSources();
    EXPECT_EQ(analyser.source(0), -1);
    EXPECT_EQ(otherInstances(self.get()).size(), 0u);
}

TEST(AnalyserThreads, PreRingsMadeWhileAudioRunsReceiveTheSignal) {
    Plug plug(test::fakeHost, 2);
    plug.setSampleRate(44100.f);
    plug.resume();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        while (!stop.load()) feed(plug, 1, 440.0);
    });
    // The first request for a pre ring (source ≥ channels) creates them; wait
    // for the audio thread to fill the new ring with the signal.
    std::vector<double> ring(8192);
    double peak = 0.0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (peak < 0.25 && std::chrono::steady_clock::now() < deadline) {
        ASSERT_EQ(plug.readAnalyserHistory(ring.data(), 8192, 2), 8192);
        peak = 0.0;
        for (double v : ring) peak = std::max(peak, std::fabs(v));
        std::this_thread::yield();
    }
    stop.store(true);
    audio.join();
    EXPECT_GT(peak, 0.25);  // the sine of 0.5 before the equaliser
}

}  // namespace
}  // namespace hm
