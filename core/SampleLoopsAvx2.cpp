// The block processor's sample loops on 256-bit vectors, four doubles an
// instruction. This file alone is compiled with AVX2 (without contraction) and is
// only used after the run-time check in SampleLoops.cpp. Each sample gets
// exactly the operations of the baseline loops in SampleBlocks.h, which are not
// included here: their inline code must not be compiled with AVX2 (the linker
// would keep one copy for everybody).
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "core/SampleLoops.h"

namespace hm {
namespace {

// The last few samples, one at a time.
inline double finiteOrZero(double x) { return x - x == 0.0 ? x : 0.0; }

// x where x - x is 0 (x finite), else 0.
inline __m256d finiteOrZero(__m256d x) {
    return _mm256_and_pd(_mm256_cmp_pd(_mm256_sub_pd(x, x), _mm256_setzero_pd(), _CMP_EQ_OQ), x);
}

void loadFiniteFloatWide(const float* in, double* out, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) _mm256_storeu_pd(out + i, finiteOrZero(_mm256_cvtps_pd(_mm_loadu_ps(in + i))));
    for (; i < n; ++i) out[i] = finiteOrZero(static_cast<double>(in[i]));
}

void loadFiniteDoubleWide(const double* in, double* out, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) _mm256_storeu_pd(out + i, finiteOrZero(_mm256_loadu_pd(in + i)));
    for (; i < n; ++i) out[i] = finiteOrZero(in[i]);
}

void storeFloatWide(const double* in, float* out, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) _mm_storeu_ps(out + i, _mm256_cvtpd_ps(_mm256_loadu_pd(in + i)));
    for (; i < n; ++i) out[i] = static_cast<float>(in[i]);
}

// The exponent field plus one carries into the sign bit only where it was all
// ones (SampleBlocks.h).
bool allFiniteWide(const double* x, int n) {
    constexpr std::uint64_t kExponent = 0x7ff0000000000000ull, kOne = 1ull << 52, kCarry = 1ull << 63;
    const __m256i exponent = _mm256_set1_epi64x(static_cast<long long>(kExponent));
    const __m256i one = _mm256_set1_epi64x(static_cast<long long>(kOne));
    __m256i any = _mm256_setzero_si256();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256i bits = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i));
        any = _mm256_or_si256(any, _mm256_add_epi64(_mm256_and_si256(bits, exponent), one));
    }
    std::uint64_t rest = _mm256_movemask_pd(_mm256_castsi256_pd(any)) ? kCarry : 0;
    for (; i < n; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, x + i, sizeof bits);
        rest |= (bits & kExponent) + kOne;
    }
    return (rest & kCarry) == 0;
}

void midSideEncodeWide(double* a, double* b, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d l = _mm256_loadu_pd(a + i), r = _mm256_loadu_pd(b + i);
        _mm256_storeu_pd(a + i, _mm256_add_pd(l, r));
        _mm256_storeu_pd(b + i, _mm256_sub_pd(l, r));
    }
    for (; i < n; ++i) {
        const double mid = a[i] + b[i];
        b[i] = a[i] - b[i];
        a[i] = mid;
    }
}

void midSideDecodeWide(double* a, double* b, int n) {
    const __m256d half = _mm256_set1_pd(0.5);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d mid = _mm256_loadu_pd(a + i), side = _mm256_loadu_pd(b + i);
        _mm256_storeu_pd(a + i, _mm256_mul_pd(_mm256_add_pd(mid, side), half));
        _mm256_storeu_pd(b + i, _mm256_mul_pd(_mm256_sub_pd(mid, side), half));
    }
    for (; i < n; ++i) {
        const double mid = a[i], side = b[i];
        a[i] = (mid + side) * 0.5;
        b[i] = (mid - side) * 0.5;
    }
}

}  // namespace

extern const SampleLoops kSampleLoopsAvx2;
const SampleLoops kSampleLoopsAvx2 = {loadFiniteFloatWide, loadFiniteDoubleWide, storeFloatWide,
                                      allFiniteWide,       midSideEncodeWide,    midSideDecodeWide};

}  // namespace hm
