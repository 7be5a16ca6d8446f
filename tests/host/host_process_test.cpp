// Audio through the built plug-in, driven only through the effect record: what a
// host hears for the default state, bands, parallel peaks, MIDI, bypass, and the
// latency report of the FIR modes.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/host/HostFixture.h"
#include "tests/host/HostValues.h"

namespace hm::test {
namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

// Parameter indices as the host sees them (globals, then 4 per channel, then 10 per band).
constexpr int kBypassParam = 0, kModeParam = 4, kParallelParam = 5, kIRPhaseParam = 10, kMsStateParam = 13;


std::vector<std::vector<double>> render(host::PluginInstance& plug, const std::vector<std::vector<double>>& in) {
    std::vector<std::vector<double>> out(in.size(), std::vector<double>(in[0].size()));
    for (std::size_t offset = 0; offset < in[0].size(); offset += kBlock) {
        double* ip[2] = {const_cast<double*>(in[0].data()) + offset, const_cast<double*>(in[1].data()) + offset};
        double* op[2] = {out[0].data() + offset, out[1].data() + offset};
        plug.processDouble(ip, op, static_cast<int>(std::min<std::size_t>(kBlock, in[0].size() - offset)));
    }
    return out;
}

double gainDbAt(host::PluginInstance& plug, double hz) {
    const int frames = 24576;
    std::vector<std::vector<double>> in(2, std::vector<double>(frames));
    for (int i = 0; i < frames; ++i) in[0][static_cast<std::size_t>(i)] = in[1][static_cast<std::size_t>(i)] = 0.5 * std::sin(2 * M_PI * hz * i / kRate);
    const auto out = render(plug, in);
    double ys = 0, yc = 0, n = 0;
    for (int i = 12288; i < frames; ++i) {
        ys += out[0][static_cast<std::size_t>(i)] * std::sin(2 * M_PI * hz * i / kRate);
        yc += out[0][static_cast<std::size_t>(i)] * std::cos(2 * M_PI * hz * i / kRate);
        n += 1;
    }
    return 20.0 * std::log10(2.0 * std::hypot(ys, yc) / n / 0.5);
}

void setPeak(host::PluginInstance& plug, int b, double hz, double db, double q) {
    plug.setParameter(band(b, kType), integerValue(1, 1, 6));
    plug.setParameter(band(b, kFrequency), logValue(hz, 10, 22000));
    plug.setParameter(band(b, kGainField), gainValue(db));
    plug.setParameter(band(b, kQ), logValue(q, 0.1, 50));
    plug.setParameter(band(b, kState), integerValue(2, 0, 2));
}

// What the host hears once the band's 1000-sample glide is over.
bool heardAt(host::PluginInstance& plug, double hz, double db) {
    return eventually([&] { return std::fabs(gainDbAt(plug, hz) - db) < 0.1; });
}

TEST(HostProcess, DefaultStateOutputsTheInput) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    std::vector<float> a(1000), b(1000), oa(1000), ob(1000);
    for (int i = 0; i < 1000; ++i) {
        a[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(i * 0.01));
        b[static_cast<std::size_t>(i)] = static_cast<float>(std::cos(i * 0.003));
    }
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {oa.data(), ob.data()};
    plug->processFloat(in, out, 1000);
    EXPECT_EQ(oa, a);
    EXPECT_EQ(ob, b);
    // In place, as many hosts do it.
    std::vector<float> ca = a, cb = b;
    float* io[2] = {ca.data(), cb.data()};
    plug->processFloat(io, io, 1000);
    EXPECT_EQ(ca, a);
}

TEST(HostProcess, PeakBandIsHeardAtItsGainAndTransposedByMidi) {
    auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
    ASSERT_TRUE(plug);
    setPeak(*plug, 0, 1000, 12, 2);
    EXPECT_TRUE(heardAt(*plug, 1000, 12.0));
    EXPECT_LT(gainDbAt(*plug, 2000), 3.0);
    plug->sendMidi({{0x90, 72, 100}});  // an octave above middle C doubles every band frequency
    EXPECT_TRUE(heardAt(*plug, 2000, 12.0));
    EXPECT_LT(gainDbAt(*plug, 1000), 3.0);
}

