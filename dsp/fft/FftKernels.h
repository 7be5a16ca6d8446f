#pragma once
// Butterfly kernels of the FFT (internal to dsp/fft): the twiddle-free span-2 and
// span-4 passes, the twiddle record and the radix-4 butterflies in two-lane vector
// form (SSE2) with a portable scalar fallback. Included by Fft.cpp only.
#include <cstddef>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hm::dsp::fftkernels {

// Span-2 pass: direction independent, no twiddles.
inline void radix2(double* d, std::size_t n)
{
#if defined(__SSE2__)
    for (std::size_t i = 0; i < 2 * n; i += 4) {
        const __m128d a = _mm_loadu_pd(d + i), b = _mm_loadu_pd(d + i + 2);
        _mm_storeu_pd(d + i, _mm_add_pd(a, b));
        _mm_storeu_pd(d + i + 2, _mm_sub_pd(a, b));
    }
    return;
#endif
    for (std::size_t i = 0; i < 2 * n; i += 4) {
        const double ar = d[i], ai = d[i + 1], br = d[i + 2], bi = d[i + 3];
        d[i] = ar + br;
        d[i + 1] = ai + bi;
        d[i + 2] = ar - br;
        d[i + 3] = ai - bi;
    }
}

// Span-4 pass of the decimation-in-frequency order: all twiddles are 1.
template <bool Inv>
inline void difSpan4(double* d, std::size_t n)
{
#if defined(__SSE2__)
    // -j a (forward) or +j a (inverse) as lane swap and sign flip
    const __m128d sign = Inv ? _mm_set_pd(0.0, -0.0) : _mm_set_pd(-0.0, 0.0);
    for (std::size_t i = 0; i < 2 * n; i += 8) {
        double* p = d + i;
        const __m128d x0 = _mm_loadu_pd(p), x1 = _mm_loadu_pd(p + 2);
        const __m128d x2 = _mm_loadu_pd(p + 4), x3 = _mm_loadu_pd(p + 6);
        const __m128d a0 = _mm_add_pd(x0, x2), a1 = _mm_sub_pd(x0, x2);
        const __m128d a2 = _mm_add_pd(x1, x3), a3 = _mm_sub_pd(x1, x3);
        const __m128d r3 = _mm_xor_pd(_mm_shuffle_pd(a3, a3, 1), sign);
        _mm_storeu_pd(p, _mm_add_pd(a0, a2));
        _mm_storeu_pd(p + 2, _mm_sub_pd(a0, a2));
        _mm_storeu_pd(p + 4, _mm_add_pd(a1, r3));
        _mm_storeu_pd(p + 6, _mm_sub_pd(a1, r3));
    }
    return;
#endif
    for (std::size_t i = 0; i < 2 * n; i += 8) {
        double* p = d + i;
        const double a0r = p[0] + p[4], a0i = p[1] + p[5];
        const double a1r = p[0] - p[4], a1i = p[1] - p[5];
        const double a2r = p[2] + p[6], a2i = p[3] + p[7];
        const double a3r = p[2] - p[6], a3i = p[3] - p[7];
        p[0] = a0r + a2r;
        p[1] = a0i + a2i;
        p[2] = a0r - a2r;
        p[3] = a0i - a2i;
        // forward: a1 -/+ j a3 ; inverse: a1 +/- j a3
        if (!Inv) {
            p[4] = a1r + a3i; p[5] = a1i - a3r;
            p[6] = a1r - a3i; p[7] = a1i + a3r;
        } else {
            p[4] = a1r - a3i; p[5] = a1i + a3r;
            p[6] = a1r + a3i; p[7] = a1i - a3r;
        }
    }
}

template <bool Inv>
inline void ditSpan4(double* d, std::size_t n)
{
#if defined(__SSE2__)
    const __m128d sign = Inv ? _mm_set_pd(0.0, -0.0) : _mm_set_pd(-0.0, 0.0);
    for (std::size_t i = 0; i < 2 * n; i += 8) {
        double* p = d + i;
        const __m128d x0 = _mm_loadu_pd(p), x1 = _mm_loadu_pd(p + 2);
        const __m128d x2 = _mm_loadu_pd(p + 4), x3 = _mm_loadu_pd(p + 6);
        const __m128d a0 = _mm_add_pd(x0, x1), a1 = _mm_sub_pd(x0, x1);
        const __m128d a2 = _mm_add_pd(x2, x3), a3 = _mm_sub_pd(x2, x3);
        const __m128d r3 = _mm_xor_pd(_mm_shuffle_pd(a3, a3, 1), sign);
        _mm_storeu_pd(p, _mm_add_pd(a0, a2));
        _mm_storeu_pd(p + 4, _mm_sub_pd(a0, a2));
        _mm_storeu_pd(p + 2, _mm_add_pd(a1, r3));
        _mm_storeu_pd(p + 6, _mm_sub_pd(a1, r3));
    }
    return;
#endif
    for (std::size_t i = 0; i < 2 * n; i += 8) {
        double* p = d + i;
        const double a0r = p[0] + p[2], a0i = p[1] + p[3];
        const double a1r = p[0] - p[2], a1i = p[1] - p[3];
        const double a2r = p[4] + p[6], a2i = p[5] + p[7];
        const double a3r = p[4] - p[6], a3i = p[5] - p[7];
        p[0] = a0r + a2r;
        p[1] = a0i + a2i;
        p[4] = a0r - a2r;
        p[5] = a0i - a2i;
        if (!Inv) {
            p[2] = a1r + a3i; p[3] = a1i - a3r;
            p[6] = a1r - a3i; p[7] = a1i + a3r;
        } else {
            p[2] = a1r - a3i; p[3] = a1i + a3r;
            p[6] = a1r + a3i; p[7] = a1i - a3r;
        }
    }
}

