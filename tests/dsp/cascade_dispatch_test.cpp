// Which cascade path runs: the processor's best, read here independently from the
// flags the kernel reports in /proc/cpuinfo, and the fallbacks when forced.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

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
    const bool avx2 = flags.find(" avx2 ") != std::string::npos;
    EXPECT_EQ(detectCascadePath(), avx2 ? CascadePath::Avx2 : CascadePath::Sse2);
    EXPECT_TRUE(cascadePathAvailable(CascadePath::Sse2));
#else
    EXPECT_EQ(detectCascadePath(), CascadePath::Scalar);
#endif
    EXPECT_EQ(activeCascadePath(), detectCascadePath());
}

TEST(CascadeDispatch, ForcedPathsFallBackToWhatTheProcessorHas) {
    PathGuard guard;
    struct Case {
        CascadePath forced, expected;
    };
    const CascadePath best = detectCascadePath();
    const Case cases[] = {
        {CascadePath::Scalar, CascadePath::Scalar},
        {CascadePath::Sse2, best == CascadePath::Scalar ? CascadePath::Scalar : CascadePath::Sse2},
        {CascadePath::Avx2, best},
    };
    for (const Case& c : cases) {
        forceCascadePath(c.forced);
        EXPECT_EQ(activeCascadePath(), c.expected) << cascadePathName(c.forced);
        EXPECT_EQ(groupRunner(activeCascadePath()) == nullptr, c.expected == CascadePath::Scalar);
    }
    clearForcedCascadePath();
    EXPECT_EQ(activeCascadePath(), best);
}

}  // namespace
}  // namespace hm::dsp
