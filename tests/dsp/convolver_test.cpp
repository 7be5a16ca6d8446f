// The convolver against a plain O(N*M) convolution: every length 1..262144, fed in
// blocks of 1, 31, 64, 511 and 1024 samples, mono and linked stereo, and across an
// impulse change in mid-stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "dsp/fir/Convolver.h"

using hm::dsp::Convolver;

namespace {

struct Impulse {
    std::vector<double> taps;          // full length
    std::vector<std::size_t> nonzero;  // indices of the non-zero taps
};

// Dense random taps for short impulses; for long ones a dense head of 64 taps,
// a random scatter over the whole length and the last tap, so that the
// reference stays cheap while every partition size carries signal.
Impulse makeImpulse(std::size_t length, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Impulse imp;
    imp.taps.assign(length, 0.0);
    auto set = [&](std::size_t k) {
        if (imp.taps[k] == 0.0) imp.nonzero.push_back(k);
        imp.taps[k] = u(rng);
    };
    if (length <= 4096) {
        for (std::size_t k = 0; k < length; ++k) set(k);
    } else {
        for (std::size_t k = 0; k < 64; ++k) set(k);
        std::uniform_int_distribution<std::size_t> pos(0, length - 1);
        for (int i = 0; i < 200; ++i) set(pos(rng));
        set(length - 1);
        std::sort(imp.nonzero.begin(), imp.nonzero.end());
    }
    return imp;
}

std::vector<double> noise(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> v(n);
    for (auto& x : v) x = u(rng);
    return v;
}

double directOutput(const Impulse& h, const std::vector<double>& x, std::size_t t)
{
    double y = 0.0;
    for (std::size_t k : h.nonzero) {
        if (k > t) break;
        y += h.taps[k] * x[t - k];
    }
    return y;
}

// Largest |y - reference| over the range, relative to the largest |reference|.
double relativeError(const std::vector<double>& y, const Impulse& h, const std::vector<double>& x,
                     std::size_t from, std::size_t to)
{
    double err = 0.0, peak = 1e-300;
    for (std::size_t t = from; t < to; ++t) {
        const double r = directOutput(h, x, t);
        err = std::max(err, std::abs(y[t] - r));
        peak = std::max(peak, std::abs(r));
    }
    return err / peak;
}

void runBlocks(Convolver& conv, const std::vector<double>& x, std::vector<double>& y, std::size_t from,
               std::size_t to, int block)
{
    for (std::size_t t = from; t < to;) {
        const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), to - t));
        conv.process(x.data() + t, y.data() + t, n);
        t += static_cast<std::size_t>(n);
    }
}

}  // namespace

TEST(ConvolverTest, MonoEqualsDirectConvolutionForEveryLengthAndBlockSize)
{
    const int blocks[] = {1, 31, 64, 511, 1024};
    int variant = 0;
    for (std::size_t length = 1; length <= 262144; length *= 2) {
        const int block = blocks[variant++ % 5];
        const Impulse h = makeImpulse(length, static_cast<unsigned>(length));
        // Run past the impulse so that the largest partitions complete several jobs.
        const std::size_t total = 2 * length + 3000;
        const auto x = noise(total, 7);
        std::vector<double> y(total);
        Convolver conv(static_cast<int>(length), 1);
        conv.load(h.taps.data(), static_cast<int>(length));
        runBlocks(conv, x, y, 0, total, block);
        EXPECT_LT(relativeError(y, h, x, 0, total), 1e-9) << "length " << length << " block " << block;
    }
}

TEST(ConvolverTest, EveryBlockSizeAgreesAtMidLength)
{
    const std::size_t length = 8192;
    const Impulse h = makeImpulse(length, 3);
    const std::size_t total = 3 * length;
    const auto x = noise(total, 11);
    for (int block : {1, 31, 64, 511, 1024, 4000}) {
        std::vector<double> y(total);
        Convolver conv(static_cast<int>(length), 1);
        conv.load(h.taps.data(), static_cast<int>(length));
        runBlocks(conv, x, y, 0, total, block);
        EXPECT_LT(relativeError(y, h, x, 0, total), 1e-9) << "block " << block;
    }
}

TEST(ConvolverTest, LinkedStereoConvolvesEachSideWithTheSharedImpulse)
{
    for (std::size_t length : {16u, 256u, 4096u, 65536u}) {
        const Impulse h = makeImpulse(length, 5 + static_cast<unsigned>(length));
        const std::size_t total = 2 * length + 2000;
        const auto xl = noise(total, 21), xr = noise(total, 22);
        std::vector<double> yl(total), yr(total);
        Convolver conv(static_cast<int>(length), 2);
        conv.load(h.taps.data(), static_cast<int>(length));
        for (std::size_t t = 0; t < total;) {
            const int n = static_cast<int>(std::min<std::size_t>(64, total - t));
            conv.processStereo(xl.data() + t, xr.data() + t, yl.data() + t, yr.data() + t, n);
            t += static_cast<std::size_t>(n);
        }
        EXPECT_LT(relativeError(yl, h, xl, 0, total), 1e-9) << "left, length " << length;
        EXPECT_LT(relativeError(yr, h, xr, 0, total), 1e-9) << "right, length " << length;
    }
}

