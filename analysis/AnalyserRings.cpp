#include "analysis/AnalyserRings.h"

#include <algorithm>
#include <atomic>

namespace hm::analysis {
namespace {

inline void put(double& slot, double v) { std::atomic_ref<double>(slot).store(v, std::memory_order_relaxed); }
inline double get(double& slot) { return std::atomic_ref<double>(slot).load(std::memory_order_relaxed); }

}  // namespace

int writeAnalyserRing(double* ring, int start, int frames, const double* samples) {
    int pos = start & (kRingSize - 1);
    if (!ring || frames <= 0) return (pos + (frames > 0 ? frames : 0)) & (kRingSize - 1);
    // At most two runs of consecutive slots: up to the ring's end, then from its start.
    for (int i = 0; i < frames;) {
        const int run = std::min(frames - i, kRingSize - pos);
        double* to = ring + pos;
        if (samples) {
            for (int k = 0; k < run; ++k) put(to[k], samples[i + k]);
        } else {
            for (int k = 0; k < run; ++k) put(to[k], 0.0);
        }
        i += run;
        pos = (pos + run) & (kRingSize - 1);
    }
    return pos;
}

AnalyserRings::AnalyserRings()
    : post_(std::make_unique<double[]>(static_cast<std::size_t>(kRingChannels) * kRingSize)) {}

bool AnalyserRings::capture(int frames) {
    bool fresh = false;
    const bool on = lease_.run(frames, fresh);
    if (fresh) clear();
    return on;
}

void AnalyserRings::writePre(const double* const* channels, int count, int frames) {
    if (!preOn_.load(std::memory_order_acquire)) return;
    const int start = position_.load(std::memory_order_relaxed);
    for (int c = 0; c < count && c < kRingChannels; ++c)
        writeAnalyserRing(pre_.get() + static_cast<std::size_t>(c) * kRingSize, start, frames, channels[c]);
}

void AnalyserRings::writePost(const double* const* channels, int count, int frames) {
    const int start = position_.load(std::memory_order_relaxed);
    int next = start;
    for (int c = 0; c < count && c < kRingChannels; ++c) next = writeAnalyserRing(postRing(c), start, frames, channels[c]);
    if (count <= 0) next = (start + frames) & (kRingSize - 1);
    position_.store(next, std::memory_order_release);
}

void AnalyserRings::clear() {
    for (int c = 0; c < kRingChannels; ++c) writeAnalyserRing(postRing(c), 0, kRingSize, nullptr);
    if (preOn_.load(std::memory_order_acquire))
        for (int c = 0; c < kRingChannels; ++c)
            writeAnalyserRing(pre_.get() + static_cast<std::size_t>(c) * kRingSize, 0, kRingSize, nullptr);
    position_.store(0, std::memory_order_release);
}

int AnalyserRings::readHistory(double* out, int count, int source, int channels) {
    if (!out || count <= 0) return 0;
    lease_.renew();
    if (count > kRingSize) count = kRingSize;
    double* ring;
    if (source >= 0 && source < channels) {
        ring = postRing(source & 7);
    } else {
        if (!preOn_.load(std::memory_order_acquire)) {
            std::lock_guard lock(createMutex_);
            if (!pre_) pre_ = std::make_unique<double[]>(static_cast<std::size_t>(kRingChannels) * kRingSize);
            preOn_.store(true, std::memory_order_release);
        }
        ring = pre_.get() + static_cast<std::size_t>((source - channels) & 7) * kRingSize;
    }
    const int end = position_.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i) out[i] = get(ring[(end - count + i + kRingSize) & (kRingSize - 1)]);
    return count;
}

}  // namespace hm::analysis
