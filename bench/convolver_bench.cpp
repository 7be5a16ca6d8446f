// Convolver cost per sample (Google Benchmark, 256-frame blocks), mono and linked
// stereo, L = 1024 .. 262144.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "dsp/fir/Convolver.h"

namespace {

void BM_Convolver(benchmark::State& state)
{
    const int length = static_cast<int>(state.range(0));
    const int channels = static_cast<int>(state.range(1));
    const int block = 256;
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<double> h(static_cast<std::size_t>(length));
    for (auto& v : h) v = u(rng) * 0.01;
    hm::dsp::Convolver conv(length, channels);
    conv.load(h.data(), length);
    // Fresh noise every block (output fed back as input would decay into
    // denormal numbers and measure those instead).
    std::vector<double> l(block * 64), r(block * 64), outL(block), outR(block);
    for (auto& v : l) v = u(rng);
    for (auto& v : r) v = u(rng);
    std::size_t at = 0;
    for (auto _ : state) {
        if (channels == 2) conv.processStereo(l.data() + at, r.data() + at, outL.data(), outR.data(), block);
        else conv.process(l.data() + at, outL.data(), block);
        at = (at + block) % l.size();
        benchmark::DoNotOptimize(outL.data());
    }
    state.SetItemsProcessed(state.iterations() * block);  // items = sample frames
}

}  // namespace

BENCHMARK(BM_Convolver)->ArgsProduct({benchmark::CreateRange(1024, 262144, 2), {1, 2}});
BENCHMARK_MAIN();