TEST(ConvolverTest, ImpulseChangeInMidStreamSwitchesCleanlyWithinHalfTheLength)
{
    // Before adoption the output is the old convolution; from L/2 samples after it
    // the new one over the whole input history (the partition jobs in flight at
    // the change finish with the impulse they started with).
    for (std::size_t length : {32u, 1024u, 16384u}) {
        for (int block : {1, 64, 511}) {
            const Impulse a = makeImpulse(length, 100), b = makeImpulse(length, 200);
            const std::size_t change = 3 * length + 17;  // a sample boundary inside a block
            const std::size_t total = change + length + 4096;
            const auto x = noise(total, 9);
            std::vector<double> y(total);
            Convolver conv(static_cast<int>(length), 1);
            conv.load(a.taps.data(), static_cast<int>(length));
            runBlocks(conv, x, y, 0, change, block);
            conv.load(b.taps.data(), static_cast<int>(length));
            EXPECT_TRUE(conv.staged());
            runBlocks(conv, x, y, change, total, block);
            EXPECT_FALSE(conv.staged());
            EXPECT_LT(relativeError(y, a, x, 0, change), 1e-9) << length << "/" << block;
            EXPECT_LT(relativeError(y, b, x, change + length / 2, total), 1e-9) << length << "/" << block;
            if (length <= static_cast<std::size_t>(Convolver::kDirectTaps)) {  // no partitions: exact at once
                EXPECT_LT(relativeError(y, b, x, change, total), 1e-12) << length << "/" << block;
            }
        }
    }
}

TEST(ConvolverTest, NonFiniteSamplesAndTapsEnterAsZero)
{
    const std::size_t length = 1024;
    Impulse h = makeImpulse(length, 77);
    std::vector<double> taps = h.taps;
    taps[5] = std::nan("");
    h.taps[5] = 0.0;
    h.nonzero.erase(std::find(h.nonzero.begin(), h.nonzero.end(), std::size_t(5)));
    const std::size_t total = 4 * length;
    auto x = noise(total, 12);
    auto fed = x;
    fed[100] = std::nan("");
    fed[2000] = INFINITY;
    x[100] = x[2000] = 0.0;
    std::vector<double> y(total);
    Convolver conv(static_cast<int>(length), 1);
    conv.load(taps.data(), static_cast<int>(length));
    runBlocks(conv, fed, y, 0, total, 64);
    EXPECT_LT(relativeError(y, h, x, 0, total), 1e-9);
}

TEST(ConvolverTest, LinkedStereoSwitchesImpulsesLikeMono)
{
    const std::size_t length = 4096;
    const Impulse a = makeImpulse(length, 300), b = makeImpulse(length, 301);
    const std::size_t change = 2 * length + 5, total = change + length + 2048;
    const auto xl = noise(total, 31), xr = noise(total, 32);
    std::vector<double> yl(total), yr(total);
    Convolver conv(static_cast<int>(length), 2);
    conv.load(a.taps.data(), static_cast<int>(length));
    for (std::size_t t = 0; t < total;) {
        if (t == change) conv.load(b.taps.data(), static_cast<int>(length));
        const std::size_t end = t < change ? change : total;
        const int n = static_cast<int>(std::min<std::size_t>(100, end - t));
        conv.processStereo(xl.data() + t, xr.data() + t, yl.data() + t, yr.data() + t, n);
        t += static_cast<std::size_t>(n);
    }
    EXPECT_LT(relativeError(yl, a, xl, 0, change), 1e-9);
    EXPECT_LT(relativeError(yr, a, xr, 0, change), 1e-9);
    EXPECT_LT(relativeError(yl, b, xl, change + length / 2, total), 1e-9);
    EXPECT_LT(relativeError(yr, b, xr, change + length / 2, total), 1e-9);
}

TEST(ConvolverTest, ClearForgetsHistoryAndShortImpulsesArePadded)
{
    const std::size_t length = 4096;
    Convolver conv(static_cast<int>(length), 1);
    const double head[3] = {0.5, -0.25, 0.125};
    conv.load(head, 3);  // the rest of the 4096 taps are zero
    auto x = noise(length * 2, 4);
    std::vector<double> y(x.size());
    conv.process(x.data(), y.data(), static_cast<int>(x.size()));
    conv.clear();
    std::vector<double> impulse(length * 2, 0.0), out(length * 2, 1.0);
    impulse[0] = 1.0;
    conv.process(impulse.data(), out.data(), static_cast<int>(impulse.size()));
    for (std::size_t t = 0; t < out.size(); ++t)
        EXPECT_NEAR(out[t], t < 3 ? head[t] : 0.0, 1e-12) << "t=" << t;
}
