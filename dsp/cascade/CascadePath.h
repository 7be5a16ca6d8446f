#pragma once
// Which implementation runs the filter banks' recursive sections.
//
//  - Scalar: each band's cascade on its own, section by section over the block
//    (DF1Cascade::processDouble); the reference the vector paths must equal.
//  - Sse2: the vectorised pair pipeline (PairPipeline.h) on 128-bit registers,
//    which every x86-64 processor has; four lanes a vector.
//  - Avx2: the same on 256-bit registers, when the processor and the system
//    support AVX2.
//  - Avx512: eight lanes a vector in 512-bit registers, when the processor has
//    AVX-512F and the system saves its registers.
// All of them compute every sample with the same operations in the same order, so
// their outputs are identical.
//
// The choice is made once per process from the processor's features; the
// environment variable HARMONIFORM_CASCADE=scalar|sse2|avx2|avx512 (read once) or
// forceCascadePath (tests) can ask for another, and a path the processor lacks
// falls back to the next one below it. Any thread may call these.
#include "dsp/cascade/PackedGroup.h"

namespace hm::dsp {

enum class CascadePath { Scalar = 0, Sse2 = 1, Avx2 = 2, Avx512 = 3 };

// The fastest path this processor and system can run.
CascadePath detectCascadePath();
// The path in use: the forced or requested one where available, else the detected one.
CascadePath activeCascadePath();
void forceCascadePath(CascadePath path);
void clearForcedCascadePath();
bool cascadePathAvailable(CascadePath path);
const char* cascadePathName(CascadePath path);
// The path a name (as cascadePathName gives it, and HARMONIFORM_CASCADE takes it)
// stands for; false for any other text or null.
bool cascadePathNamed(const char* text, CascadePath& path);

// What a vector path runs: its group kernel, the copies of a channel pair into
// and out of the interleaved (L, R) block the groups work on, and the lanes a
// vector of its groups holds (the groups are packed for that width).
struct CascadeKernel {
    // The packed groups in order over a block of n interleaved (L, R) samples,
    // in place.
    void (*run)(PackedGroup* groups, int count, double* io, int n);
    // io[2i] = left[i], io[2i + 1] = right[i].
    void (*interleave)(const double* left, const double* right, double* io, int n);
    // left[i] = io[2i], and right[i] = io[2i + 1] unless right is null.
    void (*deinterleave)(const double* io, double* left, double* right, int n);
    int lanes;
};

// Null for the scalar path.
const CascadeKernel* cascadeKernel(CascadePath path);

// The per-instruction-set kernels (KernelSse2.cpp, KernelAvx2.cpp, KernelAvx512.cpp).
extern const CascadeKernel kCascadeSse2, kCascadeAvx2, kCascadeAvx512;

}  // namespace hm::dsp
