#pragma once
// Which implementation runs the filter banks' recursive sections.
//
//  - Scalar: each band's cascade on its own, section by section over the block
//    (DF1Cascade::processDouble); the reference the vector paths must equal.
//  - Sse2: the vectorised pair pipeline (SectionPipeline.h) on 128-bit registers,
//    which every x86-64 processor has.
//  - Avx2: the same on 256-bit registers, when the processor and the system
//    support AVX2.
// All three compute every sample with the same operations in the same order, so
// their outputs are identical.
//
// The choice is made once per process from the processor's features; the
// environment variable HARMONIFORM_CASCADE=scalar|sse2|avx2 (read once) or
// forceCascadePath (tests) can ask for another, and a path the processor lacks
// falls back to the next one below it. Any thread may call these.
#include "dsp/cascade/PackedGroup.h"

namespace hm::dsp {

enum class CascadePath { Scalar = 0, Sse2 = 1, Avx2 = 2 };

// The fastest path this processor and system can run.
CascadePath detectCascadePath();
// The path in use: the forced or requested one where available, else the detected one.
CascadePath activeCascadePath();
void forceCascadePath(CascadePath path);
void clearForcedCascadePath();
bool cascadePathAvailable(CascadePath path);
const char* cascadePathName(CascadePath path);

// Runs one packed group over a block of interleaved (L, R) samples in place.
// Null for the scalar path.
using GroupRunner = void (*)(PackedGroup& group, double* io, int n);
GroupRunner groupRunner(CascadePath path);

// The per-instruction-set kernels (KernelSse2.cpp, KernelAvx2.cpp).
void runGroupSse2(PackedGroup& group, double* io, int n);
void runGroupAvx2(PackedGroup& group, double* io, int n);

}  // namespace hm::dsp