TEST(HostProcess, ParallelPeaksAddInsteadOfCascading) {
    auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
    ASSERT_TRUE(plug);
    setPeak(*plug, 0, 3000, 6, 1);
    setPeak(*plug, 1, 3000, 6, 1);
    EXPECT_TRUE(heardAt(*plug, 3000, 12.0));  // series: the gains add in dB
    plug->setParameter(kParallelParam, integerValue(1, 0, 2));  // "Peaks Parallel"
    const double g = std::pow(10.0, 6.0 / 20.0);
    EXPECT_TRUE(heardAt(*plug, 3000, 20.0 * std::log10(1.0 + 2.0 * (g - 1.0))));
}

TEST(HostProcess, BypassAndMidSideLeaveTheInputAlone) {
    auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
    ASSERT_TRUE(plug);
    setPeak(*plug, 0, 500, -12, 1);
    plug->setParameter(kMsStateParam, 0.0f);
    EXPECT_TRUE(heardAt(*plug, 500, -12.0));
    std::vector<std::vector<double>> in(2, std::vector<double>(4096));
    for (int i = 0; i < 4096; ++i) {
        in[0][static_cast<std::size_t>(i)] = std::sin(i * 0.05);
        in[1][static_cast<std::size_t>(i)] = std::sin(i * 0.11);
    }
    EXPECT_NE(render(*plug, in), in);
    EXPECT_EQ(plug->dispatch(vst::effSetBypass, 0, 1), 1);
    // Once the crossfade into bypass has run, the input comes out as it went in.
    EXPECT_TRUE(eventually([&] {
        render(*plug, in);
        return render(*plug, in) == in;
    }));
    EXPECT_EQ(plug->getParameter(kBypassParam), 1.0f);
}

TEST(HostProcess, BadBuffersLongBlocksAndNonFiniteSamples) {
    auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
    ASSERT_TRUE(plug);
    setPeak(*plug, 0, 100, 12, 6);
    std::vector<double> a(8192, 0.25), b(8192, 0.25), oa(8192, 9.0), ob(8192, 9.0);
    double* in[2] = {a.data(), nullptr};
    double* out[2] = {oa.data(), ob.data()};
    // A null input channel is silence: the outputs are written, never left stale.
    plug->processDouble(in, out, 8192);
    for (std::size_t i = 0; i < 8192; ++i) ASSERT_TRUE(oa[i] != 9.0 && ob[i] != 9.0 && std::isfinite(ob[i])) << i;
    oa.assign(8192, 9.0);
    plug->processDouble(nullptr, out, 8192);
    EXPECT_NE(oa[0], 9.0);
    plug->effect()->processDoubleReplacing(plug->effect(), in, nullptr, 8192);  // nowhere to write
    in[1] = b.data();
    oa.assign(8192, 9.0);
    plug->processDouble(in, out, 0);
    EXPECT_EQ(oa[0], 9.0);

    // NaN and infinity enter as silence: the filters are not poisoned.
    for (std::size_t i = 100; i < 200; ++i) {
        a[i] = std::nan("");
        b[i] = -INFINITY;
    }
    plug->processDouble(in, out, 8192);
    for (std::size_t i = 0; i < 8192; ++i) ASSERT_TRUE(std::isfinite(oa[i]) && std::isfinite(ob[i])) << i;
    EXPECT_TRUE(heardAt(*plug, 100, 12.0));
}

TEST(HostProcess, LatencyOfFirModesIsReportedOncePerChange) {
    auto plug = makeInstance({.sampleRate = static_cast<float>(kRate)});
    ASSERT_TRUE(plug);
    plug->clearCalls();
    plug->setParameter(kIRPhaseParam, integerValue(0, 0, 7));  // "Linear"
    plug->setParameter(kModeParam, 1.0f);                      // FIR
    EXPECT_TRUE(eventually([&] { return plug->countCalls(vst::audioMasterIOChanged) == 1; }));
    EXPECT_EQ(plug->effect()->initialDelay, 4096);
    // Later ticks (one of them delivers the report of a MIDI touch) report nothing new.
    plug->sendMidi({{0x90, 60, 100}});
    std::vector<float> l(16, 0.0f), r(16, 0.0f);
    float* io[2] = {l.data(), r.data()};
    plug->processFloat(io, io, 16);  // the events' processing call
    EXPECT_TRUE(eventually([&] { return plug->countCalls(vst::audioMasterEndEdit) == 1; }));
    EXPECT_EQ(plug->countCalls(vst::audioMasterIOChanged), 1);
    plug->setParameter(kModeParam, 0.0f);
    EXPECT_TRUE(eventually([&] { return plug->countCalls(vst::audioMasterIOChanged) == 2; }));
    EXPECT_EQ(plug->effect()->initialDelay, 0);
}

}  // namespace
}  // namespace hm::test
