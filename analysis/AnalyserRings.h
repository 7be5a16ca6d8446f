#pragma once
// Capture rings of the spectrum analyser: the last 8192 samples of every channel
// after the equaliser ("post"), and before it ("pre") once somebody asked for them.
// The rings are written only while they are read (ReaderLease.h); a capture that
// begins afresh starts from cleared rings rather than from a moment long gone.
//
// The audio thread writes; editors read from their own threads. Samples are
// written and read as relaxed atomics, so a reader may see a few samples of the
// block being written (accepted: one display frame), but never a torn value. The
// pre rings are created on the reader's side; their pointer is in place before
// the flag that lets the audio thread write them becomes visible.
#include <atomic>
#include <memory>
#include <mutex>

#include "analysis/ReaderLease.h"

namespace hm::analysis {

constexpr int kRingSize = 8192;
constexpr int kRingChannels = 8;

// Writes `frames` samples into ring at `start`, wrapping at kRingSize, and returns
// the new index; a null `samples` writes zeros.
int writeAnalyserRing(double* ring, int start, int frames, const double* samples);

class AnalyserRings {
public:
    AnalyserRings();

    // Audio thread, once per block of `frames`: whether the block is captured
    // (the writes below are skipped otherwise).
    bool capture(int frames);
    // Audio thread. Both writes of a sub-block start at the shared index; writePost
    // then advances it.
    void writePre(const double* const* channels, int count, int frames);
    void writePost(const double* const* channels, int count, int frames);
    void clear();
    bool preCapture() const { return preOn_.load(std::memory_order_acquire); }

    // Any thread. Copies the newest `count` samples (at most kRingSize) of one ring
    // into out, oldest first. source < channels reads that channel's post ring;
    // otherwise the pre ring of channel (source - channels) & 7, creating the pre
    // rings on first use. Returns the number of samples written.
    int readHistory(double* out, int count, int source, int channels);

private:
    double* postRing(int c) const { return post_.get() + static_cast<std::size_t>(c) * kRingSize; }

    std::unique_ptr<double[]> post_;
    std::unique_ptr<double[]> pre_;
    std::atomic<bool> preOn_{false};
    ReaderLease lease_;
    std::atomic<int> position_{0};
    std::mutex createMutex_;  // readers only
};

}  // namespace hm::analysis
