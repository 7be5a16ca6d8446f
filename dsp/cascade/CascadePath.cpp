#include "dsp/cascade/CascadePath.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace hm::dsp {
namespace {

constexpr int kNotForced = -1;
std::atomic<int> gForced{kNotForced};

CascadePath probe() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();  // this may run before the run-time library's own constructors
#endif
    return cascadePathAvailable(CascadePath::Avx2)   ? CascadePath::Avx2
           : cascadePathAvailable(CascadePath::Sse2) ? CascadePath::Sse2
                                                     : CascadePath::Scalar;
}

int requestedByEnvironment() {
    const char* text = std::getenv("HARMONIFORM_CASCADE");
    if (!text) return kNotForced;
    for (CascadePath p : {CascadePath::Scalar, CascadePath::Sse2, CascadePath::Avx2})
        if (std::strcmp(text, cascadePathName(p)) == 0) return static_cast<int>(p);
    return kNotForced;
}

}  // namespace

const char* cascadePathName(CascadePath path) {
    switch (path) {
        case CascadePath::Sse2: return "sse2";
        case CascadePath::Avx2: return "avx2";
        default: return "scalar";
    }
}

bool cascadePathAvailable(CascadePath path) {
#if defined(__x86_64__) || defined(__i386__)
    switch (path) {
        case CascadePath::Avx2: return __builtin_cpu_supports("avx2");  // also checks the system saves the registers
        case CascadePath::Sse2: return __builtin_cpu_supports("sse2");
        default: return true;
    }
#else
    return path == CascadePath::Scalar;
#endif
}

// Decided when the library loads, so the audio thread never meets a first-use guard.
const CascadePath gDetected = probe();
const int gRequested = requestedByEnvironment();

CascadePath detectCascadePath() { return gDetected; }

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

GroupRunner groupRunner(CascadePath path) {
#if defined(__x86_64__) || defined(__i386__)
    if (path == CascadePath::Avx2) return runGroupAvx2;
    if (path == CascadePath::Sse2) return runGroupSse2;
#endif
    return nullptr;
}

}  // namespace hm::dsp
