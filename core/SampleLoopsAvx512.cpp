// The block processor's sample loops on 512-bit vectors, eight doubles an
// instruction: as SampleLoopsAvx2.cpp, for processors with AVX-512F. This file
// alone is compiled with AVX-512 (without contraction) and only used after the
// run-time check in SampleLoops.cpp.
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 intrinsics pass an undefined vector as the unused merge
// operand, which its flow analysis takes for a read of an uninitialised value.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "core/SampleLoops.h"

namespace hm {
namespace {

// The last few samples, one at a time.
inline double finiteOrZero(double x) { return x - x == 0.0 ? x : 0.0; }

// x where x - x is 0 (x finite), else +0 (the bits the baseline's and-mask leaves).
inline __m512d finiteOrZero(__m512d x) {
    return _mm512_maskz_mov_pd(_mm512_cmp_pd_mask(_mm512_sub_pd(x, x), _mm512_setzero_pd(), _CMP_EQ_OQ), x);
}

void loadFiniteFloatWide(const float* in, double* out, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8) _mm512_storeu_pd(out + i, finiteOrZero(_mm512_cvtps_pd(_mm256_loadu_ps(in + i))));
    for (; i < n; ++i) out[i] = finiteOrZero(static_cast<double>(in[i]));
}

void loadFiniteDoubleWide(const double* in, double* out, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8) _mm512_storeu_pd(out + i, finiteOrZero(_mm512_loadu_pd(in + i)));
    for (; i < n; ++i) out[i] = finiteOrZero(in[i]);
}

void storeFloatWide(const double* in, float* out, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8) _mm256_storeu_ps(out + i, _mm512_cvtpd_ps(_mm512_loadu_pd(in + i)));
    for (; i < n; ++i) out[i] = static_cast<float>(in[i]);
}

// The exponent field plus one carries into the sign bit only where it was all
// ones (SampleBlocks.h).
bool allFiniteWide(const double* x, int n) {
    constexpr std::uint64_t kExponent = 0x7ff0000000000000ull, kOne = 1ull << 52, kCarry = 1ull << 63;
    const __m512i exponent = _mm512_set1_epi64(static_cast<long long>(kExponent));
    const __m512i one = _mm512_set1_epi64(static_cast<long long>(kOne));
    __m512i any = _mm512_setzero_si512();
    int i = 0;
    for (; i + 8 <= n; i += 8)
        any = _mm512_or_si512(any, _mm512_add_epi64(_mm512_and_si512(_mm512_loadu_si512(x + i), exponent), one));
    std::uint64_t rest = _mm512_test_epi64_mask(any, _mm512_set1_epi64(static_cast<long long>(kCarry))) ? kCarry : 0;
    for (; i < n; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, x + i, sizeof bits);
        rest |= (bits & kExponent) + kOne;
    }
    return (rest & kCarry) == 0;
}

void midSideEncodeWide(double* a, double* b, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m512d l = _mm512_loadu_pd(a + i), r = _mm512_loadu_pd(b + i);
        _mm512_storeu_pd(a + i, _mm512_add_pd(l, r));
        _mm512_storeu_pd(b + i, _mm512_sub_pd(l, r));
    }
    for (; i < n; ++i) {
        const double mid = a[i] + b[i];
        b[i] = a[i] - b[i];
        a[i] = mid;
    }
}

void midSideDecodeWide(double* a, double* b, int n) {
    const __m512d half = _mm512_set1_pd(0.5);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m512d mid = _mm512_loadu_pd(a + i), side = _mm512_loadu_pd(b + i);
        _mm512_storeu_pd(a + i, _mm512_mul_pd(_mm512_add_pd(mid, side), half));
        _mm512_storeu_pd(b + i, _mm512_mul_pd(_mm512_sub_pd(mid, side), half));
    }
    for (; i < n; ++i) {
        const double mid = a[i], side = b[i];
        a[i] = (mid + side) * 0.5;
        b[i] = (mid - side) * 0.5;
    }
}

}  // namespace

extern const SampleLoops kSampleLoopsAvx512;
const SampleLoops kSampleLoopsAvx512 = {loadFiniteFloatWide, loadFiniteDoubleWide, storeFloatWide,
                                        allFiniteWide,       midSideEncodeWide,    midSideDecodeWide};

}  // namespace hm
