#pragma once
// Small loops over blocks of samples that the block processor runs on every
// block: written with SSE2 (every x86-64 processor has it) where the compiler
// would otherwise leave them one sample at a time, with plain loops elsewhere.
// Each gives exactly the result of its plain loop.
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hm {

// out[i] = in[i] as a double, or 0 where it is not finite.
inline void loadFinite(const double* in, double* out, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128d zero = _mm_setzero_pd();
    for (; i + 2 <= n; i += 2) {
        const __m128d x = _mm_loadu_pd(in + i);
        _mm_storeu_pd(out + i, _mm_and_pd(_mm_cmpeq_pd(_mm_sub_pd(x, x), zero), x));  // x - x is 0 only when finite
    }
#endif
    for (; i < n; ++i) out[i] = in[i] - in[i] == 0.0 ? in[i] : 0.0;
}

inline void loadFinite(const float* in, double* out, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128d zero = _mm_setzero_pd();
    for (; i + 2 <= n; i += 2) {
        const __m128d x = _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + i))));
        _mm_storeu_pd(out + i, _mm_and_pd(_mm_cmpeq_pd(_mm_sub_pd(x, x), zero), x));
    }
#endif
    for (; i < n; ++i) {
        const double x = in[i];
        out[i] = x - x == 0.0 ? x : 0.0;
    }
}

// True when no sample is infinite or NaN. A double is not finite exactly when its
// exponent bits are all ones; adding one to the exponent field then carries into
// the sign bit, so an OR over the block tells.
inline bool allFinite(const double* x, int n) {
    constexpr std::uint64_t kExponent = 0x7ff0000000000000ull, kOne = 1ull << 52, kCarry = 1ull << 63;
    std::uint64_t any = 0;
    int i = 0;
#if defined(__SSE2__)
    const __m128i exponent = _mm_set1_epi64x(static_cast<long long>(kExponent));
    const __m128i one = _mm_set1_epi64x(static_cast<long long>(kOne));
    __m128i acc = _mm_setzero_si128();
    for (; i + 2 <= n; i += 2)
        acc = _mm_or_si128(acc, _mm_add_epi64(_mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i)), exponent), one));
    any = static_cast<std::uint64_t>(_mm_movemask_pd(_mm_castsi128_pd(acc))) ? kCarry : 0;
#endif
    for (; i < n; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, x + i, sizeof bits);
        any |= (bits & kExponent) + kOne;
    }
    return (any & kCarry) == 0;
}

// a, b <- a + b, a - b: mid and side from left and right (the decoder halves).
inline void midSideEncode(double* a, double* b, int n) {
    for (int i = 0; i < n; ++i) {
        const double mid = a[i] + b[i];
        b[i] = a[i] - b[i];
        a[i] = mid;
    }
}

// a, b <- (a + b) * 0.5, (a - b) * 0.5: left and right from mid and side.
inline void midSideDecode(double* a, double* b, int n) {
    for (int i = 0; i < n; ++i) {
        const double mid = a[i], side = b[i];
        a[i] = (mid + side) * 0.5;
        b[i] = (mid - side) * 0.5;
    }
}

// out[i] = in[i] rounded to float.
inline void storeFloat(const double* in, float* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = static_cast<float>(in[i]);
}

}  // namespace hm
