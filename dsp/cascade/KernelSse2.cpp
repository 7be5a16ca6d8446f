// The vectorised cascade on SSE2, which every x86-64 processor has: a vector's
// four lanes are two 128-bit registers, the left channel's pair and the right's.
#include <emmintrin.h>

#include <cstdint>

#include "dsp/cascade/CascadePath.h"
#include "dsp/cascade/GroupKernel.h"

namespace hm::dsp {
namespace {

struct Sse2 {
    static constexpr bool kX2InRegisters = false;
    static constexpr int kLanes = 4;
    struct V {
        __m128d l, r;  // lanes 0, 1 and 2, 3
    };
    using M = V;
    static V load(const double* p) { return {_mm_load_pd(p), _mm_load_pd(p + 2)}; }
    static void store(double* p, V v) {
        _mm_store_pd(p, v.l);
        _mm_store_pd(p + 2, v.r);
    }
    static V set1(double x) { return {_mm_set1_pd(x), _mm_set1_pd(x)}; }
    static V zero() { return {_mm_setzero_pd(), _mm_setzero_pd()}; }
    static V add(V a, V b) { return {_mm_add_pd(a.l, b.l), _mm_add_pd(a.r, b.r)}; }
    static V sub(V a, V b) { return {_mm_sub_pd(a.l, b.l), _mm_sub_pd(a.r, b.r)}; }
    static V mul(V a, V b) { return {_mm_mul_pd(a.l, b.l), _mm_mul_pd(a.r, b.r)}; }
    static V min(V a, V b) { return {_mm_min_pd(a.l, b.l), _mm_min_pd(a.r, b.r)}; }
    static V lessEq(V a, V b) { return {_mm_cmple_pd(a.l, b.l), _mm_cmple_pd(a.r, b.r)}; }
    static V equal(V a, V b) { return {_mm_cmpeq_pd(a.l, b.l), _mm_cmpeq_pd(a.r, b.r)}; }
    static __m128d select1(__m128d m, __m128d a, __m128d b) { return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b)); }
    static V select(V m, V a, V b) { return {select1(m.l, a.l, b.l), select1(m.r, a.r, b.r)}; }
    static void storeLanes(double* p, M mask, V v) { store(p, select(mask, v, load(p))); }
    static M pair(int i) {
        alignas(16) static constexpr std::uint64_t kHalf[2][2] = {{~0ull, 0}, {0, ~0ull}};
        const __m128d half = _mm_load_pd(reinterpret_cast<const double*>(kHalf[i]));
        return {half, half};
    }
    static __m128d flush1(__m128d v) {
        const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
        return _mm_andnot_pd(_mm_cmplt_pd(magnitude, _mm_set1_pd(0x1p-1021)), v);
    }
    static V flushTiny(V v) { return {flush1(v.l), flush1(v.r)}; }
    static V input(const double* lr) { return {_mm_set1_pd(lr[0]), _mm_set1_pd(lr[1])}; }
    static V feed(V in, V y2) { return {_mm_unpacklo_pd(in.l, y2.l), _mm_unpacklo_pd(in.r, y2.r)}; }
    static void output(double* lr, V y) { _mm_storeu_pd(lr, _mm_unpackhi_pd(y.l, y.r)); }
};

}  // namespace

const CascadeKernel kCascadeSse2 = {kernel::runChain<Sse2>, kernel::interleave<Sse2>, kernel::deinterleave<Sse2>,
                                    Sse2::kLanes};

}  // namespace hm::dsp
