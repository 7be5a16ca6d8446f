// The import's fit of bands to a filter list's textbook curve, for the lists
// the tests use (10 to 20 filters, peaks up to 19 kHz) at 44.1 and 48 kHz. It
// runs once per import, and an import must feel immediate: the budget is a
// tenth of a second for twenty filters on one core.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/peq/PeqFit.h"

namespace hm {
namespace {

std::string list(const char* name) {
    std::ifstream in(std::string(HM_BENCH_SOURCE_DIR) + "/tests/tools/reference/lists/" + name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const char* const kLists[] = {"speaker_room.txt", "overear_treble_cut.txt", "inear_high_q.txt", "twenty_peaks.txt"};

void BM_FitToTextbook(benchmark::State& state) {
    const peq::Import mapped = peq::importText(list(kLists[state.range(0)]));
    const double rate = state.range(1);
    for (auto _ : state) {
        peq::Import im = mapped;
        peq::fitToTextbook(im, rate);
        benchmark::DoNotOptimize(im.values.data());
    }
    state.SetLabel(std::string(kLists[state.range(0)]) + ", " + std::to_string(mapped.mapped.size()) + " filters");
}
BENCHMARK(BM_FitToTextbook)
    ->ArgsProduct({{0, 1, 2, 3}, {44100, 48000}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hm
