// The whole instance on each cascade path against the scalar one, through the
// float and the double processing entries: the vectorised sections must not
// change a single output sample, glides and routing changes included.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dsp/cascade/CascadePath.h"
#include "tests/core/ProcessRig.h"

namespace hm::test {
namespace {

struct PathGuard {
    ~PathGuard() { dsp::clearForcedCascadePath(); }
};

void setBands(ClockedPlug& plug, int round) {
    const int types[] = {1, 2, 3, 4, 5, 6};  // Peak, HPF, LSh, HSh, LPF, Notch
    for (int b = 0; b < 32; ++b) {
        plug.setReal(bandParam(b, kBandState), b % 9 == 4 ? 0 : 2);
        plug.setReal(bandParam(b, kBandType), types[(b + round) % 6]);
        plug.setReal(bandParam(b, kBandFrequency), 25.0 * std::pow(1.22, b + round));
        plug.setReal(bandParam(b, kBandGain), (b % 2 ? 0.2 : -0.25) * (1 + round % 2));
        plug.setReal(bandParam(b, kBandQ), 0.7 + 0.1 * b);
        plug.setReal(bandParam(b, kBandSlope), 12 + 6 * ((b + round) % 7));
    }
    plug.setReal(kParallel, round % 3);
}

template <typename T>
void runBlock(ClockedPlug& plug, std::vector<std::vector<T>>& io, int offset, int n) {
    std::vector<T*> p;
    for (auto& c : io) p.push_back(c.data() + offset);
    if constexpr (std::is_same_v<T, float>) plug.processReplacing(p.data(), p.data(), n);
    else plug.processDoubleReplacing(p.data(), p.data(), n);
}

template <typename T>
void compareWithScalar(dsp::CascadePath path) {
    PathGuard guard;
    // This thread processes, so its parameter changes wait for a tick: only the
    // ticks of settle() run them (a ClockedPlug is off the shared timer).
    ClockedPlug scalar, vector;
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 0.2);
    const int frames = 24000;
    std::vector<std::vector<T>> a(2, std::vector<T>(frames)), b;
    for (auto& c : a)
        for (T& v : c) v = static_cast<T>(noise(random));
    b = a;
    const int blocks[] = {512, 37, 1, 1024, 2048, 700};
    int at = 0;
    for (int k = 0; at < frames; ++k) {
        if (k % 6 == 0) {
            // New settings while audio runs: every band glides, some change type and
            // routing, a few go off.
            for (ClockedPlug* p : {&scalar, &vector}) {
                setBands(*p, k / 6);
                p->settle();
            }
        }
        const int n = std::min(blocks[k % 6], frames - at);
        dsp::forceCascadePath(dsp::CascadePath::Scalar);
        runBlock(scalar, a, at, n);
        dsp::forceCascadePath(path);
        runBlock(vector, b, at, n);
        at += n;
    }
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
            ASSERT_EQ(a[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)], b[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)])
                << dsp::cascadePathName(path) << " channel " << c << " sample " << i;
}

TEST(PlugCascadePaths, EveryPathEqualsTheScalarCascadeInFloatAndDouble) {
    for (dsp::CascadePath path : {dsp::CascadePath::Sse2, dsp::CascadePath::Avx2, dsp::CascadePath::Avx512}) {
        if (!dsp::cascadePathAvailable(path)) continue;  // the other path still runs
        SCOPED_TRACE(dsp::cascadePathName(path));
        compareWithScalar<float>(path);
        compareWithScalar<double>(path);
    }
}

}  // namespace
}  // namespace hm::test
