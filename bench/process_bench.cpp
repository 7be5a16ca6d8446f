// Cost of the whole instance at 48 kHz stereo in 1024-frame blocks, reported as
// CPU seconds per second of audio ("cpu_per_audio_s"). The cost of redesigning
// bands is in design_bench.cpp.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/Plug.h"

namespace hm {
namespace {

constexpr float kRate = 48000.0f;
constexpr int kFrames = 1024;

vst::VstIntPtr silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

enum class Layout { Off, Peaks8, Peaks32, Mixed32 };

void setReal(Plug& plug, int index, double real) {
    plug.setParameter(index, static_cast<float>(plug.realToNormalised(index, real)));
}

void configure(Plug& plug, Layout layout) {
    const int bands = layout == Layout::Off ? 0 : layout == Layout::Peaks8 ? 8 : 32;
    for (int b = 0; b < bands; ++b) {
        // Peaks; or, mixed, all six types with 48 dB/oct pass filters.
        const int type = layout == Layout::Mixed32 ? 1 + b % 6 : 1;
        setReal(plug, bandParam(b, kBandType), type);
        setReal(plug, bandParam(b, kBandFrequency), 30.0 * std::pow(500.0, b / 31.0));
        setReal(plug, bandParam(b, kBandGain), b % 2 ? 4.0 : -4.0);
        setReal(plug, bandParam(b, kBandQ), 1.5);
        setReal(plug, bandParam(b, kBandSlope), 48);
        setReal(plug, bandParam(b, kBandState), 2);
    }
}

void runInstance(benchmark::State& state, Layout layout, bool automate) {
    Plug plug(silentHost, 2);
    plug.setSampleRate(kRate);
    plug.setManualClock(0.0);
    plug.resume();
    configure(plug, layout);
    plug.setManualClock(1000.0);
    plug.updateProcessing(true);
    // A fresh stereo signal every block (feeding the output back in would decay it
    // into denormals and measure that instead).
    std::vector<float> left(kFrames), right(kFrames), outL(kFrames), outR(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        left[i] = static_cast<float>(0.3 * std::sin(i * 0.07));
        right[i] = static_cast<float>(0.3 * std::sin(i * 0.011 + 1.0));
    }
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outL.data(), outR.data()};
    double clock = 1000.0;
    long k = 0;
    for (auto _ : state) {
        if (automate) {
            // Every band gets a new gain each block, so every glide is always running.
            state.PauseTiming();
            for (int b = 0; b < 32; ++b)
                plug.setParameter(bandParam(b, kBandGain), 0.4f + 0.2f * static_cast<float>((k + b) % 2));
            clock += 1000.0;
            plug.setManualClock(clock);
            plug.onTimer();
            state.ResumeTiming();
        }
        plug.processReplacing(in, out, kFrames);
        benchmark::DoNotOptimize(outL.data());
        ++k;
    }
    const double audioSeconds = static_cast<double>(state.iterations()) * kFrames / kRate;
    state.counters["cpu_per_audio_s"] =
        benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_InstanceAllBandsOff(benchmark::State& s) { runInstance(s, Layout::Off, false); }
void BM_Instance8Peaks(benchmark::State& s) { runInstance(s, Layout::Peaks8, false); }
void BM_Instance32Peaks(benchmark::State& s) { runInstance(s, Layout::Peaks32, false); }
void BM_Instance32Mixed(benchmark::State& s) { runInstance(s, Layout::Mixed32, false); }
void BM_Instance32MixedGainsAutomated(benchmark::State& s) { runInstance(s, Layout::Mixed32, true); }
BENCHMARK(BM_InstanceAllBandsOff);
BENCHMARK(BM_Instance8Peaks);
BENCHMARK(BM_Instance32Peaks);
BENCHMARK(BM_Instance32Mixed);
BENCHMARK(BM_Instance32MixedGainsAutomated);

}  // namespace
}  // namespace hm
