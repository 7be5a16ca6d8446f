#pragma once
// Zero-latency partitioned convolution of one channel, or of two channels sharing
// one impulse ("linked" stereo), with the FFT work spread evenly over the samples.
//
// Layout of an impulse of L taps (L a power of two):
//   taps [0, D), D = min(L, 32): direct multiply-add per sample;
//   then for P = 16, 32, ..., L/4: two partitions of P taps, [2P, 3P) and [3P, 4P).
// Each partition size P runs uniformly partitioned overlap-save convolution with
// transforms of 2P points: when an input block of P samples completes at sample t0,
// its spectrum joins the previous block's spectrum in a two-slot delay line, both
// multiply their partition's spectrum, and one inverse transform gives the block's
// contribution to outputs t0+P+1 .. t0+2P. That leaves P samples between the block's
// completion and the first output it feeds, and the job (load, forward transform,
// products, inverse transform, accumulate) is cut into small slices of which every
// sample does its share. Every output sample is still exactly the convolution of
// all inputs so far with the impulse; no single sample carries a whole transform.
// Stereo packs left and right into the real and imaginary parts of one transform
// of 2P points; mono packs sample pairs into a transform of P points and splits
// the real spectrum out of it (RealSplit.h).
//
// Impulse changes: load() (one writer thread, never the audio thread) partitions
// and transforms the impulse into a spare set and posts it. process() adopts the
// newest posted set at the start of a call: direct taps and every partition job
// that has not yet begun its products use the new set at once, so outputs from
// L/2 samples after adoption on are exactly the new convolution. The replaced set
// goes back to the writer only when no running job still reads it; the writer
// never waits and the audio thread never frees or allocates.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/fft/Fft.h"

namespace hm::dsp {

class Convolver {
public:
    static constexpr int kDirectTaps = 32;      // first sample and the partitions up to 16
    static constexpr int kSmallestPart = 16;
    static constexpr int kChunk = 1024;         // process() works in chunks of at most this
    static constexpr std::size_t kSliceBlock = 256;  // transform points finished in one slice

    // length: a power of two >= 1 (other values are rounded up); channels: 1 or 2.
    // Allocates everything; the convolver starts with a zero impulse.
    Convolver(int length, int channels);
    ~Convolver();
    Convolver(const Convolver&) = delete;
    Convolver& operator=(const Convolver&) = delete;

    int length() const { return length_; }
    int channels() const { return channels_; }

    // Writer thread: partitions and transforms count samples (zero-padded or cut to
    // length()) and posts them for adoption. Not for the audio thread. `latency`
    // names the impulse's time zero (it travels with it; see latency()).
    void load(const double* impulse, int count, int latency = 0);
    // True while a posted impulse waits for process() to adopt it.
    bool staged() const { return pending_.load(std::memory_order_acquire) != nullptr; }

    // Audio thread. in and out may be the same array. No allocation, no locks.
    void process(const double* in, double* out, int count);
    void processStereo(const double* inL, const double* inR, double* outL, double* outR, int count);
    double processSample(double x);

    // Audio thread: the latency given with the impulse in use.
    int latency() const;
    // Audio thread, after process(): the last `count` inputs of `channel` (0 or 1),
    // each `delay` samples earlier (0 <= delay <= length()), read from the input
    // history the convolution keeps anyway. Inputs from before the convolver's
    // first sample read as silence.
    void delayedInput(int channel, int delay, double* out, int count) const;

    // Zeroes the running state (history, accumulators, delay lines, position). Not
    // concurrently with process(), and never on the audio thread (it touches every
    // buffer): a running filter bank replaces a stage instead of clearing it.
    void clear();
    // How many times any convolver in the process was cleared (tests check that
    // running audio never does it).
    static std::uint64_t clearCount();

private:
    struct PartitionSet;
    struct Level;
    struct Step;

    void processChunk(const double* const* in, double* const* out, int count);
    void adopt();
    bool referenced(const PartitionSet* set) const;
    void startJob(Level& level, std::int64_t t0);
    void runJob(Level& level, std::int64_t targetUnits);
    void runStep(Level& level, const Step& step, std::size_t begin, std::size_t end);
    PartitionSet* takeSpareSet();

    int length_;
    int channels_;
    int directTaps_;
    Fft fft_;
    std::vector<Level> levels_;

    // Input history and output accumulators, rings indexed by absolute sample time.
    std::size_t historyMask_ = 0, accMask_ = 0;
    std::vector<double> history_[2];
    std::vector<double> acc_[2];
    std::vector<double> directLine_[2];  // last D-1 inputs followed by the chunk
    std::int64_t position_ = 0;

    // Partition sets: the audio thread owns active_ and draining_; pending_ carries a
    // new set to it and returned_ carries a retired one back to the writer.
    std::vector<std::unique_ptr<PartitionSet>> sets_;  // writer-owned storage
    std::vector<PartitionSet*> spare_;                 // writer only
    std::atomic<PartitionSet*> pending_{nullptr};
    std::atomic<PartitionSet*> returned_{nullptr};
    PartitionSet* active_ = nullptr;
    PartitionSet* draining_ = nullptr;
};

}  // namespace hm::dsp
