// FFT against a naive O(N^2) DFT evaluated in long double, fixed seeds.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "dsp/fft/Fft.h"
#include "dsp/fft/RealFft.h"
#include "dsp/fft/RealSplit.h"

using hm::dsp::Fft;
using hm::dsp::RealFft;

namespace {

std::vector<double> randomSignal(std::size_t doubles, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> v(doubles);
    for (auto& x : v) x = u(rng);
    return v;
}

// sign -1: forward kernel e^{-j...}; +1: inverse kernel.
std::vector<double> naiveDft(const std::vector<double>& x, std::size_t n, int sign)
{
    std::vector<long double> c(n), s(n);
    for (std::size_t m = 0; m < n; ++m) {
        const long double a = sign * 2.0L * std::numbers::pi_v<long double> * static_cast<long double>(m) /
                              static_cast<long double>(n);
        c[m] = std::cos(a);
        s[m] = std::sin(a);
    }
    std::vector<double> y(2 * n);
    for (std::size_t k = 0; k < n; ++k) {
        long double re = 0, im = 0;
        for (std::size_t t = 0, m = 0; t < n; ++t, m = (m + k) % n) {
            re += x[2 * t] * c[m] - x[2 * t + 1] * s[m];
            im += x[2 * t] * s[m] + x[2 * t + 1] * c[m];
        }
        y[2 * k] = static_cast<double>(re);
        y[2 * k + 1] = static_cast<double>(im);
    }
    return y;
}

double maxAbsDiff(const double* a, const double* b, std::size_t count)
{
    double m = 0;
    for (std::size_t i = 0; i < count; ++i) m = std::max(m, std::abs(a[i] - b[i]));
    return m;
}

std::size_t reverseBits(std::size_t i, std::size_t n)
{
    std::size_t r = 0;
    for (std::size_t b = 1; b < n; b <<= 1) r = (r << 1) | ((i & b) ? 1 : 0);
    return r;
}

}  // namespace

TEST(FftTest, NaturalOrderMatchesNaiveDftBothDirections)
{
    Fft fft(4096);
    Fft portable(4096);
    portable.usePortableStages(true);
    for (std::size_t n = 1; n <= 4096; n *= 2) {
        const auto x = randomSignal(2 * n, 17 + static_cast<unsigned>(n));
        for (int sign : {-1, +1}) {
            auto y = x, z = x;
            sign < 0 ? fft.forward(y.data(), n) : fft.inverse(y.data(), n);
            sign < 0 ? portable.forward(z.data(), n) : portable.inverse(z.data(), n);
            const auto ref = naiveDft(x, n, sign);
            EXPECT_LT(maxAbsDiff(y.data(), ref.data(), 2 * n), 1e-12 * std::sqrt(double(n)) * 8)
                << "n=" << n << " sign=" << sign;
            EXPECT_LT(maxAbsDiff(z.data(), ref.data(), 2 * n), 1e-12 * std::sqrt(double(n)) * 8)
                << "portable n=" << n << " sign=" << sign;
        }
    }
}

TEST(FftTest, ScrambledForwardIsBitReversedDftAndInverseRestoresNaturalOrder)
{
    // Sizes above one cache block exercise the whole-array stages, including a
    // span that keeps only w^k in its table (2^17); both the vector stages chosen
    // at run time and the portable ones.
    for (bool portable : {false, true}) {
    Fft fft(1 << 17);
    fft.usePortableStages(portable);
    for (std::size_t n : {2u, 8u, 64u, 2048u, 4096u, 8192u, 1u << 17}) {
        const auto x = randomSignal(2 * n, 5 + static_cast<unsigned>(n));
        auto natural = x;
        fft.forward(natural.data(), n);
        auto scrambled = x;
        fft.forwardScrambled(scrambled.data(), n);
        double err = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t r = reverseBits(i, n);
            err = std::max({err, std::abs(scrambled[2 * i] - natural[2 * r]),
                            std::abs(scrambled[2 * i + 1] - natural[2 * r + 1])});
        }
        EXPECT_LT(err, 1e-9) << "n=" << n;
        fft.inverseScrambled(scrambled.data(), n);
        for (auto& v : scrambled) v /= static_cast<double>(n);
        EXPECT_LT(maxAbsDiff(scrambled.data(), x.data(), 2 * n), 1e-12) << "n=" << n;
        if (n <= 8192) {
            const auto ref = naiveDft(x, n, -1);
            EXPECT_LT(maxAbsDiff(natural.data(), ref.data(), 2 * n), 1e-10) << "n=" << n;
        }
    }
    }
}

