#include "dsp/cascade/CascadePath.h"

#include "dsp/CpuFeatures.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace hm::dsp {
namespace {

constexpr int kNotForced = -1;
std::atomic<int> gForced{kNotForced};

int requestedByEnvironment() {
    CascadePath path;
    return cascadePathNamed(std::getenv("HARMONIFORM_CASCADE"), path) ? static_cast<int>(path) : kNotForced;
}

}  // namespace

bool cascadePathNamed(const char* text, CascadePath& path) {
    if (!text) return false;
    for (CascadePath p : {CascadePath::Scalar, CascadePath::Sse2, CascadePath::Avx2, CascadePath::Avx512})
        if (std::strcmp(text, cascadePathName(p)) == 0) {
            path = p;
            return true;
        }
    return false;
}

const char* cascadePathName(CascadePath path) {
    switch (path) {
        case CascadePath::Sse2: return "sse2";
        case CascadePath::Avx2: return "avx2";
        case CascadePath::Avx512: return "avx512";
        default: return "scalar";
    }
}

bool cascadePathAvailable(CascadePath path) {
#if defined(__x86_64__) || defined(__i386__)
    switch (path) {
        case CascadePath::Avx2: return processorHasAvx2();
        case CascadePath::Avx512: return processorHasAvx512();
        default: return true;  // SSE2 is part of x86-64
    }
#else
    return path == CascadePath::Scalar;
#endif
}

// Read when the library loads, so the audio thread never meets a first-use guard.
const int gRequested = requestedByEnvironment();

CascadePath detectCascadePath() {
#if defined(__x86_64__) || defined(__i386__)
    if (processorHasAvx512()) return CascadePath::Avx512;
    return processorHasAvx2() ? CascadePath::Avx2 : CascadePath::Sse2;
#else
    return CascadePath::Scalar;
#endif
}

CascadePath activeCascadePath() {
    int wanted = gForced.load(std::memory_order_relaxed);
    if (wanted == kNotForced) wanted = gRequested;
    if (wanted == kNotForced) return detectCascadePath();
    for (int p = wanted; p > 0; --p)
        if (cascadePathAvailable(static_cast<CascadePath>(p))) return static_cast<CascadePath>(p);
    return CascadePath::Scalar;
}

void forceCascadePath(CascadePath path) { gForced.store(static_cast<int>(path), std::memory_order_relaxed); }

void clearForcedCascadePath() { gForced.store(kNotForced, std::memory_order_relaxed); }

const CascadeKernel* cascadeKernel(CascadePath path) {
#if defined(__x86_64__) || defined(__i386__)
    if (path == CascadePath::Avx512) return &kCascadeAvx512;
    if (path == CascadePath::Avx2) return &kCascadeAvx2;
    if (path == CascadePath::Sse2) return &kCascadeSse2;
#endif
    return nullptr;
}

}  // namespace hm::dsp
