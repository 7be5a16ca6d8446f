// The editor's graph: a stereo bank's digital response at 1300 pixel columns
// (20 Hz to 20 kHz), asked column by column of the bank, or through
// ResponseCurves with every band re-evaluated, one band changed, or nothing changed.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/BenchBanks.h"
#include "dsp/ResponseCurves.h"

namespace hm {
namespace {

constexpr int kColumns = 1300;

std::vector<double> columns() {
    std::vector<double> hz(kColumns);
    for (int j = 0; j < kColumns; ++j) hz[static_cast<std::size_t>(j)] = 20.0 * std::pow(1000.0, j / (kColumns - 1.0));
    return hz;
}

void configure(dsp::EQBank& bank) {
    bench::spreadBands(bank, 48000.0f, [](int b) { return b % 5 == 1 ? dsp::kTypeHighPass : dsp::kTypePeak; });
}

void BM_GraphColumnByColumn(benchmark::State& state) {
    dsp::EQBank bank;
    configure(bank);
    const std::vector<double> hz = columns();
    std::vector<float> out(kColumns);
    for (auto _ : state) {
        for (int j = 0; j < kColumns; ++j)
            out[static_cast<std::size_t>(j)] = bank.getDigitalMagnitude(static_cast<float>(hz[static_cast<std::size_t>(j)]), 0);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_GraphColumnByColumn)->Unit(benchmark::kMicrosecond);

// Argument: 0 every band evaluated (the columns were set anew), 1 one band
// redesigned between frames (off the clock), 2 nothing changed.
void BM_GraphResponseCurves(benchmark::State& state) {
    dsp::EQBank bank;
    configure(bank);
    const std::vector<double> hz = columns();
    dsp::ResponseCurves curves;
    curves.setFrequencies(hz.data(), kColumns);
    curves.update(bank, 0);
    long k = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) curves.setFrequencies(hz.data(), kColumns);
        if (state.range(0) == 1) {
            state.PauseTiming();
            bank.setGain(k % 2 ? 3.0f : 4.0f, 7, -1);
            bank.recalc(true);
            state.ResumeTiming();
        }
        curves.update(bank, 0);
        benchmark::DoNotOptimize(curves.channelMagnitude());
        ++k;
    }
}
BENCHMARK(BM_GraphResponseCurves)->ArgName("change")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace hm
