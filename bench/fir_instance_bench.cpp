// Whole-instance cost in every processing mode: 48 kHz stereo in 256-frame blocks
// with eight peak bands, at FIR lengths 8192 and 65536. Prints per mode
//  - CPU seconds per second of audio,
//  - the average, 99.9th percentile and worst block time, and worst / average
//    (a host drops audio when one block runs longer than its 5.3 ms),
//  - the recalculation cost: how long the updating thread is held (design side)
//    and how long the FIR worker then builds until the new impulses are loaded.
// Times are wall-clock on a possibly shared machine: the worst block includes
// whatever preemption happened; the percentile shows the typical spread.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/Plug.h"
#include "dsp/EQBank.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr float kRate = 48000.0f;
constexpr int kFrames = 256;

vst::VstIntPtr silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr,
                              void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void setReal(hm::Plug& plug, int index, double real) {
    plug.setParameter(index, static_cast<float>(plug.realToNormalised(index, real)));
}

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

struct Row {
    const char* name;
    int mode;       // kMode
    int phaseItem;  // kIRPhase
    int dplus;      // kDPlusLen
};

void run(const Row& row, int lengthItem, double audioSeconds, int padItem = 0) {
    hm::Plug plug(silentHost, 2);
    plug.setSampleRate(kRate);
    plug.setManualClock(0.0);
    plug.resume();
    for (int b = 0; b < 8; ++b) {
        setReal(plug, hm::bandParam(b, hm::kBandType), 1);
        setReal(plug, hm::bandParam(b, hm::kBandFrequency), 60.0 * std::pow(200.0, b / 7.0));
        setReal(plug, hm::bandParam(b, hm::kBandGain), b % 2 ? 4.0 : -4.0);
        setReal(plug, hm::bandParam(b, hm::kBandQ), 1.5);
        setReal(plug, hm::bandParam(b, hm::kBandState), 2);
    }
    setReal(plug, hm::kIRLength, lengthItem);
    setReal(plug, hm::kIRPad, padItem);
    setReal(plug, hm::kIRPhase, row.phaseItem);
    setReal(plug, hm::kDPlusLen, row.dplus);
    setReal(plug, hm::kMode, row.mode);
    double clock = 1000.0;
    plug.setManualClock(clock);
    plug.updateProcessing(true);
    plug.bank().waitForFir();

    // Recalculation after one band's gain moved (three times, the last one counts).
    double design = 0.0, build = 0.0;
    for (int k = 0; k < 3; ++k) {
        setReal(plug, hm::bandParam(3, hm::kBandGain), k % 2 ? 2.0 : 3.0);
        clock += 1000.0;
        plug.setManualClock(clock);
        const auto t0 = Clock::now();
        plug.updateProcessing(true);
        const auto t1 = Clock::now();
        plug.bank().waitForFir();
        design = seconds(t0, t1);
        build = row.mode == 1 || row.dplus != 0 ? plug.bank().lastFirBuildSeconds() : 0.0;
    }

    if (audioSeconds <= 0.0) {
        std::printf("%-24s %6d  pad x%d  recalc %.2f ms on the updating thread, build %.1f ms on the worker\n", row.name,
                    1024 << lengthItem, 1 << padItem, design * 1e3, build * 1e3);
        return;
    }
    std::vector<float> left(kFrames), right(kFrames), outL(kFrames), outR(kFrames);
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outL.data(), outR.data()};
    const long blocks = static_cast<long>(audioSeconds * kRate / kFrames);
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(blocks));
    double phase = 0.0;
    for (long k = -blocks / 10; k < blocks; ++k) {  // a tenth for warming up
        for (int i = 0; i < kFrames; ++i) {
            left[static_cast<std::size_t>(i)] = static_cast<float>(0.3 * std::sin(phase + 0.07 * i));
            right[static_cast<std::size_t>(i)] = static_cast<float>(0.3 * std::sin(1.3 * phase + 0.011 * i));
        }
        phase += 0.07 * kFrames;
        const auto t0 = Clock::now();
        plug.processReplacing(in, out, kFrames);
        const auto t1 = Clock::now();
        if (k >= 0) times.push_back(seconds(t0, t1));
    }
    double total = 0.0;
    for (double t : times) total += t;
    const double average = total / static_cast<double>(times.size());
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const double p999 = sorted[static_cast<std::size_t>(0.999 * static_cast<double>(sorted.size() - 1))];
    const double worst = sorted.back();
    const double audio = static_cast<double>(times.size()) * kFrames / kRate;
    std::printf("%-24s %6d  %9.5f  %8.1f  %8.1f  %8.1f  %6.2f  %6.2f  %9.2f  %9.2f\n", row.name,
                row.mode == 1 ? 1024 << lengthItem : 0, total / audio, average * 1e6, p999 * 1e6, worst * 1e6,
                p999 / average, worst / average, design * 1e3, build * 1e3);
}

}  // namespace

int main() {
    const Row rows[] = {
        {"IIR", 0, 0, 0},
        {"IIR + Digital+ 64", 0, 0, 3},
        {"IIR + Digital+ 512", 0, 0, 6},
        {"FIR Full Minimum", 1, 1, 0},
        {"FIR Zero-lat. Analogue", 1, 2, 0},
        {"FIR Analogue", 1, 3, 0},
        {"FIR Linear", 1, 0, 0},
        {"FIR Free", 1, 4, 0},
    };
    std::printf("48 kHz stereo, 256-frame blocks, 8 peaks; block times in microseconds (real time 5333)\n");
    std::printf("%-24s %6s  %9s  %8s  %8s  %8s  %6s  %6s  %9s  %9s\n", "mode", "taps", "cpu/audio", "avg", "p99.9",
                "worst", "p/avg", "w/avg", "recalc ms", "build ms");
    for (const Row& row : rows) {
        if (row.mode == 0) {
            run(row, 3, 20.0);
            continue;
        }
        for (int lengthItem : {3, 6}) run(row, lengthItem, 20.0);
    }
    std::printf("\nLongest builds (no audio):\n");
    for (const Row& row : rows)
        if (row.mode == 1) run(row, 8, 0.0, 3);
    return 0;
}
