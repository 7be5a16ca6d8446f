// One full frame of the EQ graph at the "Huge" size (1300 × 706): 32 active
// bands in two channel views and the analyser on ("Analyser" type, both
// curves), designed, evaluated, totalled and drawn from scratch. Counters
// break the median frame down into band responses, view totals, the
// analyser (fetch, transform, columns, drawing), the grid and the drawing of
// curves, handles and read-outs. Beside it: a frame during a drag (one band
// changed), and the idle pass of a frame in which nothing changed.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "core/Plug.h"
#include "core/vst/AEffEditor.h"
#include "gui/framework/CFrame.h"
#include "gui/views/EQGraph.h"
#include "platform/HeadlessWindow.h"

namespace hm {
namespace {

constexpr int kWidth = 1300, kHeight = 706;

vst::VstIntPtr silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

struct Editor : vst::AEffEditor, gui::CControlListener {
    explicit Editor(Plug* p) : vst::AEffEditor(p) {}
    void valueChanged(gui::CControl*) override {}
};

void setReal(Plug& plug, int index, double real) {
    plug.setParameter(index, static_cast<float>(plug.realToNormalised(index, real)));
}

struct Scene {
    std::unique_ptr<Plug> plug = std::make_unique<Plug>(silentHost, 2);
    std::unique_ptr<Editor> editor = std::make_unique<Editor>(plug.get());
    gui::CFrame* frame = new gui::CFrame(gui::CRect(0, 0, kWidth, kHeight));
    gui::EQGraph* graph = nullptr;

    // mix 0: a full session's band set: a high-pass, a low-pass, two shelves, a
    // notch and 27 peaks. mix 1: every type in turn (11 pass filters whose fills
    // cover most of the plot: the worst case for drawing).
    explicit Scene(int mix) {
        plug->setSampleRate(48000.f);
        plug->resume();
        for (int b = 0; b < kNumBands; ++b) {
            int type = 1 + b % 6;
            if (mix == 0) type = b == 0 ? 2 : b == 31 ? 5 : b == 3 ? 3 : b == 28 ? 4 : b == 20 ? 6 : 1;
            setReal(*plug, bandParam(b, kBandGroups), 192);
            setReal(*plug, bandParam(b, kBandType), type);
            setReal(*plug, bandParam(b, kBandFrequency), 25.0 * std::pow(700.0, b / 31.0));
            setReal(*plug, bandParam(b, kBandGain), b % 2 ? 5.0 : -4.0);
            setReal(*plug, bandParam(b, kBandQ), 1.2);
            setReal(*plug, bandParam(b, kBandSlope), 24);
            setReal(*plug, bandParam(b, kBandState), 2);
        }
        // Pink-ish noise through the instance fills the analyser's rings.
        std::mt19937 rng(7);
        std::normal_distribution<double> noise(0.0, 0.2);
        std::vector<float> l(1024), r(1024);
        float* in[2] = {l.data(), r.data()};
        double b0 = 0, b1 = 0;
        for (int block = 0; block < 16; ++block) {
            for (int i = 0; i < 1024; ++i) {
                const double w = noise(rng);
                b0 = 0.99765 * b0 + w * 0.0990460;
                b1 = 0.96300 * b1 + w * 0.2965164;
                l[i] = r[i] = static_cast<float>(b0 + b1 + w * 0.1848);
            }
            plug->processReplacing(in, in, 1024);
        }
        frame->open(std::make_unique<platform::HeadlessWindow>(), nullptr);
        graph = new gui::EQGraph(gui::CRect(0, 0, kWidth, kHeight), editor.get(), kGUIEQGraph);
        frame->addView(graph);
        graph->setAnalyserOn(true);
        graph->setAnalyserType(0);
        graph->compose();
    }
    ~Scene() { frame->release(); }
};

void counters(benchmark::State& state, const gui::EQGraph::FrameCost& sum, double frames) {
    state.counters["bands_ms"] = 1e3 * sum.bands / frames;
    state.counters["totals_ms"] = 1e3 * sum.totals / frames;
    state.counters["analyser_ms"] = 1e3 * sum.analyser / frames;
    state.counters["grid_ms"] = 1e3 * sum.background / frames;
    state.counters["drawing_ms"] = 1e3 * sum.drawing / frames;
}

void add(gui::EQGraph::FrameCost& sum, const gui::EQGraph::FrameCost& c) {
    sum.bands += c.bands;
    sum.totals += c.totals;
    sum.analyser += c.analyser;
    sum.background += c.background;
    sum.drawing += c.drawing;
}

// Everything from scratch: every band designed and evaluated, the grid redrawn.
void BM_GraphFullFrameHuge(benchmark::State& state) {
    Scene s(static_cast<int>(state.range(0)));
    gui::EQGraph::FrameCost sum;
    for (auto _ : state) {
        s.graph->invalidateCurves();
        s.graph->invalidateBackground();
        benchmark::DoNotOptimize(s.graph->compose());
        add(sum, s.graph->lastFrameCost());
    }
    counters(state, sum, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_GraphFullFrameHuge)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->MeasureProcessCPUTime();

// A drag: one band moves each frame, the analyser runs, the grid stays.
void BM_GraphDragFrameHuge(benchmark::State& state) {
    Scene s(static_cast<int>(state.range(0)));
    gui::EQGraph::FrameCost sum;
    int i = 0;
    for (auto _ : state) {
        setReal(*s.plug, bandParam(12, kBandFrequency), 800.0 + (i++ % 50) * 10.0);
        s.graph->recompute();
        benchmark::DoNotOptimize(s.graph->compose());
        add(sum, s.graph->lastFrameCost());
    }
    counters(state, sum, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_GraphDragFrameHuge)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->MeasureProcessCPUTime();

// The frame's update when nothing changed: the graph is not dirty, nothing is drawn.
void BM_GraphIdleUpdate(benchmark::State& state) {
    Scene s(0);
    s.graph->setAnalyserOn(false);
    s.frame->updateDirty();
    for (auto _ : state) {
        s.frame->idle();
        benchmark::DoNotOptimize(s.frame->lastUpdateArea());
    }
    state.counters["pixels_drawn"] = s.frame->lastUpdateArea();
}
BENCHMARK(BM_GraphIdleUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace hm
