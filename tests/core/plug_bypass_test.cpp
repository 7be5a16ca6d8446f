// Bypass as a host hears it: the bypassed signal lines up with the latency the
// instance reports, leaving bypass continues as if processing had never stopped,
// the switch crossfades, and a stage whose output went non-finite is replaced
// without clearing memory on the audio thread.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/fir/Convolver.h"
#include "tests/core/ProcessRig.h"

namespace hm::test {
namespace {

constexpr double kRate = 44100.0;  // the instance's rate until a host sets another

void enablePeak(ClockedPlug& plug, double hz, double db, double q) {
    plug.setReal(bandParam(0, kBandType), 1);
    plug.setReal(bandParam(0, kBandFrequency), hz);
    plug.setReal(bandParam(0, kBandGain), db);
    plug.setReal(bandParam(0, kBandQ), q);
    plug.setReal(bandParam(0, kBandState), 2);
}

void setBypass(ClockedPlug& plug, bool on) {
    plug.setReal(kBypass, on ? 1 : 0);
    plug.settle();
}

// Where a unit impulse on both channels comes out, after a flush with silence:
// the output must be that impulse, delayed, and nothing else.
int impulseDelay(ClockedPlug& plug, int frames) {
    Signal silence(2, std::vector<double>(static_cast<std::size_t>(frames), 0.0)), out(2);
    processBlocks(plug, silence, out, 256);
    Signal in = silence;
    in[0][0] = in[1][0] = 1.0;
    processBlocks(plug, in, out, 256);
    int at = -1;
    for (int i = 0; i < frames; ++i) {
        for (const auto& ch : out) {
            const double y = ch[static_cast<std::size_t>(i)];
            if (y == 0.0) continue;
            if (y != 1.0 || (at >= 0 && at != i)) return -2;  // not a pure delay
            at = i;
        }
    }
    return at;
}

double energy(const std::vector<double>& y, std::size_t from, std::size_t to) {
    double e = 0.0;
    for (std::size_t i = from; i < to; ++i) e += y[i] * y[i];
    return e;
}

TEST(PlugBypass, BypassedImpulseLandsAtTheReportedLatency) {
    const struct { int phase, length, pad, latency; } table[] = {
        {0, 0, 0, 512},      // "Linear", 1024 taps
        {0, 3, 1, 4096},     // "Linear", 8192 taps, padded x2
        {1, 3, 0, 0},        // "Full Minimum"
        {2, 3, 2, 0},        // "Zero-latency Analogue", padded x4
        {3, 4, 0, 8192},     // "Analogue", 16384 taps
        {4, 2, 3, 2048},     // "Free", 4096 taps, padded x8
        {0, 6, 0, 32768},    // "Linear", 65536 taps
        {3, 8, 0, 131072},   // "Analogue", 262144 taps
    };
    for (const auto& row : table) {
        ClockedPlug plug;
        enablePeak(plug, 2000, 9, 1);  // the processed signal is audibly not the dry one
        selectFir(plug, row.phase, row.length, row.pad);
        EXPECT_EQ(plug.initialDelay(), row.latency) << row.phase << "/" << row.length;
        setBypass(plug, true);
        EXPECT_EQ(impulseDelay(plug, row.latency + 2048), plug.initialDelay())
            << "phase " << row.phase << ", length " << row.length << ", pad " << row.pad;
    }
}

TEST(PlugBypass, DelayFollowsLengthAndPhaseChangesMadeWhileBypassed) {
    ClockedPlug plug;
    enablePeak(plug, 500, -6, 2);
    selectFir(plug, 0, 4);  // "Linear", 16384 taps
    setBypass(plug, true);
    EXPECT_EQ(impulseDelay(plug, 8192 + 1024), 8192);
    const struct { int phase, length, latency; } changes[] = {
        {0, 6, 32768},  // longer
        {0, 1, 1024},   // shorter
        {1, 1, 0},      // "Full Minimum": no latency at all
        {4, 5, 16384},  // "Free", 32768 taps
    };
    for (const auto& c : changes) {
        selectFir(plug, c.phase, c.length);
        EXPECT_EQ(plug.initialDelay(), c.latency);
        EXPECT_EQ(impulseDelay(plug, c.latency + 1024), c.latency) << c.phase << "/" << c.length;
    }
}

TEST(PlugBypass, LeavingBypassContinuesExactlyAsContinuousProcessing) {
    // Two instances hear the same noise; one is bypassed for a while. After the
    // crossfade back its output is the other's, sample for sample, from the first
    // sample on that the FIR's latency covers; nothing was cleared meanwhile.
    const struct { bool fir; int lengthItem; } table[] = {{false, 0}, {true, 6}};  // resonant IIR; 65536-tap "Linear"
    for (const auto& row : table) {
        ClockedPlug continuous, bypassed;
        for (ClockedPlug* p : {&continuous, &bypassed}) {
            enablePeak(*p, 300, 15, row.fir ? 3 : 30);
            if (row.fir) selectFir(*p, 0, row.lengthItem);
            else p->settle();
        }
        const int half = row.fir ? 32768 : 4096;
        const int fade = static_cast<int>(std::lround(0.005 * kRate));
        const auto clears = dsp::Convolver::clearCount();
        const Signal in = noise(2, 3 * half, 11);
        Signal a(2), b(2);
        const auto play = [&](int from, int to) {
            Signal part(2), outA(2), outB(2);
            for (int c = 0; c < 2; ++c) part[static_cast<std::size_t>(c)].assign(in[static_cast<std::size_t>(c)].begin() + from, in[static_cast<std::size_t>(c)].begin() + to);
            processBlocks(continuous, part, outA, 256);
            processBlocks(bypassed, part, outB, 256);
            for (int c = 0; c < 2; ++c) {
                a[static_cast<std::size_t>(c)].insert(a[static_cast<std::size_t>(c)].end(), outA[static_cast<std::size_t>(c)].begin(), outA[static_cast<std::size_t>(c)].end());
                b[static_cast<std::size_t>(c)].insert(b[static_cast<std::size_t>(c)].end(), outB[static_cast<std::size_t>(c)].begin(), outB[static_cast<std::size_t>(c)].end());
            }
        };
        play(0, half / 2);
        setBypass(bypassed, true);
        continuous.settle();
        play(half / 2, half);
        setBypass(bypassed, false);
        continuous.settle();
        play(half, 3 * half);

        const auto back = static_cast<std::size_t>(half);
        for (int c = 0; c < 2; ++c) {
            const auto& x = a[static_cast<std::size_t>(c)];
            const auto& y = b[static_cast<std::size_t>(c)];
            const double e = energy(x, back, back + static_cast<std::size_t>(half));
            EXPECT_NEAR(energy(y, back, back + static_cast<std::size_t>(half)), e, 0.01 * e) << "fir " << row.fir;
            for (std::size_t i = back + static_cast<std::size_t>(fade); i < x.size(); ++i)
                ASSERT_EQ(y[i], x[i]) << "fir " << row.fir << ", channel " << c << ", frame " << i;
        }
        EXPECT_EQ(dsp::Convolver::clearCount(), clears);
    }
}

TEST(PlugBypass, SwitchingCrossfadesLinearlyOverFiveMilliseconds) {
    // Output gain -20 dB, no bands: processed 0.1, dry 1.0 for a constant input.
    ClockedPlug plug;
    plug.setReal(kMsState, 0);
    plug.setReal(kGain, -20);
    plug.settle();
    const double processed = std::pow(10.0, plug.getParameterReal(kGain) / 20.0);
    const int fade = static_cast<int>(std::lround(0.005 * kRate));
    Signal ones(2, std::vector<double>(1024, 1.0)), out(2);
    processBlocks(plug, ones, out, 1024);
    ASSERT_DOUBLE_EQ(out[0][1023], processed);
    for (bool on : {true, false}) {
        setBypass(plug, on);
        processBlocks(plug, ones, out, 100);  // the fade runs across block boundaries
        for (int k = 0; k < 1024; ++k) {
            const double m = std::min(1.0, (k + 1.0) / fade);
            const double expected = on ? processed + (1.0 - processed) * m : 1.0 + (processed - 1.0) * m;
            ASSERT_NEAR(out[1][static_cast<std::size_t>(k)], expected, 1e-12) << (on ? "into" : "out of") << " bypass, " << k;
        }
    }
}

TEST(PlugBypass, NonFiniteStageIsReplacedByAFreshOneNotCleared) {
    // Inputs near the largest double overflow the convolver's sums. The stage is set
    // aside at once; the timer asks for a fresh one, which filters as before.
    ClockedPlug plug;
    selectFir(plug, 0, 3);  // "Linear", 8192 taps: the window's centre value at 4096
    const auto clears = dsp::Convolver::clearCount();
    Signal before(2);
    {
        Signal in(2, std::vector<double>(8192, 0.0));
        in[0][0] = in[1][0] = 1.0;
        processBlocks(plug, in, before, 256);
    }
    Signal huge(2, std::vector<double>(512, 1e307)), out(2);
    Signal silence(2, std::vector<double>(16384, 0.0));
    processBlocks(plug, huge, out, 256);
    processBlocks(plug, silence, out, 256);
    for (const auto& ch : out)
        for (double y : ch) ASSERT_TRUE(std::isfinite(y));
    plug.onTimer();
    plug.bank().waitForFir();
    Signal in(2, std::vector<double>(8192, 0.0)), after(2);
    in[0][0] = in[1][0] = 1.0;
    processBlocks(plug, in, after, 256);
    EXPECT_EQ(after, before);
    EXPECT_NE(before[0][4096], 0.0);
    EXPECT_EQ(dsp::Convolver::clearCount(), clears);
}

}  // namespace
}  // namespace hm::test
