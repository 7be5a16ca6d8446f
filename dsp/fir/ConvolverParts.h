#pragma once
// Internal records of the convolver (dsp/fir only): a partition set, the steps of
// one partition job and the per-size state. Shared by Convolver.cpp (layout,
// impulse hand-over, sample loop) and ConvolverJob.cpp (running the jobs).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dsp/fir/Convolver.h"

namespace hm::dsp {

struct Convolver::PartitionSet {
    std::vector<double> direct;   // directTaps_ taps
    // Per level, the spectra of partitions [2P,3P) and [3P,4P) in bit-reversed order,
    // scaled by 1 / transform size: stereo 2P complex bins each; mono the P-point
    // split real spectrum (DC and Nyquist packed at position 0).
    std::vector<double> spectra;
    int latency = 0;  // as given to load()
};

// One piece of a partition job, run over an element range. Units estimate the cost
// so that a job's slices can be spread evenly over its P samples.
struct Convolver::Step {
    enum Kind { Load, FwdStage, FwdBlocks, Split, Multiply, Merge, InvBlocks, InvStage, Accumulate } kind;
    std::size_t span;   // stage span or block size
    std::size_t count;  // elements: samples, butterflies, blocks or bins
    std::int64_t units; // per element
    std::size_t grain;  // smallest slice worth a call
};

struct Convolver::Level {
    std::size_t part;          // P
    std::size_t points;        // transform size: 2P (stereo) or P (mono, real split)
    std::size_t spectraOffset; // into PartitionSet::spectra
    std::vector<Step> steps;
    std::int64_t totalUnits = 0;
    std::vector<double> work;  // one transform, complex
    std::vector<double> slots; // two input spectra: the delay line
    std::vector<double> splitTw; // mono: twiddles of the real split
    // The running job.
    bool running = false;
    std::int64_t t0 = 0;
    std::size_t step = 0, element = 0;
    std::int64_t done = 0;
    int parity = 0;
    const PartitionSet* productSet = nullptr;  // set read by the products in progress
};

}  // namespace hm::dsp
