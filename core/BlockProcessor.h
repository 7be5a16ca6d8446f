#pragma once
// The audio road of one block: host buffers into double work buffers in
// processing order, mid/side, the filter bank, output gains, bypass, listening,
// meters, analyser capture and clip latch, and back to the host.
//
// Bypass only chooses what is heard: the filter bank keeps running, so leaving
// bypass continues exactly where continuous processing would be, and the output
// crossfades over a few milliseconds between the processed signal and the bank's
// dry signal, which is delayed by the latency of what the bank runs.
//
// The owner fills the settings draft and publishes it (serialised, never on the
// audio thread); process() adopts the newest published record at the start of a
// call. All buffers exist from construction for eight channels, so nothing on the
// audio thread allocates, locks or waits.
#include <atomic>
#include <cstdint>
#include <memory>

#include "analysis/AnalyserRings.h"
#include "analysis/Meters.h"
#include "analysis/ReaderLease.h"
#include "core/ProcessSettings.h"
#include "dsp/EQBank.h"
#include "dsp/TripleBuffer.h"

namespace hm {

constexpr int kChunkFrames = 1024;
constexpr double kGainRampCoefficient = 0.01;
constexpr double kGainSnap = 0.000001;

class BlockProcessor {
public:
    explicit BlockProcessor(dsp::EQBank& bank);

    // Writer side (update thread, serialised by the owner).
    ProcessSettings& draft() { return draft_; }
    void publish();

    // Audio thread. Missing inputs (null, or fewer than the outputs) are silence;
    // null output buffers are not written. Returns false when there is nothing to
    // write to (no output array, no frames). `start`: the first frame of the host's
    // buffers this stretch covers (a processing call cut into stretches).
    bool process(float** inputs, float** outputs, int frames, int start = 0);
    bool process(double** inputs, double** outputs, int frames, int start = 0);

    // Readers (any thread). Reading the meters keeps them measuring (ReaderLease.h).
    double channelLevel(int channel) const {
        meterLease_.renew();
        return processingMeters_.level(channel);
    }
    double outputLevel(int channel) const {
        meterLease_.renew();
        return outputMeters_.level(channel);
    }
    bool clipFlag() const { return clip_.load(std::memory_order_relaxed); }
    void setClipFlag(bool flag) { clip_.store(flag, std::memory_order_relaxed); }
    analysis::AnalyserRings& rings() { return rings_; }
    // Gain applied to the last sample of a processing channel (audio side; tests).
    double currentGain(int channel) const { return currentGain_[channel & 7]; }

private:
    template <typename T>
    bool run(T** inputs, T** outputs, int frames, int start);
    void adoptSettings();
    void processChunk(const ProcessSettings& s, int n, bool metering, bool capturing);
    void applyGains(const ProcessSettings& s, int n);
    void copyForMeters(const double* const* from, int channels, int n);
    void mixBypass(const ProcessSettings& s, int n);
    void listen(const ProcessSettings& s, int n);

    dsp::EQBank& bank_;
    dsp::TripleBuffer<ProcessSettings> handover_;
    ProcessSettings draft_;

    // Audio side.
    std::uint32_t resetSeen_ = 0;
    double currentGain_[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    std::unique_ptr<double[]> work_;
    std::unique_ptr<double[]> dryWork_;
    std::unique_ptr<double[]> meterCopy_;  // the first meter point's signal, per channel
    double* meterSource_[8] = {};
    double bypassMix_ = 0.0;   // 0: processed, 1: dry
    double* channel_[8] = {};   // processing order
    double* dry_[8] = {};       // the bank's latency-aligned dry signal, processing order
    const double* host_[8] = {};  // the same buffers by host channel, for the output-domain meters
    analysis::MeterSet processingMeters_;
    analysis::MeterSet outputMeters_;
    analysis::ReaderLease meterLease_;
    analysis::AnalyserRings rings_;
    std::atomic<bool> clip_{false};
};

}  // namespace hm
