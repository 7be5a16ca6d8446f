#include "dsp/fft/RealSplit.h"

#include "dsp/fft/FftAvx2.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hm::dsp {

std::vector<double> realSplitTwiddles(std::size_t points)
{
    int bits = 0;
    while ((std::size_t(1) << bits) < points) ++bits;
    std::vector<double> tw(2 * points);
    for (std::size_t p = 0; p < points; ++p) {
        std::size_t k = 0;
        for (int b = 0; b < bits; ++b)
            if (p & (std::size_t(1) << b)) k |= std::size_t(1) << (bits - 1 - b);
        const double a = -std::numbers::pi * static_cast<double>(k) / static_cast<double>(points);
        tw[2 * p] = std::cos(a);
        tw[2 * p + 1] = std::sin(a);
    }
    return tw;
}

namespace {

// X = e - j W o with e = (A + conj B)/2, o = (A - conj B)/2.
inline void splitOne(double ar, double ai, double br, double bi, double wr, double wi, double* out)
{
    const double er = 0.5 * (ar + br), ei = 0.5 * (ai - bi);
    const double orr = 0.5 * (ar - br), oi = 0.5 * (ai + bi);
    const double tr = wr * orr - wi * oi, ti = wr * oi + wi * orr;  // W o
    out[0] = er + ti;                                                // e - j (W o)
    out[1] = ei - tr;
}

// Z' = E + j O with E = (A + conj B)/2, O = (A - conj B) conj(W)/2.
inline void mergeOne(double ar, double ai, double br, double bi, double wr, double wi, double* out)
{
    const double er = 0.5 * (ar + br), ei = 0.5 * (ai - bi);
    const double dr = 0.5 * (ar - br), di = 0.5 * (ai + bi);
    const double orr = dr * wr + di * wi, oi = di * wr - dr * wi;  // d conj(W)
    out[0] = er - oi;
    out[1] = ei + orr;
}

}  // namespace

// Visits the pairs whose lower position lies in [begin, end): position 0 alone, 1
// alone, then octave by octave the lower half of each octave with its mirror.
template <class Pair, class Zero, class Vector>
void forEachPair(std::size_t begin, std::size_t end, Pair pair, Zero zero, Vector vector)
{
    static const bool wide = fftavx2::supported();
    std::size_t p = begin;
    if (p == 0 && p < end) {
        zero();
        p = 1;
    }
    if (p == 1 && p < end) {
        pair(1, 1);
        p = 2;
    }
    while (p < end) {
        const std::size_t s = std::size_t(1) << (63 - __builtin_clzll(static_cast<unsigned long long>(p)));
        const std::size_t octaveEnd = std::min(2 * s, end);
        const std::size_t lowerEnd = std::min(octaveEnd, s + s / 2);
        if (wide && p + 2 <= lowerEnd) {
            const std::size_t even = p + ((lowerEnd - p) & ~std::size_t(1));
            vector(s, p, even);
            p = even;
        }
        for (; p < lowerEnd; ++p) pair(p, 3 * s - 1 - p);
        p = octaveEnd;
    }
}

void realSplit(double* d, const double* tw, std::size_t begin, std::size_t end)
{
    forEachPair(
        begin, end,
        [&](std::size_t p, std::size_t q) {
            const double ar = d[2 * p], ai = d[2 * p + 1], br = d[2 * q], bi = d[2 * q + 1];
            splitOne(ar, ai, br, bi, tw[2 * p], tw[2 * p + 1], d + 2 * p);
            if (q != p) splitOne(br, bi, ar, ai, tw[2 * q], tw[2 * q + 1], d + 2 * q);
        },
        [&] {
            const double a = d[0], b = d[1];
            d[0] = a + b;  // DC
            d[1] = a - b;  // Nyquist
        },
        [&](std::size_t s, std::size_t b, std::size_t e) { fftavx2::splitPairs(d, tw, s, b, e); });
}

void realMerge(double* d, const double* tw, std::size_t begin, std::size_t end)
{
    forEachPair(
        begin, end,
        [&](std::size_t p, std::size_t q) {
            const double ar = d[2 * p], ai = d[2 * p + 1], br = d[2 * q], bi = d[2 * q + 1];
            mergeOne(ar, ai, br, bi, tw[2 * p], tw[2 * p + 1], d + 2 * p);
            if (q != p) mergeOne(br, bi, ar, ai, tw[2 * q], tw[2 * q + 1], d + 2 * q);
        },
        [&] {
            const double dc = d[0], ny = d[1];
            d[0] = 0.5 * (dc + ny);
            d[1] = 0.5 * (dc - ny);
        },
        [&](std::size_t s, std::size_t b, std::size_t e) { fftavx2::mergePairs(d, tw, s, b, e); });
}

}  // namespace hm::dsp
