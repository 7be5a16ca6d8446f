#include "dsp/fft/Fft.h"

#include "dsp/fft/FftAvx2.h"
#include "dsp/fft/FftKernels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hm::dsp {

using namespace fftkernels;

namespace {

constexpr std::size_t kTripleSpan = std::size_t(1) << 16;

int log2Of(std::size_t n)
{
    int b = 0;
    while ((std::size_t(1) << b) < n) ++b;
    return b;
}

// Spans n, n/4, ... above kBlock run over the whole array; what is left is the block.
std::size_t blockSpanOf(std::size_t n)
{
    std::size_t m = n;
    while (m > Fft::kBlock) m /= 4;
    return m;
}


}  // namespace

std::size_t Fft::blockSpan(std::size_t n) { return blockSpanOf(n); }

void Fft::usePortableStages(bool portable)
{
    forcePortable_ = portable;
    avx2_ = !portable && fftavx2::supported();
}

void Fft::prepare(std::size_t n)
{
    std::size_t size = 1;
    while (size < n) size <<= 1;
    if (size <= capacity_) return;
    capacity_ = size;
    capacityBits_ = log2Of(size);
    avx2_ = fftavx2::supported() && !forcePortable_;

    twOffset_.assign(static_cast<std::size_t>(capacityBits_) + 1, 0);
    std::size_t total = 0;
    for (int b = 2; b <= capacityBits_; ++b) {
        const std::size_t m = std::size_t(1) << b;
        twOffset_[b] = total;
        total += m <= kTripleSpan ? kPairDoubles * ((m / 4 + 1) / 2) : 2 * (m / 4);
    }
    twiddles_.assign(total, 0.0);
    for (int b = 2; b <= capacityBits_; ++b) {
        const std::size_t m = std::size_t(1) << b;
        double* t = twiddles_.data() + twOffset_[b];
        const double step = -2.0 * std::numbers::pi / static_cast<double>(m);
        const bool triple = m <= kTripleSpan;
        for (std::size_t k = 0; k < m / 4; ++k) {
            if (triple) {
                for (int r = 1; r <= 3; ++r) {
                    const double a = step * static_cast<double>(r * k);
                    double* e = const_cast<double*>(tripleAt(t, k)) + 8 * (r - 1);
                    e[0] = e[1] = std::cos(a);
                    e[5] = std::sin(a);
                    e[4] = -e[5];
                }
            } else {
                const double a = step * static_cast<double>(k);
                t[2 * k] = std::cos(a);
                t[2 * k + 1] = std::sin(a);
            }
        }
    }

    bitrev_.assign(size, 0);
    for (std::size_t i = 1; i < size; ++i)
        bitrev_[i] = (bitrev_[i >> 1] >> 1) | (static_cast<unsigned>(i & 1) << (capacityBits_ - 1));
}

template <bool Inv>
void Fft::difStageT(double* d, std::size_t span, std::size_t b, std::size_t e) const
{
    const std::size_t q = span / 4;
    const double* t = twiddles_.data() + twOffset_[log2Of(span)];
    const bool triple = span <= kTripleSpan;
    if (avx2_) {
        fftavx2::difStage(d, t, triple, span, b, e, Inv);
        return;
    }
    std::size_t g = b / q, k = b % q;
    while (b < e) {
        const std::size_t kEnd = std::min(q, k + (e - b));
        double* base = d + 2 * g * span;
        b += kEnd - k;
        for (; k < kEnd; ++k) difButterfly<Inv>(base + 2 * k, 2 * q, loadTw<Inv>(t, k, triple));
        k = 0;
        ++g;
    }
}

template <bool Inv>
void Fft::ditStageT(double* d, std::size_t span, std::size_t b, std::size_t e) const
{
    const std::size_t q = span / 4;
    const double* t = twiddles_.data() + twOffset_[log2Of(span)];
    const bool triple = span <= kTripleSpan;
    if (avx2_) {
        fftavx2::ditStage(d, t, triple, span, b, e, Inv);
        return;
    }
    std::size_t g = b / q, k = b % q;
    while (b < e) {
        const std::size_t kEnd = std::min(q, k + (e - b));
        double* base = d + 2 * g * span;
        b += kEnd - k;
        for (; k < kEnd; ++k) ditButterfly<Inv>(base + 2 * k, 2 * q, loadTw<Inv>(t, k, triple));
        k = 0;
        ++g;
    }
}

template <bool Inv>
void Fft::difBlockT(double* d, std::size_t n) const
{
    std::size_t m = n;
    for (; m > 4; m /= 4) difStageT<Inv>(d, m, 0, n / 4);
    if (m == 4) difSpan4<Inv>(d, n);
    else if (m == 2) radix2(d, n);
}

