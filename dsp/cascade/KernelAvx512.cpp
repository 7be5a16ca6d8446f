// The vectorised cascade for processors with AVX-512: one 512-bit register holds
// a vector's eight lanes, four sections of each channel, so a group runs twice
// the sections of the four-lane paths per instruction. This file alone is
// compiled with AVX-512 enabled; it is only called after the run-time check in
// CascadePath.cpp. Multiplications and additions stay separate (no fused
// multiply-add), so every lane rounds exactly as the scalar cascade does.
// GCC 12's AVX-512 intrinsics pass an undefined vector as the unused merge
// operand, which its flow analysis takes for a read of an uninitialised value.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>

#include "dsp/cascade/CascadePath.h"
#include "dsp/cascade/GroupKernel.h"

namespace hm::dsp {
namespace {

struct Avx512 {
    static constexpr bool kX2InRegisters = true;
    static constexpr int kLanes = 8;
    using V = __m512d;
    using M = __mmask8;
    static V load(const double* p) { return _mm512_load_pd(p); }
    static void store(double* p, V v) { _mm512_store_pd(p, v); }
    static V set1(double x) { return _mm512_set1_pd(x); }
    static V zero() { return _mm512_setzero_pd(); }
    static V add(V a, V b) { return _mm512_add_pd(a, b); }
    static V sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm512_mul_pd(a, b); }
    static V min(V a, V b) { return _mm512_min_pd(a, b); }
    static M lessEq(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LE_OQ); }
    static M equal(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    static V select(M mask, V a, V b) { return _mm512_mask_blend_pd(mask, b, a); }
    static void storeLanes(double* p, M mask, V v) { _mm512_mask_store_pd(p, mask, v); }
    static M pair(int i) { return static_cast<M>(0x11u << i); }
    static M columns(int v) { return static_cast<M>(((1u << v) - 1) * 0x11u); }
    static V flushTiny(V v) {
        const M tiny = _mm512_cmp_pd_mask(_mm512_abs_pd(v), _mm512_set1_pd(0x1p-1021), _CMP_LT_OQ);
        return _mm512_mask_mov_pd(v, tiny, _mm512_setzero_pd());
    }
    // The pair stays in lanes 0 and 1, where feed picks it up: no shuffle of its own.
    static V input(const double* lr) { return _mm512_castpd128_pd512(_mm_loadu_pd(lr)); }
    // Lane 0 is L and lane 4 is R (lanes 0 and 1 of `in`), every other lane is y2's
    // lane below it (indices from 8 pick y2).
    static V feed(V in, V y2) { return _mm512_permutex2var_pd(in, _mm512_set_epi64(14, 13, 12, 1, 10, 9, 8, 0), y2); }
    static void output(double* lr, V y) {
        _mm_storeu_pd(lr, _mm512_castpd512_pd128(_mm512_permutexvar_pd(_mm512_set_epi64(0, 0, 0, 0, 0, 0, 7, 3), y)));
    }
};

}  // namespace

const CascadeKernel kCascadeAvx512 = {kernel::runChain<Avx512>, kernel::interleave<Avx512>, kernel::deinterleave<Avx512>,
                                    Avx512::kLanes};

}  // namespace hm::dsp
