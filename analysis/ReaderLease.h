#pragma once
// Work that only a reader looks at (meter envelopes, analyser capture) runs
// while somebody reads it: every read renews a lease of kLeaseFrames frames of
// audio, and the audio thread does the work while a lease runs. An instance
// whose editor is closed and whose signal no other editor shows pays nothing
// for either. Readers look every few hundredths of a second; the lease covers
// more than half a second even at 384 kHz, so a reader that keeps reading never
// sees a gap.
//
// The first read after a lapse sees what stood when the lease ran out; the
// audio thread is told that the lease began afresh so it can clear that history
// before it measures again.
#include <atomic>
#include <cstdint>

namespace hm::analysis {

constexpr std::int64_t kLeaseFrames = 1 << 18;

class ReaderLease {
public:
    // Any thread.
    void renew() const { asked_.store(true, std::memory_order_relaxed); }

    // Audio thread, once per block of `frames`: whether the work runs for this
    // block; `fresh` is set when the lease begins after a lapse (or for the first time).
    bool run(int frames, bool& fresh) {
        fresh = false;
        if (asked_.load(std::memory_order_relaxed)) {
            asked_.store(false, std::memory_order_relaxed);
            fresh = left_ <= 0;
            left_ = kLeaseFrames;
        }
        if (left_ <= 0) return false;
        left_ -= frames;
        return true;
    }

private:
    mutable std::atomic<bool> asked_{false};
    std::int64_t left_ = 0;  // audio thread
};

}  // namespace hm::analysis
