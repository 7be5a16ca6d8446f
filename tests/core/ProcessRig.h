#pragma once
// Helpers for tests that run audio through an instance: a clock the test moves,
// parameter setters by real value, signals and a sine amplitude estimate.
#include <atomic>
#include <cmath>
#include <vector>

#include "core/Plug.h"
#include "core/params/Conversion.h"
#include "tests/core/FakeHost.h"

namespace hm::test {

// An instance whose update clock only moves when the test says so, and whose
// timer ticks only when the test calls onTimer: the shared timer could
// otherwise finish an update half-way through a test's parameter changes.
class ClockedPlug : public Plug {
public:
    explicit ClockedPlug(int channels = 2) : Plug(fakeHost, channels) {
        setManualClock(clock_);
        leaveSharedTimer();
    }
    void advanceMs(double ms) {
        clock_ += ms;
        setManualClock(clock_);
    }
    // Completes whatever update is outstanding: a new throttle bucket, then two timer
    // ticks (the timer leaves pending changes to processing calls while they keep
    // coming: the first tick notes the calls made since the last, the second finds
    // the host idle).
    void settle() {
        advanceMs(1000.0);
        onTimer();
        onTimer();
    }
    // Sets a parameter by its displayed real value (band gains in dB, frequencies in Hz).
    void setReal(int index, double real) { setParameter(index, static_cast<float>(realToNormalised(index, real))); }

private:
    double clock_ = 1.0e6;
};

// Selects a FIR mode by its menu items ("Linear", "Full Minimum", "Zero-latency
// Analogue", "Analogue", "Free"; length 1024 << item; padding 1 << item), completes
// the update, waits for the build and lets the timer report the latency.
inline void selectFir(ClockedPlug& plug, int phaseItem, int lengthItem, int padItem = 0) {
    plug.setReal(kIRLength, lengthItem);
    plug.setReal(kIRPhase, phaseItem);
    plug.setReal(kIRPad, padItem);
    plug.setReal(kMode, 1);
    plug.settle();
    plug.bank().waitForFir();
    plug.onTimer();
}

// Runs `frames` of every channel through processDoubleReplacing in blocks of `block`.
inline void processBlocks(Plug& plug, std::vector<std::vector<double>>& in, std::vector<std::vector<double>>& out,
                          int block) {
    const int frames = static_cast<int>(in[0].size());
    const int channels = static_cast<int>(in.size());
    for (auto& o : out) o.assign(static_cast<std::size_t>(frames), 0.0);
    std::vector<double*> ip(static_cast<std::size_t>(channels)), op(static_cast<std::size_t>(channels));
    for (int offset = 0; offset < frames; offset += block) {
        const int n = std::min(block, frames - offset);
        for (int c = 0; c < channels; ++c) {
            ip[static_cast<std::size_t>(c)] = in[static_cast<std::size_t>(c)].data() + offset;
            op[static_cast<std::size_t>(c)] = out[static_cast<std::size_t>(c)].data() + offset;
        }
        plug.processDoubleReplacing(ip.data(), op.data(), n);
    }
}

using Signal = std::vector<std::vector<double>>;

// Uniform noise in -0.8..0.8 from a linear congruential generator.
inline Signal noise(int channels, int frames, unsigned seed = 1) {
    Signal s(static_cast<std::size_t>(channels), std::vector<double>(static_cast<std::size_t>(frames)));
    unsigned x = seed;
    for (auto& ch : s)
        for (double& v : ch) {
            x = x * 1664525u + 1013904223u;
            v = (static_cast<double>(x >> 8) / 16777216.0 - 0.5) * 1.6;
        }
    return s;
}

inline std::vector<double> sine(double hz, double rate, int frames, double amplitude = 0.5) {
    std::vector<double> s(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) s[static_cast<std::size_t>(i)] = amplitude * std::sin(2.0 * M_PI * hz * i / rate);
    return s;
}

// Least-squares amplitude of the sinusoid at `hz` in y[from..end).
inline double sineAmplitude(const std::vector<double>& y, double hz, double rate, int from) {
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (std::size_t i = static_cast<std::size_t>(from); i < y.size(); ++i) {
        const double s = std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate);
        const double c = std::cos(2.0 * M_PI * hz * static_cast<double>(i) / rate);
        ss += s * s; cc += c * c; sc += s * c; ys += y[i] * s; yc += y[i] * c;
    }
    const double det = ss * cc - sc * sc;
    const double a = (ys * cc - yc * sc) / det;
    const double b = (yc * ss - ys * sc) / det;
    return std::hypot(a, b);
}

// Gain in dB of a channel's processing of a sine at hz (measured after the glides settle).
inline double measuredGainDb(Plug& plug, int channel, double hz, double rate, int channels = 2) {
    const int frames = 16384;
    std::vector<std::vector<double>> in(static_cast<std::size_t>(channels), sine(hz, rate, frames));
    std::vector<std::vector<double>> out(static_cast<std::size_t>(channels));
    processBlocks(plug, in, out, 512);
    return 20.0 * std::log10(sineAmplitude(out[static_cast<std::size_t>(channel)], hz, rate, 8192) / 0.5);
}

}  // namespace hm::test
