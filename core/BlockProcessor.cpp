#include "core/BlockProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/SampleLoops.h"
#include "dsp/DenormalGuard.h"

namespace hm {

namespace {

// Eight channel buffers that start on cache lines (whole lines for the vector
// loops) and lie a line more than a multiple of 4 KiB apart, so that a loop over
// two channels does not take one's stores for the other's loads.
constexpr std::size_t kChannelStride = kChunkFrames + 8;  // doubles

double* channelBuffers(std::unique_ptr<double[]>& storage) {
    storage = std::make_unique<double[]>(8 * kChannelStride + 8);
    const auto at = reinterpret_cast<std::uintptr_t>(storage.get());
    return storage.get() + ((64 - at % 64) % 64) / sizeof(double);
}

}  // namespace

BlockProcessor::BlockProcessor(dsp::EQBank& bank) : bank_(bank) {
    double* work = channelBuffers(work_);
    double* dry = channelBuffers(dryWork_);
    double* meter = channelBuffers(meterCopy_);
    for (std::size_t c = 0; c < 8; ++c) {
        channel_[c] = work + c * kChannelStride;
        dry_[c] = dry + c * kChannelStride;
        meterSource_[c] = meter + c * kChannelStride;
    }
}

void BlockProcessor::publish() {
    handover_.back() = draft_;
    handover_.publish();
}

// Subnormal tails of the filters and convolvers cost the floating-point unit many
// times the normal price; the host's own control state comes back after the block.
bool BlockProcessor::process(float** inputs, float** outputs, int frames, int start) {
    dsp::DenormalGuard denormals;
    return run(inputs, outputs, frames, start);
}
bool BlockProcessor::process(double** inputs, double** outputs, int frames, int start) {
    dsp::DenormalGuard denormals;
    return run(inputs, outputs, frames, start);
}

void BlockProcessor::adoptSettings() {
    handover_.consume();
    const ProcessSettings& s = handover_.front();
    if (s.resetSerial == resetSeen_) return;
    // First block after a resume: clean history, and the gains start where they should be.
    resetSeen_ = s.resetSerial;
    rings_.clear();
    processingMeters_.clear();
    outputMeters_.clear();
    bypassMix_ = s.bypass ? 1.0 : 0.0;
    for (int c = 0; c < 8; ++c) currentGain_[c] = s.targetGain[c];
}

template <typename T>
bool BlockProcessor::run(T** inputs, T** outputs, int frames, int start) {
    adoptSettings();
    bank_.beginBlock();
    const ProcessSettings& s = handover_.front();
    const int channels = std::clamp(s.channels, 1, 8);
    if (!outputs || frames <= 0) return false;
    for (int c = 0; c < channels; ++c) host_[s.order[c] & 7] = channel_[c];
    // Meters and analyser capture run only while somebody reads them.
    bool freshMeters = false;
    const bool metering = meterLease_.run(frames, freshMeters);
    if (freshMeters) {
        processingMeters_.clear();
        outputMeters_.clear();
    }
    const bool capturing = rings_.capture(frames);
    const SampleLoops& loops = sampleLoops();

    for (int offset = 0; offset < frames; offset += kChunkFrames) {
        const int n = std::min(kChunkFrames, frames - offset);
        for (int c = 0; c < channels; ++c) {
            // A channel the host gives no input for (fewer inputs than outputs, or a
            // null buffer) is silence, so that its output never replays a stale buffer.
            const int h = s.order[c];
            const T* in = inputs && h < s.inputs && inputs[h] ? inputs[h] + start + offset : nullptr;
            // Non-finite input would stay in the recursive filters for good: it
            // enters as silence instead.
            if (!in)
                std::memset(channel_[c], 0, sizeof(double) * static_cast<std::size_t>(n));
            else if constexpr (std::is_same_v<T, float>)
                loops.loadFiniteFloat(in, channel_[c], n);
            else
                loops.loadFiniteDouble(in, channel_[c], n);
        }
        processChunk(s, n, metering, capturing);
        for (int c = 0; c < channels; ++c) {
            if (!outputs[s.order[c]]) continue;
            T* out = outputs[s.order[c]] + start + offset;
            if constexpr (std::is_same_v<T, float>)
                loops.storeFloat(channel_[c], out, n);
            else
                std::memcpy(out, channel_[c], sizeof(double) * static_cast<std::size_t>(n));
        }
    }
    return true;
}

void BlockProcessor::processChunk(const ProcessSettings& s, int n, bool metering, bool capturing) {
    const int channels = std::clamp(s.channels, 1, 8);
    // The two meter sets see the signal at two points of the chain; the first point
    // is copied aside so that both sets are updated together at the second.
    const bool meterIn = metering && s.meterInput, meterOut = metering && !s.meterInput;
    if (meterIn) copyForMeters(host_, channels, n);

    const SampleLoops& loops = sampleLoops();
    for (int k = 0; 2 * k + 1 < channels; ++k)
        if ((s.msMask >> k) & 1) loops.midSideEncode(channel_[2 * k], channel_[2 * k + 1], n);

    if (meterIn)
        analysis::updateMeterSets(outputMeters_, meterSource_, processingMeters_, channel_, channels, n, s.attack, s.release);
    if (capturing) rings_.writePre(channel_, channels, n);

    // The bank runs whether or not the output is bypassed; the dry signal is only
    // needed while bypass is on or fading.
    const bool dryNeeded = s.bypass || bypassMix_ != 0.0;
    bank_.process(n, channel_, channels, dryNeeded ? dry_ : nullptr);
    for (int c = 0; c < channels; ++c) {
        // A filter that went non-finite (a pathological design) is restarted
        // rather than left silent or screaming until the next resume.
        if (!loops.allFinite(channel_[c], n)) {
            bank_.resetChannel(c);
            std::memset(channel_[c], 0, sizeof(double) * static_cast<std::size_t>(n));
        }
    }
    applyGains(s, n);
    if (dryNeeded) mixBypass(s, n);

    if (meterOut) copyForMeters(channel_, channels, n);
    if (capturing) rings_.writePost(channel_, channels, n);
    listen(s, n);
    if (meterOut)
        analysis::updateMeterSets(processingMeters_, meterSource_, outputMeters_, host_, channels, n, s.attack, s.release);
    if (!clip_.load(std::memory_order_relaxed) && analysis::exceedsThreshold(channel_, channels, n, s.clipThreshold))
        clip_.store(true, std::memory_order_relaxed);
}

void BlockProcessor::copyForMeters(const double* const* from, int channels, int n) {
    for (int c = 0; c < channels; ++c)
        std::memcpy(meterSource_[c], from[c], sizeof(double) * static_cast<std::size_t>(n));
}

void BlockProcessor::applyGains(const ProcessSettings& s, int n) {
    const int channels = std::clamp(s.channels, 1, 8);
    for (int c = 0; c < channels; ++c) {
        double* w = channel_[c];
        const double target = s.targetGain[c];
        double g = currentGain_[c];
        if (g == target) {
            if (g != 1.0)
                for (int i = 0; i < n; ++i) w[i] *= g;
            continue;
        }
        for (int i = 0; i < n; ++i) {
            g += (target - g) * kGainRampCoefficient;
            w[i] *= g;
        }
        if (std::fabs(g - target) < kGainSnap) g = target;
        currentGain_[c] = g;
    }
}

// Crossfade between the processed signal (no output gain while bypassed: the dry
// signal carries none) and the latency-aligned dry one; both are the same signal
// in time, so an equal-gain fade leaves an unequalised passage untouched.
void BlockProcessor::mixBypass(const ProcessSettings& s, int n) {
    const int channels = std::clamp(s.channels, 1, 8);
    const double target = s.bypass ? 1.0 : 0.0;
    if (bypassMix_ == target) {  // fully bypassed
        for (int c = 0; c < channels; ++c) std::memcpy(channel_[c], dry_[c], sizeof(double) * static_cast<std::size_t>(n));
        return;
    }
    const double step = 1.0 / std::max(1, s.bypassFadeFrames);
    double m = bypassMix_;
    for (int c = 0; c < channels; ++c) {
        m = bypassMix_;
        double* w = channel_[c];
        const double* d = dry_[c];
        for (int i = 0; i < n; ++i) {
            m = target > m ? std::min(target, m + step) : std::max(target, m - step);
            w[i] += (d[i] - w[i]) * m;
        }
    }
    bypassMix_ = m;
}

void BlockProcessor::listen(const ProcessSettings& s, int n) {
    const int channels = std::clamp(s.channels, 1, 8);
    const int selection = s.auditioning ? s.auditionMask : s.soloMask;
    if (s.soloSelect && selection != 0) {
        // Selected channels are heard alone, summed into the first pair.
        double* out = channel_[0];
        if (!(selection & 1)) std::memset(out, 0, sizeof(double) * static_cast<std::size_t>(n));
        for (int c = 1; c < channels; ++c) {
            if (!((selection >> c) & 1)) continue;
            const double* w = channel_[c];
            for (int i = 0; i < n; ++i) out[i] += w[i];
        }
        for (int i = 0; i < n; ++i) out[i] *= 0.5;
        if (channels > 1) std::memcpy(channel_[1], out, sizeof(double) * static_cast<std::size_t>(n));
        return;
    }
    const SampleLoops& loops = sampleLoops();
    for (int k = 0; 2 * k + 1 < channels; ++k)
        if ((s.msMask >> k) & 1) loops.midSideDecode(channel_[2 * k], channel_[2 * k + 1], n);
}

}  // namespace hm
