// Redesign cost on the settings-update thread: 32 changed mixed bands (new gains,
// moved frequencies, or a bank designed for the first time) and one band swept in
// frequency as automation does, at 48 kHz in a stereo bank (each band designed
// once, its other channel copied).
#include <benchmark/benchmark.h>

#include <cmath>

#include "dsp/EQBank.h"

namespace hm {
namespace {

constexpr float kRate = 48000.0f;
constexpr int kTypes[6] = {dsp::kTypePeak,      dsp::kTypeHighPass, dsp::kTypeLowShelf,
                           dsp::kTypeHighShelf, dsp::kTypeLowPass,  dsp::kTypeNotch};

// Peaks, 48 dB/oct passes, shelves and notches spread from 30 Hz to 15 kHz.
void configure(dsp::EQBank& bank) {
    bank.setSampleRate(kRate);
    for (int b = 0; b < 32; ++b) {
        const int type = kTypes[b % 6];
        bank.setType(type, b, -1);
        bank.setSlope(type == dsp::kTypeHighPass || type == dsp::kTypeLowPass ? 8 : 2, b, -1);
        bank.setFrequency(static_cast<float>(30.0 * std::pow(500.0, b / 31.0)), b, -1);
        bank.setQ(1.5f, b, -1);
        bank.setGain(4.0f, b, -1);
        bank.setDisabled(0, b, -1);
    }
}

void BM_Redesign32BandsNewGains(benchmark::State& state) {
    dsp::EQBank bank;
    configure(bank);
    bank.setMode(0);
    long k = 0;
    for (auto _ : state) {
        for (int b = 0; b < 32; ++b) bank.setGain(k % 2 ? 4.0f : -4.0f, b, -1);
        bank.recalc(true);
        ++k;
    }
}
BENCHMARK(BM_Redesign32BandsNewGains)->Unit(benchmark::kMillisecond);

void BM_Redesign32BandsMovedFrequencies(benchmark::State& state) {
    dsp::EQBank bank;
    configure(bank);
    bank.setMode(0);
    long k = 0;
    for (auto _ : state) {
        for (int b = 0; b < 32; ++b)
            bank.setFrequency(static_cast<float>(30.0 * std::pow(500.0, b / 31.0) * (1.0 + 0.01 * (k % 10))), b, -1);
        bank.recalc(true);
        ++k;
    }
}
BENCHMARK(BM_Redesign32BandsMovedFrequencies)->Unit(benchmark::kMillisecond);

// A bank designed for the first time (a preset of 32 new bands), nothing to start from.
void BM_Design32BandsFromScratch(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        dsp::EQBank bank;
        configure(bank);
        state.ResumeTiming();
        bank.setMode(0);
    }
}
BENCHMARK(BM_Design32BandsFromScratch)->Unit(benchmark::kMillisecond);

// One band's frequency under automation: a step of 1 % per update, up and down
// between 2 and 8 kHz, where every design needs the fit. Argument: the band's type.
void BM_RedesignOneBandSweep(benchmark::State& state) {
    dsp::EQBank bank;
    configure(bank);
    const int type = static_cast<int>(state.range(0));
    bank.setType(type, 0, -1);
    bank.setSlope(8, 0, -1);
    bank.setMode(0);
    long k = 0;
    for (auto _ : state) {
        const long position = k % 280 < 140 ? k % 280 : 280 - k % 280;
        bank.setFrequency(static_cast<float>(2000.0 * std::pow(1.01, position)), 0, -1);
        bank.recalc(true);
        ++k;
    }
}
BENCHMARK(BM_RedesignOneBandSweep)->ArgName("type")->Arg(dsp::kTypePeak)->Arg(dsp::kTypeHighPass)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace hm