// Twiddles of a span up to kTripleSpan are stored expanded for vector complex
// arithmetic, a * w = a * (wr, wr) + swap(a) * (-wi, wi), in pairs of k so that the
// four-lane stages load butterflies k and k+1 at once: per pair, for r = 1, 2, 3,
// (wr_k, wr_k, wr_k1, wr_k1) then (-wi_k, wi_k, -wi_k1, wi_k1) of w^{rk}.
// Larger spans store (wr, wi) of w^k and derive the others.
constexpr std::size_t kPairDoubles = 24;

inline const double* tripleAt(const double* t, std::size_t k) { return t + kPairDoubles * (k >> 1) + 2 * (k & 1); }

#if defined(__SSE2__)

struct Tw {
    __m128d rr[3], ii[3];  // w^k, w^2k, w^3k
};

inline __m128d swapLanes(__m128d a) { return _mm_shuffle_pd(a, a, 1); }

inline __m128d cmul(__m128d a, __m128d rr, __m128d ii)
{
    return _mm_add_pd(_mm_mul_pd(a, rr), _mm_mul_pd(swapLanes(a), ii));
}

template <bool Inv>
inline Tw loadTw(const double* t, std::size_t k, bool triple)
{
    Tw w;
    if (triple) {
        const double* p = tripleAt(t, k);
        for (int r = 0; r < 3; ++r) {
            w.rr[r] = _mm_loadu_pd(p + 8 * r);
            w.ii[r] = _mm_loadu_pd(p + 8 * r + 4);
        }
    } else {
        const double wr = t[2 * k], wi = t[2 * k + 1];
        const double w2r = wr * wr - wi * wi, w2i = 2 * wr * wi;
        const double w3r = w2r * wr - w2i * wi, w3i = w2r * wi + w2i * wr;
        w.rr[0] = _mm_set1_pd(wr);  w.ii[0] = _mm_set_pd(wi, -wi);
        w.rr[1] = _mm_set1_pd(w2r); w.ii[1] = _mm_set_pd(w2i, -w2i);
        w.rr[2] = _mm_set1_pd(w3r); w.ii[2] = _mm_set_pd(w3i, -w3i);
    }
    if (Inv) {  // conjugate: negate both lanes of the imaginary vector
        const __m128d neg = _mm_set1_pd(-0.0);
        for (int r = 0; r < 3; ++r) w.ii[r] = _mm_xor_pd(w.ii[r], neg);
    }
    return w;
}

// -j a (forward) or +j a (inverse)
template <bool Inv>
inline __m128d rotate(__m128d a)
{
    const __m128d sign = Inv ? _mm_set_pd(0.0, -0.0) : _mm_set_pd(-0.0, 0.0);
    return _mm_xor_pd(swapLanes(a), sign);
}

// Decimation in frequency, span m = 4q, outputs (y0, y1, y2, y3) to positions
// (0, q, 2q, 3q): y0 = a0 + a2, y1 = (a0 - a2) w^2k, y2 = (a1 -+ j a3) w^k,
// y3 = (a1 +- j a3) w^3k with a0 = x0 + x2, a1 = x0 - x2, a2 = x1 + x3, a3 = x1 - x3.
template <bool Inv>
inline void difButterfly(double* p, std::size_t q2, const Tw& w)
{
    const __m128d x0 = _mm_loadu_pd(p), x1 = _mm_loadu_pd(p + q2);
    const __m128d x2 = _mm_loadu_pd(p + 2 * q2), x3 = _mm_loadu_pd(p + 3 * q2);
    const __m128d a0 = _mm_add_pd(x0, x2), a1 = _mm_sub_pd(x0, x2);
    const __m128d a2 = _mm_add_pd(x1, x3), a3 = _mm_sub_pd(x1, x3);
    const __m128d r3 = rotate<Inv>(a3);
    _mm_storeu_pd(p, _mm_add_pd(a0, a2));
    _mm_storeu_pd(p + q2, cmul(_mm_sub_pd(a0, a2), w.rr[1], w.ii[1]));
    _mm_storeu_pd(p + 2 * q2, cmul(_mm_add_pd(a1, r3), w.rr[0], w.ii[0]));
    _mm_storeu_pd(p + 3 * q2, cmul(_mm_sub_pd(a1, r3), w.rr[2], w.ii[2]));
}

