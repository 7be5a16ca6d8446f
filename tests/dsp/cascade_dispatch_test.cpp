// Which cascade path runs: the processor's best, read here independently from the
// flags the kernel reports in /proc/cpuinfo, the fallbacks when forced, the names
// the environment may ask for, and the AVX-512 check against the register state
// the system saves.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "dsp/CpuFeatures.h"
#include "dsp/cascade/CascadePath.h"

namespace hm::dsp {
namespace {

struct PathGuard {
    ~PathGuard() { clearForcedCascadePath(); }
};

// The "flags" line of the first processor, with blanks around every flag.
std::string cpuFlags() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("flags", 0) == 0) {
            std::string flags(1, ' ');
            flags.append(line, line.find(':') + 1);
            flags += ' ';
            return flags;
        }
    return "";
}

TEST(CascadeDispatch, PicksTheWidestPathTheProcessorHas) {
    const std::string flags = cpuFlags();
#if defined(__x86_64__)
    ASSERT_FALSE(flags.empty()) << "no flags line in /proc/cpuinfo";
    // The kernel lists avx512f and avx2 only where it also saves their registers.
    const bool avx512 = flags.find(" avx512f ") != std::string::npos;
    const bool avx2 = flags.find(" avx2 ") != std::string::npos;
    EXPECT_EQ(detectCascadePath(), avx512 ? CascadePath::Avx512 : avx2 ? CascadePath::Avx2 : CascadePath::Sse2);
    EXPECT_EQ(cascadePathAvailable(CascadePath::Avx512), avx512);
    EXPECT_EQ(processorHasAvx512(), avx512);
    EXPECT_TRUE(cascadePathAvailable(CascadePath::Sse2));
#else
    EXPECT_EQ(detectCascadePath(), CascadePath::Scalar);
#endif
    EXPECT_EQ(activeCascadePath(), detectCascadePath());
}

TEST(CascadeDispatch, ForcedPathsFallBackToWhatTheProcessorHas) {
    PathGuard guard;
    const CascadePath best = detectCascadePath();
    const auto atMostBest = [best](CascadePath p) { return static_cast<int>(p) <= static_cast<int>(best) ? p : best; };
    for (CascadePath forced : {CascadePath::Scalar, CascadePath::Sse2, CascadePath::Avx2, CascadePath::Avx512}) {
        forceCascadePath(forced);
        const CascadePath active = activeCascadePath();
        EXPECT_EQ(active, atMostBest(forced)) << cascadePathName(forced);
        const CascadeKernel* kernel = cascadeKernel(active);
        ASSERT_EQ(kernel == nullptr, active == CascadePath::Scalar) << cascadePathName(forced);
        // The groups are packed for the kernel's width.
        if (kernel) {
            EXPECT_EQ(kernel->lanes, active == CascadePath::Avx512 ? 8 : 4) << cascadePathName(forced);
        }
    }
    clearForcedCascadePath();
    EXPECT_EQ(activeCascadePath(), best);
}

TEST(CascadeDispatch, EnvironmentNamesEveryPathAndNothingElse) {
    for (CascadePath p : {CascadePath::Scalar, CascadePath::Sse2, CascadePath::Avx2, CascadePath::Avx512}) {
        CascadePath named = CascadePath::Scalar == p ? CascadePath::Sse2 : CascadePath::Scalar;
        EXPECT_TRUE(cascadePathNamed(cascadePathName(p), named)) << cascadePathName(p);
        EXPECT_EQ(named, p);
    }
    EXPECT_STREQ(cascadePathName(CascadePath::Avx512), "avx512");
    CascadePath untouched = CascadePath::Sse2;
    for (const char* text : {"AVX512", "avx-512", "avx51", "avx5122", "", " avx2"})
        EXPECT_FALSE(cascadePathNamed(text, untouched)) << '"' << text << '"';
    EXPECT_FALSE(cascadePathNamed(nullptr, untouched));
    EXPECT_EQ(untouched, CascadePath::Sse2);
}

// The AVX-512 decision needs the processor's AVX512F and the system's saving of
// every part of the state those registers add; any one missing means no AVX-512.
TEST(CascadeDispatch, Avx512NeedsTheProcessorAndTheSystemsRegisterState) {
    constexpr std::uint32_t kOsxsave = 1u << 27, kAvx512f = 1u << 16;
    constexpr std::uint64_t kFull = 0xE7;  // x87, SSE, AVX, opmask, ZMM upper halves, ZMM16..31
    struct Case {
        const char* what;
        std::uint32_t leaf1Ecx, leaf7Ebx;
        std::uint64_t xcr0;
        bool usable;
    };
    const Case cases[] = {
        {"everything", kOsxsave, kAvx512f, kFull, true},
        {"with AMX state as well", kOsxsave, kAvx512f | (1u << 24), kFull | (3ull << 17), true},
        {"no AVX512F", kOsxsave, 1u << 5 /* AVX2 only */, kFull, false},
        {"system without XSAVE", 0, kAvx512f, kFull, false},
        {"opmask state not saved", kOsxsave, kAvx512f, kFull & ~(1ull << 5), false},
        {"upper halves of ZMM0..15 not saved", kOsxsave, kAvx512f, kFull & ~(1ull << 6), false},
        {"ZMM16..31 not saved", kOsxsave, kAvx512f, kFull & ~(1ull << 7), false},
        {"AVX (YMM) state not saved", kOsxsave, kAvx512f, kFull & ~(1ull << 2), false},
        {"SSE state not saved", kOsxsave, kAvx512f, kFull & ~(1ull << 1), false},
    };
    for (const Case& c : cases) EXPECT_EQ(avx512Usable(c.leaf1Ecx, c.leaf7Ebx, c.xcr0), c.usable) << c.what;
}

}  // namespace
}  // namespace hm::dsp
