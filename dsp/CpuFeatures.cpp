#include "dsp/CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace hm::dsp {
namespace {

bool probeAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();  // this may run before the run-time library's own constructors
    return __builtin_cpu_supports("avx2");  // also checks the system saves the registers
#else
    return false;
#endif
}

bool probeAvx512() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, leaf1Ecx = 0, d = 0, leaf7Ebx = 0, c = 0;
    if (!__get_cpuid(1, &a, &b, &leaf1Ecx, &d)) return false;
    if (!__get_cpuid_count(7, 0, &a, &leaf7Ebx, &c, &d)) return false;
    std::uint64_t xcr0 = 0;
    // XGETBV exists only where the system has set OSXSAVE: ask only then.
    if (leaf1Ecx & (1u << 27)) {
        unsigned lo = 0, hi = 0;
        __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        xcr0 = (static_cast<std::uint64_t>(hi) << 32) | lo;
    }
    return avx512Usable(leaf1Ecx, leaf7Ebx, xcr0);
#else
    return false;
#endif
}

// At load time, so no caller (the audio thread among them) meets a first-use guard.
const bool gAvx2 = probeAvx2();
const bool gAvx512 = probeAvx512();

}  // namespace

bool avx512Usable(std::uint32_t leaf1Ecx, std::uint32_t leaf7Ebx, std::uint64_t xcr0) {
    constexpr std::uint32_t kOsxsave = 1u << 27, kAvx512f = 1u << 16;
    constexpr std::uint64_t kState = (1u << 1) | (1u << 2) | (1u << 5) | (1u << 6) | (1u << 7);
    return (leaf1Ecx & kOsxsave) && (leaf7Ebx & kAvx512f) && (xcr0 & kState) == kState;
}

bool processorHasAvx2() { return gAvx2; }

bool processorHasAvx512() { return gAvx512; }

}  // namespace hm::dsp