// Decimation in time, the transpose: b1 = x1 w^2k, b2 = x2 w^k, b3 = x3 w^3k;
// a0 = x0 + b1, a1 = x0 - b1, a2 = b2 + b3, a3 = b2 - b3;
// y0 = a0 + a2, y2 = a0 - a2, y1 = a1 -+ j a3, y3 = a1 +- j a3.
template <bool Inv>
inline void ditButterfly(double* p, std::size_t q2, const Tw& w)
{
    const __m128d x0 = _mm_loadu_pd(p);
    const __m128d b1 = cmul(_mm_loadu_pd(p + q2), w.rr[1], w.ii[1]);
    const __m128d b2 = cmul(_mm_loadu_pd(p + 2 * q2), w.rr[0], w.ii[0]);
    const __m128d b3 = cmul(_mm_loadu_pd(p + 3 * q2), w.rr[2], w.ii[2]);
    const __m128d a0 = _mm_add_pd(x0, b1), a1 = _mm_sub_pd(x0, b1);
    const __m128d a2 = _mm_add_pd(b2, b3), a3 = _mm_sub_pd(b2, b3);
    const __m128d r3 = rotate<Inv>(a3);
    _mm_storeu_pd(p, _mm_add_pd(a0, a2));
    _mm_storeu_pd(p + 2 * q2, _mm_sub_pd(a0, a2));
    _mm_storeu_pd(p + q2, _mm_add_pd(a1, r3));
    _mm_storeu_pd(p + 3 * q2, _mm_sub_pd(a1, r3));
}

#else  // portable scalar form of the same butterflies

struct Tw {
    double w1r, w1i, w2r, w2i, w3r, w3i;
};

template <bool Inv>
inline Tw loadTw(const double* t, std::size_t k, bool triple)
{
    Tw w;
    if (triple) {
        const double* p = tripleAt(t, k);
        w = {p[0], p[5], p[8], p[13], p[16], p[21]};
    } else {
        const double r = t[2 * k], i = t[2 * k + 1];
        w.w1r = r; w.w1i = i;
        w.w2r = r * r - i * i; w.w2i = 2 * r * i;
        w.w3r = w.w2r * r - w.w2i * i; w.w3i = w.w2r * i + w.w2i * r;
    }
    if (Inv) { w.w1i = -w.w1i; w.w2i = -w.w2i; w.w3i = -w.w3i; }
    return w;
}

template <bool Inv>
inline void difButterfly(double* p, std::size_t q2, const Tw& w)
{
    double* p1 = p + q2;
    double* p2 = p1 + q2;
    double* p3 = p2 + q2;
    const double a0r = p[0] + p2[0], a0i = p[1] + p2[1];
    const double a1r = p[0] - p2[0], a1i = p[1] - p2[1];
    const double a2r = p1[0] + p3[0], a2i = p1[1] + p3[1];
    const double a3r = p1[0] - p3[0], a3i = p1[1] - p3[1];
    p[0] = a0r + a2r;
    p[1] = a0i + a2i;
    const double br = a0r - a2r, bi = a0i - a2i;
    p1[0] = br * w.w2r - bi * w.w2i;
    p1[1] = br * w.w2i + bi * w.w2r;
    const double sr = Inv ? -a3i : a3i, si = Inv ? a3r : -a3r;  // -+ j a3
    const double cr = a1r + sr, ci = a1i + si, dr = a1r - sr, di = a1i - si;
    p2[0] = cr * w.w1r - ci * w.w1i;
    p2[1] = cr * w.w1i + ci * w.w1r;
    p3[0] = dr * w.w3r - di * w.w3i;
    p3[1] = dr * w.w3i + di * w.w3r;
}

template <bool Inv>
inline void ditButterfly(double* p, std::size_t q2, const Tw& w)
{
    double* p1 = p + q2;
    double* p2 = p1 + q2;
    double* p3 = p2 + q2;
    const double b1r = p1[0] * w.w2r - p1[1] * w.w2i, b1i = p1[0] * w.w2i + p1[1] * w.w2r;
    const double b2r = p2[0] * w.w1r - p2[1] * w.w1i, b2i = p2[0] * w.w1i + p2[1] * w.w1r;
    const double b3r = p3[0] * w.w3r - p3[1] * w.w3i, b3i = p3[0] * w.w3i + p3[1] * w.w3r;
    const double a0r = p[0] + b1r, a0i = p[1] + b1i;
    const double a1r = p[0] - b1r, a1i = p[1] - b1i;
    const double a2r = b2r + b3r, a2i = b2i + b3i;
    const double a3r = b2r - b3r, a3i = b2i - b3i;
    p[0] = a0r + a2r;
    p[1] = a0i + a2i;
    p2[0] = a0r - a2r;
    p2[1] = a0i - a2i;
    const double sr = Inv ? -a3i : a3i, si = Inv ? a3r : -a3r;
    p1[0] = a1r + sr; p1[1] = a1i + si;
    p3[0] = a1r - sr; p3[1] = a1i - si;
}

#endif

}  // namespace hm::dsp::fftkernels
