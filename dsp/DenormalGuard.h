#pragma once
// Flush-to-zero and denormals-are-zero for the current thread while the guard
// lives, restoring the previous floating-point control state afterwards. Decaying
// filter and convolver tails otherwise end in subnormal numbers, which the x86
// floating-point units handle on a slow path (FFT work slows down many times).
#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define HM_HAVE_MXCSR 1
#endif

namespace hm::dsp {

class DenormalGuard {
public:
#if HM_HAVE_MXCSR
    static constexpr unsigned kFlushToZero = 0x8000u;
    static constexpr unsigned kDenormalsAreZero = 0x0040u;
    DenormalGuard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(saved_); }
#else
    DenormalGuard() = default;
#endif
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#if HM_HAVE_MXCSR
    unsigned saved_;
#endif
};

}  // namespace hm::dsp
