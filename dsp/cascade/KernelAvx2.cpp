// The vectorised cascade for processors with AVX2: one 256-bit register holds a
// vector's four lanes. This file alone is compiled with AVX2 enabled; it is only
// called after the run-time check in CascadePath.cpp. Multiplications and
// additions stay separate (no fused multiply-add), so every lane rounds exactly
// as the scalar cascade does.
#include <immintrin.h>

#include <cstdint>

#include "dsp/cascade/CascadePath.h"
#include "dsp/cascade/GroupKernel.h"

namespace hm::dsp {
namespace {

struct Avx2 {
    static constexpr bool kX2InRegisters = false;
    static constexpr int kLanes = 4;
    using V = __m256d;
    using M = V;
    static V load(const double* p) { return _mm256_load_pd(p); }
    static void store(double* p, V v) { _mm256_store_pd(p, v); }
    static V set1(double x) { return _mm256_set1_pd(x); }
    static V zero() { return _mm256_setzero_pd(); }
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static V min(V a, V b) { return _mm256_min_pd(a, b); }
    static V lessEq(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
    static V equal(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    static V select(V mask, V a, V b) { return _mm256_blendv_pd(b, a, mask); }
    static void storeLanes(double* p, M mask, V v) { store(p, select(mask, v, load(p))); }
    static M pair(int i) {
        alignas(32) static constexpr std::uint64_t kPairs[2][4] = {{~0ull, 0, ~0ull, 0}, {0, ~0ull, 0, ~0ull}};
        return _mm256_load_pd(reinterpret_cast<const double*>(kPairs[i]));
    }
    static V flushTiny(V v) {
        const V magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), v);
        return _mm256_andnot_pd(_mm256_cmp_pd(magnitude, _mm256_set1_pd(0x1p-1021), _CMP_LT_OQ), v);
    }
    static V input(const double* lr) {
        return _mm256_permute4x64_pd(_mm256_castpd128_pd256(_mm_loadu_pd(lr)), 0x50);  // L L R R
    }
    static V feed(V in, V y2) { return _mm256_unpacklo_pd(in, y2); }
    static void output(double* lr, V y) {
        _mm_storeu_pd(lr, _mm256_castpd256_pd128(_mm256_permute4x64_pd(y, 0x0D)));  // lanes 1, 3
    }
};

}  // namespace

const CascadeKernel kCascadeAvx2 = {kernel::runChain<Avx2>, kernel::interleave<Avx2>, kernel::deinterleave<Avx2>,
                                    Avx2::kLanes};

}  // namespace hm::dsp
