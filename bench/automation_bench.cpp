// What host automation costs the audio thread, which designs every change made
// before a processing call at that call's start: one band's gain moved before
// every block, and a program change of 32 bands, each against the same instance
// left alone. Time per 512-frame stereo block at 48 kHz ("block_us" = CPU
// microseconds of one call, design included).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/Plug.h"

namespace hm {
namespace {

constexpr float kRate = 48000.0f;
constexpr int kFrames = 512;

vst::VstIntPtr silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void setReal(Plug& plug, int index, double real) {
    plug.setParameter(index, static_cast<float>(plug.realToNormalised(index, real)));
}

// `bands` bands of mixed types (peaks only when `peaks`), spread over the range;
// `variant` moves every frequency and gain so that two programs differ everywhere.
void configure(Plug& plug, int bands, bool peaks, int variant) {
    for (int b = 0; b < bands; ++b) {
        setReal(plug, bandParam(b, kBandType), peaks ? 1 : 1 + b % 6);
        setReal(plug, bandParam(b, kBandFrequency), 30.0 * std::pow(500.0, b / 31.0) * (variant ? 1.1 : 1.0));
        setReal(plug, bandParam(b, kBandGain), (b % 2 ? 4.0 : -4.0) + variant);
        setReal(plug, bandParam(b, kBandQ), 1.5);
        setReal(plug, bandParam(b, kBandSlope), 24);
        setReal(plug, bandParam(b, kBandState), 2);
    }
}

struct Rig {
    Plug plug{silentHost, 2};
    std::vector<float> left = std::vector<float>(kFrames), right = left, outL = left, outR = left;
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outL.data(), outR.data()};
    Rig() {
        plug.setSampleRate(kRate);
        plug.resume();
        for (int i = 0; i < kFrames; ++i) {
            left[static_cast<std::size_t>(i)] = static_cast<float>(0.3 * std::sin(i * 0.07));
            right[static_cast<std::size_t>(i)] = static_cast<float>(0.3 * std::sin(i * 0.011 + 1.0));
        }
    }
    void block() {
        plug.processReplacing(in, out, kFrames);
        benchmark::DoNotOptimize(outL.data());
    }
};

void report(benchmark::State& state) {
    state.counters["block_us"] = benchmark::Counter(static_cast<double>(state.iterations()) * 1e-6,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Eight peaks; band 1's gain automated before every block (a new value each time).
void BM_EightPeaksStatic(benchmark::State& state) {
    Rig rig;
    configure(rig.plug, 8, true, 0);
    rig.block();
    for (auto _ : state) rig.block();
    report(state);
}

void BM_EightPeaksOneBandAutomatedEveryBlock(benchmark::State& state) {
    Rig rig;
    configure(rig.plug, 8, true, 0);
    rig.block();
    long k = 0;
    for (auto _ : state) {
        rig.plug.setParameter(bandParam(0, kBandGain), 0.4f + 0.2f * static_cast<float>(k++ % 64) / 64.0f);
        rig.block();
    }
    report(state);
}

// Two programs of 32 mixed bands that differ in every band; the host switches
// between them on the audio thread before every block, so each block designs all 32.
void BM_ThirtyTwoBandsStatic(benchmark::State& state) {
    Rig rig;
    configure(rig.plug, 32, false, 0);
    rig.block();
    for (auto _ : state) rig.block();
    report(state);
}

void BM_ThirtyTwoBandProgramChangeEveryBlock(benchmark::State& state) {
    Rig rig;
    for (int p = 0; p < 2; ++p) {
        rig.plug.setProgram(p);
        configure(rig.plug, 32, false, p);
    }
    rig.block();
    long k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.plug.setProgram(static_cast<int>(k++ % 2));  // on the audio thread: designed by the next call
        state.ResumeTiming();
        rig.block();
    }
    report(state);
}

BENCHMARK(BM_EightPeaksStatic)->MeasureProcessCPUTime();
BENCHMARK(BM_EightPeaksOneBandAutomatedEveryBlock)->MeasureProcessCPUTime();
BENCHMARK(BM_ThirtyTwoBandsStatic)->MeasureProcessCPUTime();
BENCHMARK(BM_ThirtyTwoBandProgramChangeEveryBlock)->MeasureProcessCPUTime();

}  // namespace
}  // namespace hm
