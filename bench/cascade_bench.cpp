// The recursive sections of a filter bank on a stereo pair: the scalar cascade
// against the vectorised pipeline, static and gliding, per path. Reported as
// nanoseconds per section and sample of one channel ("ns_per_section_sample").
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "bench/BenchBanks.h"
#include "dsp/cascade/CascadePath.h"

namespace hm {
namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 512;

// 32 peaks spread from 20 Hz to 20 kHz (32 sections), or passes of order 8 (128).
void configure(dsp::EQBank& bank, bool passes) {
    bench::spreadBands(bank, kRate, [passes](int b) {
        return passes ? (b % 2 ? dsp::kTypeHighPass : dsp::kTypeLowPass) : dsp::kTypePeak;
    });
}

void run(benchmark::State& state, dsp::CascadePath path, bool passes, bool gliding) {
    dsp::forceCascadePath(path);
    if (dsp::activeCascadePath() != path) {
        state.SkipWithError("path not available on this processor");
        dsp::clearForcedCascadePath();
        return;
    }
    dsp::EQBank bank;
    configure(bank, passes);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 0.3);
    std::vector<double> source(1 << 15);
    for (double& v : source) v = noise(random);
    std::vector<double> left(kBlock), right(kBlock);
    double* buffers[2] = {left.data(), right.data()};
    std::size_t at = 0;
    long k = 0;
    for (auto _ : state) {
        if (gliding) {
            // New gains every block (as under automation), designed off the clock.
            state.PauseTiming();
            for (int b = 0; b < 32; ++b) bank.setGain(k % 2 ? 2.0f : 4.0f, b, -1);
            bank.setMode(0);
            state.ResumeTiming();
        }
        if (at + kBlock > source.size()) at = 0;
        std::copy_n(source.begin() + static_cast<long>(at), kBlock, left.begin());
        std::copy_n(source.begin() + static_cast<long>(at) + 7, kBlock, right.begin());
        at += kBlock;
        bank.process(kBlock, buffers, 2);
        benchmark::DoNotOptimize(left.data());
        ++k;
    }
    const double sectionSamples = static_cast<double>(state.iterations()) * kBlock * (passes ? 128 : 32);
    state.counters["ns_per_section_sample"] =
        benchmark::Counter(sectionSamples * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    dsp::clearForcedCascadePath();
}

void BM_Cascade(benchmark::State& s) {
    run(s, static_cast<dsp::CascadePath>(s.range(0)), s.range(1) != 0, s.range(2) != 0);
}
// Arguments: path (0 scalar, 1 SSE2, 2 AVX2, 3 AVX-512), passes, gliding. A gliding run
// redesigns every block off the clock, which takes far longer than the block:
// a fixed number of blocks keeps its wall time short.
BENCHMARK(BM_Cascade)->ArgNames({"path", "passes", "glide"})->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0}});
BENCHMARK(BM_Cascade)->ArgNames({"path", "passes", "glide"})->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {1}})->Iterations(60);

}  // namespace
}  // namespace hm
