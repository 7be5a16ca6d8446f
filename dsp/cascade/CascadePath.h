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

// Runs one packed group over a block of interleaved (L, R) samples in place.
// Null for the scalar path.
using GroupRunner = void (*)(PackedGroup& group, double* io, int n);
GroupRunner groupRunner(CascadePath path);
// Lanes a vector of the path's groups holds (4 or 8; 0 for the scalar path): the
// groups must be packed for the runner that runs them.
int groupLanes(CascadePath path);

// The per-instruction-set kernels (KernelSse2.cpp, KernelAvx2.cpp, KernelAvx512.cpp).
void runGroupSse2(PackedGroup& group, double* io, int n);
void runGroupAvx2(PackedGroup& group, double* io, int n);
void runGroupAvx512(PackedGroup& group, double* io, int n);

}  // namespace hm::dsp
