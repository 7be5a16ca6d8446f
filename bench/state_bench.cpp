// Cost of restoring state: a bank chunk (a project load) and a preset chunk (a
// preset chosen in the host's browser) applied to a running instance, with 32
// bands on so every band is redesigned once the load ends.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "core/Plug.h"

namespace hm {
namespace {

vst::VstIntPtr silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void setReal(Plug& plug, int index, double real) {
    plug.setParameter(index, static_cast<float>(plug.realToNormalised(index, real)));
}

// The chunk of an instance with 32 mixed bands on.
std::string chunkOf32Bands(bool preset) {
    Plug source(silentHost, 2);
    for (int b = 0; b < 32; ++b) {
        setReal(source, bandParam(b, kBandType), 1 + b % 6);
        setReal(source, bandParam(b, kBandFrequency), 30.0 * std::pow(500.0, b / 31.0));
        setReal(source, bandParam(b, kBandGain), b % 2 ? 4.0 : -4.0);
        setReal(source, bandParam(b, kBandState), 2);
    }
    void* data = nullptr;
    const vst::VstInt32 bytes = source.getChunk(&data, preset);
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(bytes));
}

void restore(benchmark::State& state, bool preset) {
    const std::string chunk = chunkOf32Bands(preset);
    Plug plug(silentHost, 2);
    plug.leaveSharedTimer();
    plug.setSampleRate(48000.0f);
    plug.resume();
    std::string copy;
    for (auto _ : state) {
        copy = chunk;  // the host's buffer; the instance may not keep it
        const vst::VstInt32 applied = plug.setChunk(copy.data(), static_cast<vst::VstInt32>(copy.size()), preset);
        benchmark::DoNotOptimize(applied);
        plug.onTimer();  // what a tick finishes after the load
    }
    state.counters["chunk_bytes"] = static_cast<double>(chunk.size());
}

void BM_RestoreBankChunk(benchmark::State& state) { restore(state, false); }
void BM_RestorePresetChunk(benchmark::State& state) { restore(state, true); }

BENCHMARK(BM_RestoreBankChunk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestorePresetChunk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hm
