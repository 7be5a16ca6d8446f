// The graph's question: every band's digital response at 1300 pixel columns
// (20 Hz to 20 kHz), asked filter by filter and column by column (getResponse),
// or for all columns at once over points computed once (columnResponses).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/BenchBanks.h"
#include "dsp/ResponseColumns.h"

namespace hm {
namespace {

constexpr int kColumns = 1300;

struct Graph {
    dsp::EQBank bank;
    std::vector<double> hz, re, im;
    Graph() : hz(kColumns), re(kColumns), im(kColumns) {
        for (int j = 0; j < kColumns; ++j) hz[static_cast<std::size_t>(j)] = 20.0 * std::pow(1000.0, j / (kColumns - 1.0));
        bench::spreadBands(bank, 48000.0f, [](int b) { return b % 5 == 1 ? dsp::kTypeHighPass : dsp::kTypePeak; });
    }
};

void BM_GraphColumnByColumn(benchmark::State& state) {
    Graph g;
    for (auto _ : state) {
        for (int b = 0; b < 32; ++b) {
            const dsp::EQ* f = g.bank.getFilter(b, 0);
            for (int j = 0; j < kColumns; ++j) f->getResponse(g.hz[static_cast<std::size_t>(j)], &g.re[static_cast<std::size_t>(j)], &g.im[static_cast<std::size_t>(j)]);
        }
        benchmark::DoNotOptimize(g.re.data());
    }
}
BENCHMARK(BM_GraphColumnByColumn)->Unit(benchmark::kMicrosecond);

void BM_GraphColumnResponses(benchmark::State& state) {
    Graph g;
    dsp::ColumnPoints points;
    points.set(g.hz.data(), kColumns, 48000.0);
    for (auto _ : state) {
        for (int b = 0; b < 32; ++b) dsp::columnResponses(*g.bank.getFilter(b, 0), points, g.re.data(), g.im.data());
        benchmark::DoNotOptimize(g.re.data());
    }
}
BENCHMARK(BM_GraphColumnResponses)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace hm
