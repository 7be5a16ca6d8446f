#include "dsp/fft/FftAvx2.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define HM_AVX2 __attribute__((target("avx2,fma")))
#endif

namespace hm::dsp::fftavx2 {

#if defined(HM_AVX2)

namespace {

// Table of a span up to the triple limit, per pair of k: for r = 1..3 the vectors
// (wr_k, wr_k, wr_k1, wr_k1) and (-wi_k, wi_k, -wi_k1, wi_k1) of w^{rk}.
constexpr std::size_t kPairDoubles = 24;

struct Tw4 {
    __m256d rr[3], ii[3];
};

HM_AVX2 inline __m256d swapLanes(__m256d a) { return _mm256_permute_pd(a, 0x5); }

HM_AVX2 inline __m256d cmul(__m256d a, __m256d rr, __m256d ii)
{
    return _mm256_fmadd_pd(a, rr, _mm256_mul_pd(swapLanes(a), ii));
}

HM_AVX2 inline void expand(__m256d w, __m256d& rr, __m256d& ii)
{
    rr = _mm256_movedup_pd(w);
    ii = _mm256_xor_pd(_mm256_permute_pd(w, 0xF), _mm256_set_pd(0.0, -0.0, 0.0, -0.0));
}

template <bool Inv>
HM_AVX2 inline Tw4 loadPair(const double* t, std::size_t k, bool triple)
{
    Tw4 w;
    if (triple) {
        const double* p = t + kPairDoubles * (k >> 1);
        for (int r = 0; r < 3; ++r) {
            w.rr[r] = _mm256_loadu_pd(p + 8 * r);
            w.ii[r] = _mm256_loadu_pd(p + 8 * r + 4);
        }
    } else {
        const __m256d w1 = _mm256_loadu_pd(t + 2 * k);
        expand(w1, w.rr[0], w.ii[0]);
        const __m256d w2 = cmul(w1, w.rr[0], w.ii[0]);
        expand(w2, w.rr[1], w.ii[1]);
        const __m256d w3 = cmul(w2, w.rr[0], w.ii[0]);
        expand(w3, w.rr[2], w.ii[2]);
    }
    if (Inv) {
        const __m256d neg = _mm256_set1_pd(-0.0);
        for (int r = 0; r < 3; ++r) w.ii[r] = _mm256_xor_pd(w.ii[r], neg);
    }
    return w;
}

// One butterfly k alone (an odd edge of a range): the two-lane half of the table.
template <bool Inv>
HM_AVX2 inline Tw4 loadSingle(const double* t, std::size_t k, bool triple)
{
    Tw4 w;
    if (triple) {
        const double* p = t + kPairDoubles * (k >> 1) + 2 * (k & 1);
        for (int r = 0; r < 3; ++r) {
            w.rr[r] = _mm256_castpd128_pd256(_mm_loadu_pd(p + 8 * r));
            w.ii[r] = _mm256_castpd128_pd256(_mm_loadu_pd(p + 8 * r + 4));
        }
        if (Inv) {
            const __m256d neg = _mm256_set1_pd(-0.0);
            for (int r = 0; r < 3; ++r) w.ii[r] = _mm256_xor_pd(w.ii[r], neg);
        }
        return w;
    }
    const __m256d w1 = _mm256_castpd128_pd256(_mm_loadu_pd(t + 2 * k));
    expand(w1, w.rr[0], w.ii[0]);
    const __m256d w2 = cmul(w1, w.rr[0], w.ii[0]);
    expand(w2, w.rr[1], w.ii[1]);
    const __m256d w3 = cmul(w2, w.rr[0], w.ii[0]);
    expand(w3, w.rr[2], w.ii[2]);
    if (Inv) {
        const __m256d neg = _mm256_set1_pd(-0.0);
        for (int r = 0; r < 3; ++r) w.ii[r] = _mm256_xor_pd(w.ii[r], neg);
    }
    return w;
}

template <bool Inv>
HM_AVX2 inline __m256d rotate(__m256d a)
{
    const __m256d sign = Inv ? _mm256_set_pd(0.0, -0.0, 0.0, -0.0) : _mm256_set_pd(-0.0, 0.0, -0.0, 0.0);
    return _mm256_xor_pd(swapLanes(a), sign);
}

// Loads and stores of one complex (Two = false) or two adjacent ones.
template <bool Two>
HM_AVX2 inline __m256d ld(const double* p)
{
    if constexpr (Two) return _mm256_loadu_pd(p);
    else return _mm256_castpd128_pd256(_mm_loadu_pd(p));
}
template <bool Two>
HM_AVX2 inline void st(double* p, __m256d v)
{
    if constexpr (Two) _mm256_storeu_pd(p, v);
    else _mm_storeu_pd(p, _mm256_castpd256_pd128(v));
}

template <bool Inv, bool Two>
HM_AVX2 inline void difButterfly(double* p, std::size_t q2, const Tw4& w)
{
    const __m256d x0 = ld<Two>(p), x1 = ld<Two>(p + q2), x2 = ld<Two>(p + 2 * q2), x3 = ld<Two>(p + 3 * q2);
    const __m256d a0 = _mm256_add_pd(x0, x2), a1 = _mm256_sub_pd(x0, x2);
    const __m256d a2 = _mm256_add_pd(x1, x3), a3 = _mm256_sub_pd(x1, x3);
    const __m256d r3 = rotate<Inv>(a3);
    st<Two>(p, _mm256_add_pd(a0, a2));
    st<Two>(p + q2, cmul(_mm256_sub_pd(a0, a2), w.rr[1], w.ii[1]));
    st<Two>(p + 2 * q2, cmul(_mm256_add_pd(a1, r3), w.rr[0], w.ii[0]));
    st<Two>(p + 3 * q2, cmul(_mm256_sub_pd(a1, r3), w.rr[2], w.ii[2]));
}

template <bool Inv, bool Two>
HM_AVX2 inline void ditButterfly(double* p, std::size_t q2, const Tw4& w)
{
    const __m256d x0 = ld<Two>(p);
    const __m256d b1 = cmul(ld<Two>(p + q2), w.rr[1], w.ii[1]);
    const __m256d b2 = cmul(ld<Two>(p + 2 * q2), w.rr[0], w.ii[0]);
    const __m256d b3 = cmul(ld<Two>(p + 3 * q2), w.rr[2], w.ii[2]);
    const __m256d a0 = _mm256_add_pd(x0, b1), a1 = _mm256_sub_pd(x0, b1);
    const __m256d a2 = _mm256_add_pd(b2, b3), a3 = _mm256_sub_pd(b2, b3);
    const __m256d r3 = rotate<Inv>(a3);
    st<Two>(p, _mm256_add_pd(a0, a2));
    st<Two>(p + 2 * q2, _mm256_sub_pd(a0, a2));
    st<Two>(p + q2, _mm256_add_pd(a1, r3));
    st<Two>(p + 3 * q2, _mm256_sub_pd(a1, r3));
}

template <bool Dif, bool Inv>
HM_AVX2 void stage(double* d, const double* t, bool triple, std::size_t span, std::size_t b, std::size_t e)
{
    const std::size_t q = span / 4;
    if (q >= 2 && q <= 8 && b % q == 0 && e % q == 0) {
        // Short spans cover many groups: keep each twiddle pair in registers and
        // run it down all the groups instead of reloading it per group.
        const std::size_t g0 = b / q, g1 = e / q;
        for (std::size_t k = 0; k < q; k += 2) {
            const Tw4 w = loadPair<Inv>(t, k, triple);
            for (std::size_t g = g0; g < g1; ++g) {
                double* p = d + 2 * (g * span + k);
                Dif ? difButterfly<Inv, true>(p, 2 * q, w) : ditButterfly<Inv, true>(p, 2 * q, w);
            }
        }
        return;
    }
    std::size_t g = b / q, k = b % q;
    while (b < e) {
        const std::size_t kEnd = (q < k + (e - b)) ? q : k + (e - b);
        double* base = d + 2 * g * span;
        b += kEnd - k;
        if (k & 1) {  // odd start: one butterfly alone
            const Tw4 w = loadSingle<Inv>(t, k, triple);
            Dif ? difButterfly<Inv, false>(base + 2 * k, 2 * q, w) : ditButterfly<Inv, false>(base + 2 * k, 2 * q, w);
            ++k;
        }
        for (; k + 1 < kEnd; k += 2) {
            const Tw4 w = loadPair<Inv>(t, k, triple);
            Dif ? difButterfly<Inv, true>(base + 2 * k, 2 * q, w) : ditButterfly<Inv, true>(base + 2 * k, 2 * q, w);
        }
        if (k < kEnd) {
            const Tw4 w = loadSingle<Inv>(t, k, triple);
            Dif ? difButterfly<Inv, false>(base + 2 * k, 2 * q, w) : ditButterfly<Inv, false>(base + 2 * k, 2 * q, w);
            ++k;
        }
        k = 0;
        ++g;
    }
}

// Complex vectors of positions (p, p+1) and of their partners (q, q-1).
HM_AVX2 inline __m256d swapHalves(__m256d v) { return _mm256_permute2f128_pd(v, v, 1); }
HM_AVX2 inline __m256d conjugate(__m256d v) { return _mm256_xor_pd(v, _mm256_set_pd(-0.0, 0.0, -0.0, 0.0)); }
HM_AVX2 inline __m256d timesW(__m256d a, __m256d w, bool conjW)
{
    __m256d rr, ii;
    expand(w, rr, ii);
    if (conjW) ii = _mm256_xor_pd(ii, _mm256_set1_pd(-0.0));
    return cmul(a, rr, ii);
}

// X = e - j W o, e = (A + conj B)/2, o = (A - conj B)/2
HM_AVX2 inline __m256d splitVec(__m256d a, __m256d b, __m256d w)
{
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d cb = conjugate(b);
    const __m256d e = _mm256_mul_pd(half, _mm256_add_pd(a, cb));
    const __m256d o = _mm256_mul_pd(half, _mm256_sub_pd(a, cb));
    return _mm256_add_pd(e, rotate<false>(timesW(o, w, false)));  // -j z
}

// Z' = E + j O, E = (A + conj B)/2, O = (A - conj B) conj(W)/2
HM_AVX2 inline __m256d mergeVec(__m256d a, __m256d b, __m256d w)
{
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d cb = conjugate(b);
    const __m256d e = _mm256_mul_pd(half, _mm256_add_pd(a, cb));
    const __m256d o = timesW(_mm256_mul_pd(half, _mm256_sub_pd(a, cb)), w, true);
    return _mm256_add_pd(e, rotate<true>(o));  // +j z
}

template <bool Split>
HM_AVX2 void pairs(double* d, const double* tw, std::size_t s, std::size_t begin, std::size_t end)
{
    for (std::size_t p = begin; p + 1 < end; p += 2) {
        const std::size_t q1 = 3 * s - 2 - p;  // partner of p + 1; q1 + 1 is the partner of p
        const __m256d a = _mm256_loadu_pd(d + 2 * p);
        const __m256d b = swapHalves(_mm256_loadu_pd(d + 2 * q1));
        const __m256d wa = _mm256_loadu_pd(tw + 2 * p);
        const __m256d wb = swapHalves(_mm256_loadu_pd(tw + 2 * q1));
        const __m256d x = Split ? splitVec(a, b, wa) : mergeVec(a, b, wa);
        const __m256d y = Split ? splitVec(b, a, wb) : mergeVec(b, a, wb);
        _mm256_storeu_pd(d + 2 * p, x);
        _mm256_storeu_pd(d + 2 * q1, swapHalves(y));
    }
}

}  // namespace

void splitPairs(double* d, const double* tw, std::size_t s, std::size_t b, std::size_t e) { pairs<true>(d, tw, s, b, e); }
void mergePairs(double* d, const double* tw, std::size_t s, std::size_t b, std::size_t e) { pairs<false>(d, tw, s, b, e); }

bool supported()
{
    static const bool yes = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return yes;
}

void difStage(double* d, const double* tw, bool triple, std::size_t span, std::size_t b, std::size_t e, bool inv)
{
    inv ? stage<true, true>(d, tw, triple, span, b, e) : stage<true, false>(d, tw, triple, span, b, e);
}

void ditStage(double* d, const double* tw, bool triple, std::size_t span, std::size_t b, std::size_t e, bool inv)
{
    inv ? stage<false, true>(d, tw, triple, span, b, e) : stage<false, false>(d, tw, triple, span, b, e);
}

#else

bool supported() { return false; }
void splitPairs(double*, const double*, std::size_t, std::size_t, std::size_t) {}
void mergePairs(double*, const double*, std::size_t, std::size_t, std::size_t) {}
void difStage(double*, const double*, bool, std::size_t, std::size_t, std::size_t, bool) {}
void ditStage(double*, const double*, bool, std::size_t, std::size_t, std::size_t, bool) {}

#endif

}  // namespace hm::dsp::fftavx2