TEST(FftTest, PiecewiseTransformEqualsWholeTransform)
{
    // Ranges that start and end on odd butterflies included.
    // The convolver spreads one transform over many calls: stage ranges cut at
    // arbitrary butterflies, then the blocks, must give the same numbers.
    const std::size_t n = 1 << 14;
    Fft fft(n);
    const auto x = randomSignal(2 * n, 99);
    auto whole = x;
    fft.forwardScrambled(whole.data(), n);
    auto pieces = x;
    const std::size_t blk = Fft::blockSpan(n);
    for (std::size_t m = n; m > blk; m /= 4)
        for (std::size_t b = 0; b < n / 4; b += 77) fft.difStage(pieces.data(), m, b, std::min(n / 4, b + 77), false);
    for (std::size_t o = 0; o < n; o += blk) fft.difBlock(pieces.data() + 2 * o, blk, false);
    EXPECT_EQ(maxAbsDiff(whole.data(), pieces.data(), 2 * n), 0.0);

    auto inv = whole;
    fft.inverseScrambled(inv.data(), n);
    for (std::size_t o = 0; o < n; o += blk) fft.ditBlock(pieces.data() + 2 * o, blk, true);
    for (std::size_t m = blk * 4; m <= n; m *= 4)
        for (std::size_t b = 0; b < n / 4; b += 123) fft.ditStage(pieces.data(), m, b, std::min(n / 4, b + 123), true);
    EXPECT_EQ(maxAbsDiff(inv.data(), pieces.data(), 2 * n), 0.0);
}

TEST(FftTest, RealTransformPacksDcNyquistAndBinsLikeTheDft)
{
    for (std::size_t n : {4u, 8u, 32u, 1024u, 8192u}) {
        RealFft rfft(n);
        const auto real = randomSignal(n, 3 + static_cast<unsigned>(n));
        std::vector<double> cplx(2 * n, 0.0);
        for (std::size_t i = 0; i < n; ++i) cplx[2 * i] = real[i];
        const auto ref = naiveDft(cplx, n, -1);
        std::vector<double> out(n);
        rfft.forward(real.data(), out.data());
        const double tol = 1e-11 * std::sqrt(double(n));
        EXPECT_NEAR(out[0], ref[0], tol) << "n=" << n;
        EXPECT_NEAR(out[1], ref[n], tol) << "n=" << n;  // bin n/2, real
        double err = 0;
        for (std::size_t k = 1; k < n / 2; ++k)
            err = std::max({err, std::abs(out[2 * k] - ref[2 * k]), std::abs(out[2 * k + 1] - ref[2 * k + 1])});
        EXPECT_LT(err, tol) << "n=" << n;
    }
}

TEST(FftTest, RealTransformOfBinCentredSineHasHalfAmplitudePeak)
{
    // A unit cosine on bin 100 of 8192 gives n/2 in that bin and nothing elsewhere.
    const std::size_t n = 8192;
    RealFft rfft(n);
    std::vector<double> x(n), out(n);
    for (std::size_t t = 0; t < n; ++t) x[t] = std::cos(2.0 * std::numbers::pi * 100.0 * double(t) / double(n));
    rfft.forward(x.data(), out.data());
    for (std::size_t k = 1; k < n / 2; ++k) {
        const double mag = std::hypot(out[2 * k], out[2 * k + 1]);
        EXPECT_NEAR(mag, k == 100 ? n / 2.0 : 0.0, 1e-8) << "k=" << k;
    }
}

TEST(FftTest, RealSplitAndMergeInBitReversedOrderMatchTheRealDft)
{
    // 2P real samples as P complex points: the split gives bin k of the 2P-point
    // real DFT at the bit-reversed position of k (DC and Nyquist packed at 0), and
    // the merge followed by the inverse transform returns P times the samples.
    for (std::size_t points : {2u, 4u, 16u, 512u}) {
        Fft fft(points);
        const auto tw = hm::dsp::realSplitTwiddles(points);
        const auto x = randomSignal(2 * points, 40 + static_cast<unsigned>(points));
        std::vector<double> cplx(4 * points, 0.0);
        for (std::size_t i = 0; i < 2 * points; ++i) cplx[2 * i] = x[i];
        const auto ref = naiveDft(cplx, 2 * points, -1);
        auto w = x;  // pairs read as complex points
        fft.forwardScrambled(w.data(), points);
        // In slices cut at odd places, as the convolver spreads the work.
        for (std::size_t b = 0; b < points; b += 7) hm::dsp::realSplit(w.data(), tw.data(), b, std::min(points, b + 7));
        EXPECT_NEAR(w[0], ref[0], 1e-9);
        EXPECT_NEAR(w[1], ref[2 * points], 1e-9);
        for (std::size_t p = 1; p < points; ++p) {
            const std::size_t k = reverseBits(p, points);
            EXPECT_NEAR(w[2 * p], ref[2 * k], 1e-9) << points << " k=" << k;
            EXPECT_NEAR(w[2 * p + 1], ref[2 * k + 1], 1e-9) << points << " k=" << k;
        }
        for (std::size_t b = 0; b < points; b += 5) hm::dsp::realMerge(w.data(), tw.data(), b, std::min(points, b + 5));
        fft.inverseScrambled(w.data(), points);
        for (std::size_t i = 0; i < 2 * points; ++i) EXPECT_NEAR(w[i] / double(points), x[i], 1e-12) << points;
    }
}
