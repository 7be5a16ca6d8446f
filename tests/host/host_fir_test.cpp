// The FIR modes through the effect record only: the latency the plug-in reports
// against the peak of the impulse response a host measures, and the bypass delay
// of a FIR mode with latency.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/host/HostFixture.h"
#include "tests/host/HostValues.h"

namespace hm::test {
namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

constexpr int kModeParam = 4, kIRLengthParam = 7, kIRPhaseParam = 10;

std::vector<double> render(host::PluginInstance& plug, const std::vector<double>& mono) {
    std::vector<double> in = mono, right = mono, out(mono.size()), outR(mono.size());
    for (std::size_t offset = 0; offset < mono.size(); offset += kBlock) {
        const int n = static_cast<int>(std::min<std::size_t>(kBlock, mono.size() - offset));
        double* ip[2] = {in.data() + offset, right.data() + offset};
        double* op[2] = {out.data() + offset, outR.data() + offset};
        plug.processDouble(ip, op, n);
    }
    return out;
}

int peakIndex(const std::vector<double>& y) {
    int best = 0;
    for (std::size_t i = 1; i < y.size(); ++i)
        if (std::abs(y[i]) > std::abs(y[static_cast<std::size_t>(best)])) best = static_cast<int>(i);
    return best;
}

// The plug-in finishes updates on its timer and builds FIRs on a thread of its
// own; a host just keeps playing. Renders silence, then a unit impulse, until the
// reported delay is `delay` and the impulse response has its final, filtered
// shape (two renders agree and differ from the bare impulse).
std::vector<double> settledImpulseResponse(host::PluginInstance& plug, int delay, int frames) {
    std::vector<double> previous, h;
    std::vector<double> pulse(static_cast<std::size_t>(frames), 0.0);
    pulse[0] = 1.0;
    const bool settled = eventually([&] {
        render(plug, std::vector<double>(static_cast<std::size_t>(frames), 0.0));
        h = render(plug, pulse);
        const bool done = plug.effect()->initialDelay == delay && h == previous && h != pulse;
        previous = h;
        return done;
    });
    if (!settled) ADD_FAILURE() << "the FIR never settled";
    return h;
}

TEST(HostFir, ReportedLatencyIsThePeakOfTheMeasuredImpulseResponse) {
    const struct { int phaseItem; int lengthItem; int latency; } table[] = {
        {0, 0, 512},    // "Linear", 1024 taps
        {3, 1, 1024},   // "Analogue", 2048 taps
        {4, 2, 2048},   // "Free", 4096 taps
        {0, 4, 8192},   // "Linear", 16384 taps
        {1, 2, 0},      // "Full Minimum"
        {2, 2, 0},      // "Zero-latency Analogue"
    };
    for (const auto& row : table) {
        auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
        ASSERT_TRUE(plug);
        plug->setParameter(band(0, kType), integerValue(1, 1, 6));
        plug->setParameter(band(0, kFrequency), logValue(2000, 10, 22000));
        plug->setParameter(band(0, kGainField), gainValue(6));
        plug->setParameter(band(0, kQ), logValue(1.0, 0.1, 50));
        plug->setParameter(band(0, kState), integerValue(2, 0, 2));
        plug->setParameter(kIRLengthParam, integerValue(row.lengthItem, 0, 8));
        plug->setParameter(kIRPhaseParam, integerValue(row.phaseItem, 0, 7));
        plug->setParameter(kModeParam, 1.0f);
        const auto h = settledImpulseResponse(*plug, row.latency, 2 * (1024 << row.lengthItem));
        EXPECT_EQ(plug->effect()->initialDelay, row.latency) << "phase item " << row.phaseItem;
        EXPECT_EQ(peakIndex(h), row.latency) << "phase item " << row.phaseItem;
        // The band is heard: 6 dB at its centre.
        double re = 0, im = 0;
        for (std::size_t n = 0; n < h.size(); ++n) {
            re += h[n] * std::cos(2 * M_PI * 2000.0 * static_cast<double>(n) / kRate);
            im -= h[n] * std::sin(2 * M_PI * 2000.0 * static_cast<double>(n) / kRate);
        }
        EXPECT_NEAR(20 * std::log10(std::hypot(re, im)), 6.0, 0.05) << "phase item " << row.phaseItem;
    }
}

TEST(HostFir, BypassDelaysByTheReportedLatency) {
    // 65536 taps "Linear": 32768 samples reported. An impulse at frame 24000 must come
    // out at 56768 bypassed as well as processed, or the host's delay compensation
    // flams the dry signal against other tracks.
    auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
    ASSERT_TRUE(plug);
    plug->setParameter(band(0, kType), integerValue(1, 1, 6));
    plug->setParameter(band(0, kFrequency), logValue(2000, 10, 22000));
    plug->setParameter(band(0, kGainField), gainValue(6));
    plug->setParameter(band(0, kState), integerValue(2, 0, 2));
    plug->setParameter(kIRLengthParam, integerValue(6, 0, 8));
    plug->setParameter(kIRPhaseParam, integerValue(0, 0, 7));
    plug->setParameter(kModeParam, 1.0f);
    EXPECT_EQ(peakIndex(settledImpulseResponse(*plug, 32768, 65536)), 32768);
    EXPECT_EQ(plug->dispatch(vst::effSetBypass, 0, 1), 1);
    std::vector<double> in(65536, 0.0);
    in[24000] = 1.0;
    std::vector<double> out;
    const bool aligned = eventually([&] {
        render(*plug, std::vector<double>(4096, 0.0));  // past the crossfade
        out = render(*plug, in);
        for (std::size_t i = 0; i < out.size(); ++i)
            if (out[i] != (i == 56768 ? 1.0 : 0.0)) return false;
        return true;
    });
    EXPECT_TRUE(aligned) << "bypassed impulse at " << peakIndex(out) << " (value " << out[static_cast<std::size_t>(peakIndex(out))] << ")";
    EXPECT_EQ(plug->effect()->initialDelay, 32768);
}

// A host that sets up a FIR mode and switches the plug-in on (as before an
// offline render) gets the filtered sound from the very first block.
TEST(HostFir, FirstBlockAfterResumeIsAlreadyFiltered) {
    auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
    ASSERT_TRUE(plug);
    plug->dispatch(vst::effMainsChanged, 0, 0);
    plug->setParameter(band(0, kType), integerValue(1, 1, 6));
    plug->setParameter(band(0, kFrequency), logValue(2000, 10, 22000));
    plug->setParameter(band(0, kGainField), gainValue(6));
    plug->setParameter(band(0, kQ), logValue(1.0, 0.1, 50));
    plug->setParameter(band(0, kState), integerValue(2, 0, 2));
    plug->setParameter(kIRLengthParam, integerValue(6, 0, 8));  // 65536 taps
    plug->setParameter(kIRPhaseParam, integerValue(0, 0, 7));   // "Linear"
    plug->setParameter(kModeParam, 1.0f);
    plug->dispatch(vst::effMainsChanged, 0, 1);
    EXPECT_EQ(plug->effect()->initialDelay, 32768);
    std::vector<double> pulse(65536, 0.0);
    pulse[0] = 1.0;
    const auto h = render(*plug, pulse);
    EXPECT_EQ(peakIndex(h), 32768);
    double re = 0, im = 0;
    for (std::size_t n = 0; n < h.size(); ++n) {
        re += h[n] * std::cos(2 * M_PI * 2000.0 * static_cast<double>(n) / kRate);
        im -= h[n] * std::sin(2 * M_PI * 2000.0 * static_cast<double>(n) / kRate);
    }
    EXPECT_NEAR(20 * std::log10(std::hypot(re, im)), 6.0, 0.05);
}

}  // namespace
}  // namespace hm::test
