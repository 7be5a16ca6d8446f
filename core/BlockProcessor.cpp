#include "core/BlockProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/SampleBlocks.h"
#include "dsp/DenormalGuard.h"

namespace hm {

BlockProcessor::BlockProcessor(dsp::EQBank& bank)
    : bank_(bank),
      work_(std::make_unique<double[]>(8u * kChunkFrames)),
      dry_(std::make_unique<double[]>(8u * kDryRingFrames)),
      meterCopy_(std::make_unique<double[]>(8u * kChunkFrames)) {
    for (int c = 0; c < 8; ++c) {
        channel_[c] = work_.get() + static_cast<std::size_t>(c) * kChunkFrames;
        meterSource_[c] = meterCopy_.get() + static_cast<std::size_t>(c) * kChunkFrames;
    }
}

void BlockProcessor::publish() {
    handover_.back() = draft_;
    handover_.publish();
}

// Subnormal tails of the filters and convolvers cost the floating-point unit many
// times the normal price; the host's own control state comes back after the block.
bool BlockProcessor::process(float** inputs, float** outputs, int frames) {
    dsp::DenormalGuard denormals;
    return run(inputs, outputs, frames);
}
bool BlockProcessor::process(double** inputs, double** outputs, int frames) {
    dsp::DenormalGuard denormals;
    return run(inputs, outputs, frames);
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
    std::memset(dry_.get(), 0, sizeof(double) * 8u * kDryRingFrames);
    dryPosition_ = 0;
    for (int c = 0; c < 8; ++c) currentGain_[c] = s.targetGain[c];
}

template <typename T>
bool BlockProcessor::run(T** inputs, T** outputs, int frames) {
    adoptSettings();
    bank_.beginBlock();
    const ProcessSettings& s = handover_.front();
    const int channels = std::clamp(s.channels, 1, 8);
    if (s.inputs != s.outputs || !inputs || !outputs || frames <= 0) return false;
    for (int c = 0; c < channels; ++c)
        if (!inputs[c] || !outputs[c]) return false;
    for (int c = 0; c < channels; ++c) host_[s.order[c] & 7] = channel_[c];

    for (int offset = 0; offset < frames; offset += kChunkFrames) {
        const int n = std::min(kChunkFrames, frames - offset);
        for (int c = 0; c < channels; ++c) {
            // Non-finite input would stay in the recursive filters for good: it
            // enters as silence instead.
            loadFinite(inputs[s.order[c]] + offset, channel_[c], n);
        }
        processChunk(s, n);
        for (int c = 0; c < channels; ++c) {
            T* out = outputs[s.order[c]] + offset;
            const double* w = channel_[c];
            for (int i = 0; i < n; ++i) out[i] = static_cast<T>(w[i]);
        }
    }
    return true;
}

void BlockProcessor::processChunk(const ProcessSettings& s, int n) {
    const int channels = std::clamp(s.channels, 1, 8);
    // The two meter sets see the signal at two points of the chain; the first point
    // is copied aside so that both sets are updated together at the second.
    if (s.meterInput) copyForMeters(host_, channels, n);

    for (int k = 0; 2 * k + 1 < channels; ++k) {
        if (!((s.msMask >> k) & 1)) continue;
        double* a = channel_[2 * k];
        double* b = channel_[2 * k + 1];
        for (int i = 0; i < n; ++i) {
            const double mid = a[i] + b[i];
            b[i] = a[i] - b[i];
            a[i] = mid;
        }
    }

    if (s.meterInput)
        analysis::updateMeterSets(outputMeters_, meterSource_, processingMeters_, channel_, channels, n, s.attack, s.release);
    rings_.writePre(channel_, channels, n);

    if (!s.bypass) {
        if (wasBypassed_) {
            // The filters did not run while bypassed: start them from silence rather
            // than from the memories of the input before the bypass.
            for (int c = 0; c < channels; ++c) bank_.resetChannel(c);
            wasBypassed_ = false;
        }
        forDryRuns(channels, n, [](double* ring, double* work, int run) {
            std::memcpy(ring, work, sizeof(double) * static_cast<std::size_t>(run));
        });
        bank_.process(n, channel_, channels);
        for (int c = 0; c < channels; ++c) {
            // A filter that went non-finite (a pathological design) is restarted
            // rather than left silent or screaming until the next resume.
            if (!allFinite(channel_[c], n)) {
                bank_.resetChannel(c);
                std::memset(channel_[c], 0, sizeof(double) * static_cast<std::size_t>(n));
            }
        }
        applyGains(s, n);
    } else {
        wasBypassed_ = true;
        if (bank_.processLatency() != 0) {
            // Latency-aligned bypass: the input comes out 4096 frames later.
            forDryRuns(channels, n, [](double* ring, double* work, int run) { std::swap_ranges(ring, ring + run, work); });
        }
    }

    if (!s.meterInput) copyForMeters(channel_, channels, n);
    rings_.writePost(channel_, channels, n);
    listen(s, n);
    if (!s.meterInput)
        analysis::updateMeterSets(processingMeters_, meterSource_, outputMeters_, host_, channels, n, s.attack, s.release);
    if (!clip_.load(std::memory_order_relaxed) && analysis::exceedsThreshold(channel_, channels, n, s.clipThreshold))
        clip_.store(true, std::memory_order_relaxed);
}

void BlockProcessor::copyForMeters(const double* const* from, int channels, int n) {
    for (int c = 0; c < channels; ++c)
        std::memcpy(meterCopy_.get() + static_cast<std::size_t>(c) * kChunkFrames, from[c], sizeof(double) * static_cast<std::size_t>(n));
}

// Visits the dry ring's slots for the next n frames of every channel as at most two
// runs of consecutive slots, with the matching part of the work buffer, then
// moves the ring position on.
template <typename Fn>
void BlockProcessor::forDryRuns(int channels, int n, Fn&& fn) {
    for (int done = 0; done < n;) {
        const int run = std::min(n - done, kDryRingFrames - dryPosition_);
        for (int c = 0; c < channels; ++c)
            fn(dry_.get() + static_cast<std::size_t>(c) * kDryRingFrames + dryPosition_, channel_[c] + done, run);
        done += run;
        dryPosition_ = (dryPosition_ + run) & (kDryRingFrames - 1);
    }
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
    for (int k = 0; 2 * k + 1 < channels; ++k) {
        if (!((s.msMask >> k) & 1)) continue;
        double* a = channel_[2 * k];
        double* b = channel_[2 * k + 1];
        for (int i = 0; i < n; ++i) {
            const double mid = a[i], side = b[i];
            a[i] = (mid + side) * 0.5;
            b[i] = (mid - side) * 0.5;
        }
    }
}

}  // namespace hm
