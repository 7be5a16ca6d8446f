// The graph reads the instance while the audio thread plays and host
// automation changes bands: its curves, handles and analyser frames must read
// nothing the other threads write without synchronisation (ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "core/Plug.h"
#include "core/vst/AEffEditor.h"
#include "gui/views/EQGraph.h"
#include "tests/core/FakeHost.h"

namespace hm {
namespace {

struct Editor : vst::AEffEditor, gui::CControlListener {
    explicit Editor(Plug* p) : vst::AEffEditor(p) {}
    void valueChanged(gui::CControl*) override {}
};

TEST(GraphThreads, CurvesAndSpectraReadWhileAudioAndAutomationRun) {
    Plug plug(test::fakeHost, 2);
    plug.setSampleRate(44100.f);
    plug.resume();
    for (int b = 0; b < 8; ++b) {
        plug.setParameter(bandParam(b, kBandGroups), 1.f);
        plug.setParameter(bandParam(b, kBandFrequency), 0.1f * b + 0.1f);
        plug.setParameter(bandParam(b, kBandState), 1.f);
    }
    Editor editor(&plug);
    auto* graph = new gui::EQGraph(gui::CRect(0, 0, 600, 300), &editor, kGUIEQGraph);
    graph->setAnalyserOn(true);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> l(256), r(256);
        float* io[2] = {l.data(), r.data()};
        double phase = 0.0;
        while (!stop.load()) {
            for (int i = 0; i < 256; ++i) l[i] = r[i] = static_cast<float>(0.3 * std::sin(phase += 0.05));
            plug.processReplacing(io, io, 256);
        }
    });
    std::thread automation([&] {
        for (int i = 0; !stop.load(); ++i) plug.setParameter(bandParam(i % 8, kBandGain), static_cast<float>((i % 20) / 20.0));
    });
    for (int frame = 0; frame < 30; ++frame) {
        graph->recompute();
        ASSERT_NE(graph->compose(), nullptr);
        (void)graph->handlePosition(frame % 8);
    }
    stop.store(true);
    audio.join();
    automation.join();
    EXPECT_TRUE(std::isfinite(graph->totalDbAt(0, 300)));
    graph->release();
}

}  // namespace
}  // namespace hm
