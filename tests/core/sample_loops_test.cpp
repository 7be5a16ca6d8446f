// The block processor's sample loops: the baseline ones against their definitions
// one sample at a time, and the AVX2 and AVX-512 copies against the baseline bit
// for bit, on samples that include every kind of double (NaN, infinities,
// subnormals, -0) and on every length and offset around the vector widths.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "core/SampleLoops.h"
#include "dsp/CpuFeatures.h"

namespace hm {
namespace {

std::vector<double> awkwardSamples(std::size_t count, unsigned seed) {
    const double specials[] = {0.0, -0.0, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min(),
                               -4e-310, std::numeric_limits<double>::max(), 1e-40, 3.4e38, 1.0 + 0x1p-30};
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.5);
    std::vector<double> x(count);
    for (std::size_t i = 0; i < count; ++i) x[i] = random() % 5 == 0 ? specials[random() % std::size(specials)] : noise(random);
    return x;
}

template <class T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0) return false;
    return true;
}

// Every loop on one set of samples, through the given table.
struct Results {
    std::vector<double> fromFloat, fromDouble, encodedA, encodedB, decodedA, decodedB;
    std::vector<float> stored;
    bool finite = false;
};

Results runAll(const SampleLoops& loops, const std::vector<double>& x, const std::vector<double>& y, int offset, int n) {
    Results r;
    std::vector<float> f(x.begin(), x.end());
    r.fromFloat.assign(x.size(), -1.0);
    r.fromDouble.assign(x.size(), -1.0);
    loops.loadFiniteFloat(f.data() + offset, r.fromFloat.data() + offset, n);
    loops.loadFiniteDouble(x.data() + offset, r.fromDouble.data() + offset, n);
    r.stored.assign(x.size(), -1.0f);
    loops.storeFloat(x.data() + offset, r.stored.data() + offset, n);
    r.finite = loops.allFinite(x.data() + offset, n);
    r.encodedA = x;
    r.encodedB = y;
    loops.midSideEncode(r.encodedA.data() + offset, r.encodedB.data() + offset, n);
    r.decodedA = x;
    r.decodedB = y;
    loops.midSideDecode(r.decodedA.data() + offset, r.decodedB.data() + offset, n);
    return r;
}

TEST(SampleLoops, BaselineDoesWhatEachLoopSays) {
    const auto x = awkwardSamples(300, 1), y = awkwardSamples(300, 2);
    const Results r = runAll(baselineSampleLoops(), x, y, 3, 290);
    bool finite = true;
    for (int i = 0; i < 300; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const bool inside = i >= 3 && i < 293;
        if (!inside) {
            // Nothing outside the span is touched.
            ASSERT_EQ(r.fromDouble[at], -1.0);
            ASSERT_EQ(r.stored[at], -1.0f);
            ASSERT_EQ(std::bit_cast<std::uint64_t>(r.encodedA[at]), std::bit_cast<std::uint64_t>(x[at]));
            continue;
        }
        finite = finite && std::isfinite(x[at]);
        const double expect = std::isfinite(x[at]) ? x[at] : 0.0;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.fromDouble[at]), std::bit_cast<std::uint64_t>(expect)) << i;
        const float f = static_cast<float>(x[at]);
        const double expectFromFloat = std::isfinite(f) ? static_cast<double>(f) : 0.0;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.fromFloat[at]), std::bit_cast<std::uint64_t>(expectFromFloat)) << i;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(r.stored[at]), std::bit_cast<std::uint32_t>(f)) << i;
        const double mid = x[at] + y[at], side = x[at] - y[at];
        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.encodedA[at]), std::bit_cast<std::uint64_t>(mid)) << i;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.encodedB[at]), std::bit_cast<std::uint64_t>(side)) << i;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.decodedA[at]), std::bit_cast<std::uint64_t>(mid * 0.5)) << i;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.decodedB[at]), std::bit_cast<std::uint64_t>(side * 0.5)) << i;
    }
    EXPECT_EQ(r.finite, finite);
    EXPECT_FALSE(finite) << "the samples should include non-finite ones";
}

TEST(SampleLoops, WideCopiesEqualTheBaselineBitForBit) {
    // Each copy is there exactly where the processor has its instruction set (the
    // build is x86-64 here), and the widest one is chosen.
#if defined(__x86_64__)
    ASSERT_EQ(avx2SampleLoops() != nullptr, dsp::processorHasAvx2());
    ASSERT_EQ(avx512SampleLoops() != nullptr, dsp::processorHasAvx512());
#endif
    const SampleLoops* widest = avx512SampleLoops() ? avx512SampleLoops() : avx2SampleLoops();
    EXPECT_EQ(&sampleLoops(), widest ? widest : &baselineSampleLoops());
    for (const SampleLoops* wide : {avx2SampleLoops(), avx512SampleLoops()}) {
        if (!wide) continue;  // not on this processor
        SCOPED_TRACE(wide == avx512SampleLoops() ? "AVX-512" : "AVX2");
        for (unsigned seed = 0; seed < 6; ++seed) {
            auto x = awkwardSamples(80, 10 + seed), y = awkwardSamples(80, 20 + seed);
            if (seed % 2) {
                // All finite but one, so that the verdict depends on every sample being looked at.
                for (double& v : x) v = std::isfinite(v) ? v : 0.25;
                x[static_cast<std::size_t>(70 - seed)] = std::numeric_limits<double>::quiet_NaN();
            }
            for (int offset : {0, 1, 3}) {
                for (int n = 0; n + offset <= 76; n += n < 20 ? 1 : 7) {
                    SCOPED_TRACE(testing::Message() << "seed " << seed << ", offset " << offset << ", " << n << " samples");
                    const Results a = runAll(baselineSampleLoops(), x, y, offset, n), b = runAll(*wide, x, y, offset, n);
                    ASSERT_TRUE(sameBits(a.fromFloat, b.fromFloat));
                    ASSERT_TRUE(sameBits(a.fromDouble, b.fromDouble));
                    ASSERT_TRUE(sameBits(a.stored, b.stored));
                    ASSERT_EQ(a.finite, b.finite);
                    ASSERT_TRUE(sameBits(a.encodedA, b.encodedA));
                    ASSERT_TRUE(sameBits(a.encodedB, b.encodedB));
                    ASSERT_TRUE(sameBits(a.decodedA, b.decodedA));
                    ASSERT_TRUE(sameBits(a.decodedB, b.decodedB));
                }
            }
        }
    }
}

}  // namespace
}  // namespace hm
