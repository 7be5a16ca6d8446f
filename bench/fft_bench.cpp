// The FFT against FFTW3 (complex, in place, planned with FFTW_MEASURE) from 256 to 2^21
// points. Compare BM_Fft*/n with BM_Fftw/n at equal n.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <random>
#include <vector>

#include "dsp/fft/Fft.h"
#include "dsp/fft/RealFft.h"

namespace {

std::vector<double> noise(std::size_t count)
{
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<double> v(count);
    for (auto& x : v) x = u(rng);
    return v;
}

void BM_FftForward(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    hm::dsp::Fft fft(n);
    auto data = noise(2 * n);
    for (auto _ : state) {
        fft.forward(data.data(), n);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n));
}

void BM_FftScrambled(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    hm::dsp::Fft fft(n);
    auto data = noise(2 * n);
    for (auto _ : state) {
        fft.forwardScrambled(data.data(), n);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n));
}

void BM_Fftw(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    auto* data = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n));
    fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
    auto src = noise(2 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) { data[i][0] = src[2 * i]; data[i][1] = src[2 * i + 1]; }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(data);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n));
    fftw_destroy_plan(plan);
    fftw_free(data);
}

void BM_RealFft8192(benchmark::State& state)
{
    hm::dsp::RealFft rfft(8192);
    auto in = noise(8192);
    std::vector<double> out(8192);
    for (auto _ : state) {
        rfft.forward(in.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_FftwReal8192(benchmark::State& state)
{
    auto* in = static_cast<double*>(fftw_malloc(sizeof(double) * 8192));
    auto* out = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * 4097));
    fftw_plan plan = fftw_plan_dft_r2c_1d(8192, in, out, FFTW_MEASURE);
    auto src = noise(8192);
    for (int i = 0; i < 8192; ++i) in[i] = src[i];
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

}  // namespace

BENCHMARK(BM_FftForward)->RangeMultiplier(2)->Range(256, 1 << 21);
BENCHMARK(BM_FftScrambled)->RangeMultiplier(2)->Range(256, 1 << 21);
BENCHMARK(BM_Fftw)->RangeMultiplier(2)->Range(256, 1 << 21);
BENCHMARK(BM_RealFft8192);
BENCHMARK(BM_FftwReal8192);
BENCHMARK_MAIN();