template <bool Inv>
void Fft::ditBlockT(double* d, std::size_t n) const
{
    if (n < 2) return;
    std::size_t m;
    if (log2Of(n) & 1) {
        radix2(d, n);
        m = 8;
    } else {
        ditSpan4<Inv>(d, n);
        m = 16;
    }
    for (; m <= n; m *= 4) ditStageT<Inv>(d, m, 0, n / 4);
}

template <bool Inv>
void Fft::difAll(double* d, std::size_t n) const
{
    const std::size_t blk = blockSpanOf(n);
    for (std::size_t m = n; m > blk; m /= 4) difStageT<Inv>(d, m, 0, n / 4);
    for (std::size_t o = 0; o < n; o += blk) difBlockT<Inv>(d + 2 * o, blk);
}

template <bool Inv>
void Fft::ditAll(double* d, std::size_t n) const
{
    const std::size_t blk = blockSpanOf(n);
    for (std::size_t o = 0; o < n; o += blk) ditBlockT<Inv>(d + 2 * o, blk);
    for (std::size_t m = blk * 4; m <= n; m *= 4) ditStageT<Inv>(d, m, 0, n / 4);
}

void Fft::bitReverse(double* d, std::size_t n) const
{
    if (n < 4) return;
    const int bits = log2Of(n);
    const int shift = capacityBits_ - bits;
    constexpr int kTileBits = 4;
    if (bits < 2 * kTileBits + 1) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t r = bitrev_[i] >> shift;
            if (i < r) {
                std::swap(d[2 * i], d[2 * r]);
                std::swap(d[2 * i + 1], d[2 * r + 1]);
            }
        }
        return;
    }
    // Index = (hi, mid, lo) with hi and lo of kTileBits bits; its reverse is
    // (rev lo, rev mid, rev hi). The 16 x 16 tiles of a mid and of its reverse are
    // exchanged through two small buffers: rows are read and written whole, and the
    // power-of-two strides between rows never compete for the same cache sets.
    constexpr std::size_t t = std::size_t(1) << kTileBits;
    std::size_t revSmall[t];
    for (std::size_t x = 0; x < t; ++x) revSmall[x] = bitrev_[x] >> (capacityBits_ - kTileBits);
    const int midBits = bits - 2 * kTileBits;
    const int hiShift = bits - kTileBits;
    double bufA[2 * t * t], bufB[2 * t * t];
    auto gather = [&](double* buf, std::size_t mid) {
        for (std::size_t hi = 0; hi < t; ++hi) {
            const double* row = d + 2 * ((hi << hiShift) | (mid << kTileBits));
            std::copy(row, row + 2 * t, buf + 2 * t * hi);
        }
    };
    // Tile of mid u receives, at (row, col), the buffered tile's (rev col, rev row).
    auto scatter = [&](const double* buf, std::size_t mid) {
        for (std::size_t row = 0; row < t; ++row) {
            double* out = d + 2 * ((row << hiShift) | (mid << kTileBits));
            const std::size_t srcCol = revSmall[row];
            for (std::size_t col = 0; col < t; ++col) {
                const double* src = buf + 2 * (t * revSmall[col] + srcCol);
                out[2 * col] = src[0];
                out[2 * col + 1] = src[1];
            }
        }
    };
    for (std::size_t mid = 0; mid < (std::size_t(1) << midBits); ++mid) {
        const std::size_t mr = bitrev_[mid] >> (capacityBits_ - midBits);
        if (mid > mr) continue;
        gather(bufA, mid);
        if (mid == mr) {
            scatter(bufA, mid);
        } else {
            gather(bufB, mr);
            scatter(bufB, mid);
            scatter(bufA, mr);
        }
    }
}

void Fft::forward(double* data, std::size_t n) const
{
    difAll<false>(data, n);
    bitReverse(data, n);
}

void Fft::inverse(double* data, std::size_t n) const
{
    difAll<true>(data, n);
    bitReverse(data, n);
}

void Fft::forwardScrambled(double* data, std::size_t n) const { difAll<false>(data, n); }
void Fft::inverseScrambled(double* data, std::size_t n) const { ditAll<true>(data, n); }

void Fft::difStage(double* data, std::size_t span, std::size_t begin, std::size_t end, bool inv) const
{
    inv ? difStageT<true>(data, span, begin, end) : difStageT<false>(data, span, begin, end);
}

void Fft::ditStage(double* data, std::size_t span, std::size_t begin, std::size_t end, bool inv) const
{
    inv ? ditStageT<true>(data, span, begin, end) : ditStageT<false>(data, span, begin, end);
}

void Fft::difBlock(double* block, std::size_t n, bool inv) const
{
    inv ? difBlockT<true>(block, n) : difBlockT<false>(block, n);
}

void Fft::ditBlock(double* block, std::size_t n, bool inv) const
{
    inv ? ditBlockT<true>(block, n) : ditBlockT<false>(block, n);
}

}  // namespace hm::dsp
