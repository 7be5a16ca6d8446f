// The instance's audio road: channel order and names, mid/side, output gains,
// listening, bypass, clip latch, meters, analyser rings and equalisation as heard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "analysis/Meters.h"
#include "analysis/ReaderLease.h"
#include "tests/core/ProcessRig.h"

namespace hm::test {
namespace {

constexpr double kRate = 44100.0;  // the instance's rate until a host sets another

void enablePeak(ClockedPlug& plug, int band, double hz, double db, double q = 1.0) {
    plug.setReal(bandParam(band, kBandType), 1);
    plug.setReal(bandParam(band, kBandFrequency), hz);
    plug.setReal(bandParam(band, kBandGain), db);
    plug.setReal(bandParam(band, kBandQ), q);
    plug.setReal(bandParam(band, kBandState), 2);
}

TEST(PlugProcess, DefaultsAndMidSideRoundTripPassAudioUnchanged) {
    const struct { int channels; int msState; } table[] = {{2, 8}, {2, 0}, {4, 15}, {8, 15}, {1, 8}, {3, 8}};
    for (const auto& row : table) {
        ClockedPlug plug(row.channels);
        plug.setReal(kMsState, row.msState);
        plug.settle();
        Signal in = noise(row.channels, 3000), out(in.size());
        processBlocks(plug, in, out, 333);
        for (std::size_t c = 0; c < in.size(); ++c)
            for (std::size_t i = 0; i < in[c].size(); ++i)
                ASSERT_NEAR(out[c][i], in[c][i], 1e-15) << row.channels << " ch, ms " << row.msState;

        // The single-precision path: exact after the round trip through double.
        std::vector<float> a(1000), b(1000);
        for (int i = 0; i < 1000; ++i) a[static_cast<std::size_t>(i)] = static_cast<float>(in[0][static_cast<std::size_t>(i)]);
        std::vector<std::vector<float>> fin(static_cast<std::size_t>(row.channels), a), fout(fin.size(), b);
        std::vector<float*> ip, op;
        for (std::size_t c = 0; c < fin.size(); ++c) {
            ip.push_back(fin[c].data());
            op.push_back(fout[c].data());
        }
        plug.processReplacing(ip.data(), op.data(), 1000);
        EXPECT_EQ(fout[0], a);
    }
}

TEST(PlugProcess, ChannelNamesFollowCountAndMidSide) {
    const std::vector<std::vector<const char*>> names = {
        {"Mono"},
        {"Mid", "Side"},
        {"Left", "Right", "Center"},
        {"Left", "Right", "Center", "Surr"},
        {"Left", "Right", "Ls", "Rs", "Center"},
        {"Left", "Right", "Ls", "Rs", "Center", "LFE"},
        {"Left", "Right", "Ls", "Rs", "Lsr", "Rsr", "Center"},
        {"Left", "Right", "Ls", "Rs", "Lsr", "Rsr", "Center", "LFE"},
    };
    for (int n = 1; n <= 8; ++n) {
        ClockedPlug plug(n);
        EXPECT_EQ(plug.channelCount(), n);
        for (int c = 0; c < n; ++c) EXPECT_STREQ(plug.getChannelName(c), names[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(c)]);
        EXPECT_STREQ(plug.getChannelName(n), "");
        EXPECT_EQ(plug.groupNameCount(), n);
        if (n > 2) EXPECT_EQ(plug.groupName(n - 1), std::to_string(n));
    }
    ClockedPlug stereo(2);
    EXPECT_EQ(stereo.groupName(0), "Mid");
    stereo.setReal(kMsState, 0);
    stereo.settle();
    EXPECT_STREQ(stereo.getChannelName(0), "Left");
    EXPECT_EQ(stereo.groupName(1), "Right");
}

TEST(PlugProcess, ProcessingOrderMapsHostSurroundLayout) {
    // Processing channel c reads and writes host channel kOrder[n][c].
    const std::vector<std::vector<int>> kOrder = {
        {0}, {0, 1}, {0, 2, 1}, {0, 1, 2, 3}, {0, 2, 3, 4, 1}, {0, 2, 3, 4, 1, 5},
        {0, 2, 3, 4, 5, 6, 1}, {0, 2, 3, 4, 5, 6, 1, 7},
    };
    for (int n = 1; n <= 8; ++n) {
        for (int c = 0; c < n; ++c) {
            ClockedPlug plug(n);
            plug.setReal(kMsState, 0);
            plug.setReal(channelParam(c, kChannelMute), 1);
            plug.settle();
            Signal in(static_cast<std::size_t>(n)), out(in.size());
            for (int h = 0; h < n; ++h) in[static_cast<std::size_t>(h)].assign(64, h + 1.0);
            processBlocks(plug, in, out, 64);
            const int silent = kOrder[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(c)];
            for (int h = 0; h < n; ++h)
                EXPECT_EQ(out[static_cast<std::size_t>(h)][10], h == silent ? 0.0 : h + 1.0) << n << " ch, muted " << c;
        }
    }
}

TEST(PlugProcess, GainChangeRampsOnePoleAndLandsExactly) {
    ClockedPlug plug;
    Signal ones(2, std::vector<double>(1024, 1.0)), out(2);
    processBlocks(plug, ones, out, 1024);
    plug.setReal(kGain, -6.0);
    plug.settle();
    const double target = std::pow(10.0, plug.getParameterReal(kGain) / 20.0);
    Signal in(2, std::vector<double>(3072, 1.0));
    processBlocks(plug, in, out, 1024);
    // g[n] = target + (1 - target) * 0.99^(n + 1): time constant of about 100 samples.
    for (int n : {0, 1, 99, 500, 1000})
        EXPECT_NEAR(out[0][static_cast<std::size_t>(n)], target + (1.0 - target) * std::pow(0.99, n + 1), 1e-12) << n;
    EXPECT_NEAR(target, 0.501, 0.001);
    EXPECT_EQ(out[0][2048], target);  // snapped at the end of the chunk where it came within 1e-6
    EXPECT_EQ(out[1][3071], target);
    EXPECT_EQ(plug.currentOutputGain(0), target);
}

TEST(PlugProcess, FirstBlockAfterResumeStartsAtTheTargetGain) {
    ClockedPlug plug;
    plug.setReal(kMsState, 0);
    plug.setReal(kGain, -6.0);
    plug.setReal(channelParam(1, kChannelPhase), 1);
    plug.resume();
    const double target = std::pow(10.0, plug.getParameterReal(kGain) / 20.0);
    Signal in(2, std::vector<double>(16, 1.0)), out(2);
    processBlocks(plug, in, out, 16);
    EXPECT_NEAR(out[0][0], target, 1e-15);
    EXPECT_NEAR(out[1][0], -target, 1e-15);
}

TEST(PlugProcess, SelectSoloPlaysHalfTheSelectedChannelOnBoth) {
    const struct { int msState; double expected; } table[] = {
        {0, 0.5 * 0.3},            // left/right: half of channel 2
        {8, 0.5 * (0.8 - 0.3)},    // mid/side: the raw side (a - b), halved
    };
    for (const auto& row : table) {
        ClockedPlug plug;
        plug.setReal(kMsState, row.msState);
        plug.setReal(channelParam(1, kChannelSolo), 1);
        plug.settle();
        EXPECT_EQ(plug.soloMask(), 2);
        Signal in = {std::vector<double>(32, 0.8), std::vector<double>(32, 0.3)}, out(2);
        processBlocks(plug, in, out, 32);
        EXPECT_NEAR(out[0][5], row.expected, 1e-15);
        EXPECT_NEAR(out[1][5], row.expected, 1e-15);
    }
}

TEST(PlugProcess, AutoListenAuditionsTheDraggedBandAlone) {
    ClockedPlug plug;
    plug.setReal(kMsState, 0);
    enablePeak(plug, 0, 1000, 6);
    enablePeak(plug, 1, 4000, 6);
    plug.setReal(bandParam(1, kBandGroups), 64);  // right channel only
    plug.settle();
    ASSERT_TRUE(plug.armAutoListen(true));
    plug.beginEdit(bandParam(1, kBandFrequency));
    plug.settle();
    {
        auto lock = plug.lockUpdates();
        EXPECT_EQ(plug.bank().getFilter(1, 1)->getType(), dsp::kTypeBandPass);  // a peak is heard as band-pass
        EXPECT_EQ(plug.bank().getFilter(1, 1)->getDisabled(), 0);
        EXPECT_NE(plug.bank().getFilter(0, 0)->getDisabled(), 0);  // every other band is silent
    }
    // "Select": the band's channels are heard alone, halved, on both outputs; with
    // "AutoListen Gain" "Correct" the band keeps its 6 dB at the centre.
    Signal in = {std::vector<double>(4096, 0.0), sine(4000, kRate, 4096)}, out(2);
    processBlocks(plug, in, out, 512);
    const double expected = 0.5 * std::pow(10.0, 6.0 / 20.0) * 0.5;
    EXPECT_NEAR(sineAmplitude(out[0], 4000, kRate, 2048), expected, 0.01);
    EXPECT_NEAR(sineAmplitude(out[1], 4000, kRate, 2048), expected, 0.01);
    plug.endEdit(bandParam(1, kBandFrequency));
    plug.settle();
    auto lock = plug.lockUpdates();
    EXPECT_EQ(plug.bank().getFilter(1, 1)->getType(), dsp::kTypePeak);
    EXPECT_EQ(plug.bank().getFilter(0, 0)->getDisabled(), 0);
}

TEST(PlugProcess, BypassPassesInputUnchangedInIir) {
    ClockedPlug plug;
    enablePeak(plug, 0, 1000, 12);
    plug.setReal(kGain, -10);
    plug.setReal(channelParam(0, kChannelMute), 1);
    plug.setReal(kBypass, 1);
    plug.settle();
    Signal in = noise(2, 5000), out(2);
    processBlocks(plug, in, out, 1000);
    for (std::size_t i = 0; i < 5000; ++i) {
        ASSERT_NEAR(out[0][i], in[0][i], 1e-15);  // mid/side encode and decode only
        ASSERT_NEAR(out[1][i], in[1][i], 1e-15);
    }
}

TEST(PlugProcess, RecursiveFiltersRestartFromSilenceAfterAFirMode) {
    // A resonant band holds a lot of memory; after sitting idle through a FIR mode
    // it must not ring out with what it heard before.
    ClockedPlug plug;
    enablePeak(plug, 0, 200, 18, 20);
    plug.settle();
    Signal loud = noise(2, 4096, 9), silence(2, std::vector<double>(4096, 0.0)), out(2);
    processBlocks(plug, loud, out, 512);
    plug.setReal(kMode, 1);
    plug.settle();
    processBlocks(plug, loud, out, 512);
    plug.setReal(kMode, 0);
    plug.settle();
    processBlocks(plug, silence, out, 512);
    EXPECT_EQ(out, silence);
}

TEST(PlugProcess, ClipLatchUsesAStrictThreshold) {
    const struct { double threshold; double sample; bool clips; } table[] = {
        {1.0, 1.0, false}, {1.0, 1.0000001, true}, {0.9885530946569389, 0.99, true},
        {0.9885530946569389, 0.9885530946569389, false}, {1.0, -1.5, true},
    };
    for (const auto& row : table) {
        std::vector<double> x(10, 0.0);
        x[7] = row.sample;
        const double* ch[1] = {x.data()};
        EXPECT_EQ(analysis::exceedsThreshold(ch, 1, 10, row.threshold), row.clips) << row.sample;
    }
    ClockedPlug plug;
    plug.setReal(kMsState, 0);
    plug.settle();
    Signal in(2, std::vector<double>(8, 1.0)), out(2);
    processBlocks(plug, in, out, 8);
    EXPECT_FALSE(plug.getClipFlag());
    in[1][3] = 1.0000001;
    processBlocks(plug, in, out, 8);
    EXPECT_TRUE(plug.getClipFlag());
    in[1][3] = 0.0;
    processBlocks(plug, in, out, 8);
    EXPECT_TRUE(plug.getClipFlag());  // latched until the editor clears it
    plug.setClipFlag(false);
    EXPECT_FALSE(plug.getClipFlag());
}

TEST(PlugProcess, PeakBandHeardAsTheBankReportsIt) {
    ClockedPlug plug;
    enablePeak(plug, 5, 2000, 9, 2);
    plug.settle();
    for (double hz : {700.0, 2000.0, 3100.0}) {
        const double measured = measuredGainDb(plug, 0, hz, kRate);
        float reported;
        {
            auto lock = plug.lockUpdates();
            reported = plug.bank().getDigitalMagnitude(static_cast<float>(hz), 0);
        }
        EXPECT_NEAR(measured, 20.0 * std::log10(reported), 0.02) << hz;
    }
    EXPECT_NEAR(measuredGainDb(plug, 1, 2000.0, kRate), 9.0, 0.1);
}

TEST(PlugProcess, ParallelPeaksSumThroughTheInstance) {
    ClockedPlug plug;
    enablePeak(plug, 0, 1500, 6);
    enablePeak(plug, 1, 1500, 6);
    plug.setReal(kParallel, 1);
    plug.settle();  // one update: the bands leave unity and join the parallel sum together
    const double g = std::pow(10.0, 6.0 / 20.0);
    EXPECT_NEAR(measuredGainDb(plug, 0, 1500.0, kRate), 20.0 * std::log10(1.0 + 2.0 * (g - 1.0)), 0.1);
}

TEST(PlugProcess, GroupsRouteBandsToTheirChannels) {
    const struct { int groups; double left; double right; } table[] = {
        {128, 12.0, 0.0}, {64, 0.0, 12.0}, {192, 12.0, 12.0}, {255, 12.0, 12.0}, {32, 0.0, 0.0},
    };
    for (const auto& row : table) {
        ClockedPlug plug;
        plug.setReal(kMsState, 0);
        enablePeak(plug, 2, 1000, 12, 1);
        plug.setReal(bandParam(2, kBandGroups), row.groups);
        plug.settle();
        EXPECT_NEAR(measuredGainDb(plug, 0, 1000.0, kRate), row.left, 0.1) << row.groups;
        EXPECT_NEAR(measuredGainDb(plug, 1, 1000.0, kRate), row.right, 0.1) << row.groups;
    }
}

TEST(PlugProcess, MidiNote72DoublesBandFrequencies) {
    ClockedPlug plug;
    enablePeak(plug, 0, 1000, 12, 4);
    plug.settle();
    EXPECT_LT(measuredGainDb(plug, 0, 2000.0, kRate), 3.0);
    vst::VstMidiEvent note{};
    note.type = vst::kVstMidiType;
    note.byteSize = sizeof(note);
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 72;
    note.midiData[2] = 100;
    struct {
        vst::VstInt32 numEvents;
        vst::VstIntPtr reserved;
        vst::VstEvent* events[1];
    } events{1, 0, {reinterpret_cast<vst::VstEvent*>(&note)}};
    plug.processEvents(reinterpret_cast<vst::VstEvents*>(&events));
    plug.settle();
    EXPECT_NEAR(measuredGainDb(plug, 0, 2000.0, kRate), 12.0, 0.15);
    EXPECT_LT(measuredGainDb(plug, 0, 1000.0, kRate), 3.0);
}

TEST(PlugProcess, MissingInputsAreSilenceAndNothingIsLeftStale) {
    // Defaults pass audio through, so what each output holds shows what was read.
    ClockedPlug plug;
    const std::vector<double> quarter(64, 0.25), silence(64, 0.0), stale(64, 7.0);
    std::vector<double> a = quarter, b = quarter, oa = stale, ob = stale;
    double* in[2] = {a.data(), nullptr};
    double* out[2] = {oa.data(), ob.data()};
    plug.processDoubleReplacing(in, out, 64);  // a null input channel is silence
    EXPECT_EQ(oa, quarter);
    EXPECT_EQ(ob, silence);
    oa = ob = stale;
    plug.processDoubleReplacing(nullptr, out, 64);
    EXPECT_EQ(oa, silence);
    EXPECT_EQ(ob, silence);
    oa = ob = stale;
    plug.processDoubleReplacing(in, nullptr, 64);  // nowhere to write: nothing happens
    in[1] = b.data();
    plug.processDoubleReplacing(in, out, 0);
    plug.processDoubleReplacing(in, out, -5);
    EXPECT_EQ(oa, stale);
    double* oneOut[2] = {oa.data(), nullptr};
    plug.processDoubleReplacing(in, oneOut, 64);  // a null output channel is skipped, the rest written
    EXPECT_EQ(oa, quarter);

    // Fewer inputs than outputs: the output without an input is silent, not a replay.
    plug.setNumInputs(1);
    plug.resume();
    oa = ob = stale;
    plug.processDoubleReplacing(in, out, 64);
    EXPECT_EQ(oa, quarter);
    EXPECT_EQ(ob, silence);
    plug.setNumInputs(2);
    plug.resume();
    plug.processDoubleReplacing(in, out, 64);
    EXPECT_EQ(ob, quarter);
}

TEST(PlugProcess, AccumulatingProcessAddsToTheOutputs) {
    ClockedPlug plug;  // defaults: the processed block is the input
    const int frames = 2500;  // more than one chunk
    std::vector<float> a(frames), b(frames), oa(frames, 0.5f), ob(frames, -0.25f);
    for (int i = 0; i < frames; ++i) {
        a[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(i * 0.01));
        b[static_cast<std::size_t>(i)] = static_cast<float>(std::cos(i * 0.02));
    }
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {oa.data(), ob.data()};
    plug.process(in, out, frames);
    for (std::size_t i = 0; i < static_cast<std::size_t>(frames); ++i) {
        ASSERT_FLOAT_EQ(oa[i], 0.5f + a[i]) << i;
        ASSERT_FLOAT_EQ(ob[i], -0.25f + b[i]) << i;
    }
    plug.process(in, in, frames);  // in place: the input plus itself
    for (std::size_t i = 0; i < static_cast<std::size_t>(frames); i += 7) ASSERT_FLOAT_EQ(a[i], 2.0f * static_cast<float>(std::sin(static_cast<double>(i) * 0.01))) << i;
}

TEST(PlugProcess, BlockLengthDoesNotChangeTheResult) {
    Signal reference;
    for (int block : {8192, 1, 1000, 64}) {
        ClockedPlug plug;
        enablePeak(plug, 0, 300, 8, 3);
        enablePeak(plug, 1, 5000, -6, 1);
        plug.setReal(kGain, -3);
        plug.settle();
        Signal in = noise(2, 8192, 3), out(2);
        processBlocks(plug, in, out, block);
        if (reference.empty()) {
            reference = out;
            continue;
        }
        for (std::size_t i = 0; i < 8192; i += 7) ASSERT_NEAR(out[0][i], reference[0][i], 1e-12) << block << " at " << i;
    }
}

TEST(PlugProcess, SampleRatesFrom8To384Kilohertz) {
    for (double rate : {8000.0, 22050.0, 48000.0, 96000.0, 192000.0, 384000.0}) {
        ClockedPlug plug;
        plug.setSampleRate(static_cast<float>(rate));
        plug.resume();
        enablePeak(plug, 0, 1000, 6, 1);
        plug.settle();
        EXPECT_NEAR(measuredGainDb(plug, 0, 1000.0, rate), 6.0, 0.15) << rate;
        EXPECT_NEAR(measuredGainDb(plug, 0, 100.0, rate), 0.0, 0.3) << rate;
    }
}

TEST(PlugProcess, NonFiniteInputDoesNotPoisonTheFilters) {
    Signal in = noise(2, 6000, 5);
    Signal zeroed = in;
    for (int i = 1000; i < 1100; ++i) {
        in[0][static_cast<std::size_t>(i)] = i % 2 ? std::numeric_limits<double>::quiet_NaN()
                                                   : std::numeric_limits<double>::infinity();
        in[1][static_cast<std::size_t>(i)] = -std::numeric_limits<double>::infinity();
        zeroed[0][static_cast<std::size_t>(i)] = zeroed[1][static_cast<std::size_t>(i)] = 0.0;
    }
    Signal outs[2];
    const Signal* inputs[2] = {&in, &zeroed};
    for (int k = 0; k < 2; ++k) {
        ClockedPlug plug;
        enablePeak(plug, 0, 200, 12, 8);
        plug.settle();
        Signal x = *inputs[k];
        outs[k].resize(2);
        processBlocks(plug, x, outs[k], 256);
    }
    // Bad samples enter as silence: the output equals that of the silenced input.
    for (std::size_t i = 0; i < 6000; ++i) {
        ASSERT_TRUE(std::isfinite(outs[0][0][i]) && std::isfinite(outs[0][1][i])) << i;
        ASSERT_EQ(outs[0][0][i], outs[1][0][i]) << i;
    }
}

TEST(PlugMeters, BallisticsAndDetector) {
    // 1 - r^(1 / (rate * t)) per row of the ballistics table.
    EXPECT_EQ(analysis::ballisticCoefficient(0, true, 48000), 1.0);
    EXPECT_NEAR(analysis::ballisticCoefficient(1, true, 48000), 0.006683556, 1e-9);
    EXPECT_NEAR(analysis::ballisticCoefficient(1, false, 48000), 3.19798e-05, 1e-9);
    EXPECT_NEAR(analysis::ballisticCoefficient(2, false, 48000), 1.0 - std::pow(0.9, 1.0 / (48000 * 0.3)), 1e-15);
    EXPECT_NEAR(analysis::ballisticCoefficient(7, true, 48000), 1.0 - std::pow(0.2, 1.0 / (48000 * 0.01)), 1e-15);

    // Digital: a step is there in one sample; 0.3 s of silence leaves 10 %.
    analysis::MeterSet set;
    const double attack = analysis::ballisticCoefficient(0, true, 48000);
    const double release = analysis::ballisticCoefficient(0, false, 48000);
    std::vector<double> step(1, 0.8), silence(14400, 0.0);
    const double* ch[1] = {step.data()};
    set.update(ch, 1, 1, attack, release);
    EXPECT_EQ(set.level(0), 0.8);
    ch[0] = silence.data();
    set.update(ch, 1, 14400, attack, release);
    EXPECT_NEAR(set.level(0), 0.08, 1e-6);
    EXPECT_EQ(set.level(8), set.level(0));  // channel index taken modulo 8
}

TEST(PlugMeters, BallisticsPreferenceTakesEffectWithoutResume) {
    ClockedPlug plug;
    plug.setReal(kMsState, 0);
    plug.editorPreferenceTree().setUIPreference("Meters", "Ballistic Type", 1);  // "PPM"
    plug.loadEditorPreferences();
    plug.settle();
    plug.getChannelLevel(0);  // a reader looks, as the editor's idle pass does
    Signal in = {std::vector<double>(64, 0.5), std::vector<double>(64, 0.5)}, out(2);
    processBlocks(plug, in, out, 64);
    // A peak programme meter rises over milliseconds; the default "Digital" meter
    // would already show the full 0.5 after these 64 samples.
    EXPECT_GT(plug.getChannelLevel(0), 0.0);
    EXPECT_LT(plug.getChannelLevel(0), 0.3);
}

TEST(PlugMeters, MeterPointAndDomains) {
    ClockedPlug plug;  // mid/side by default
    plug.getOutputLevel(0);  // a reader looks
    Signal in = {std::vector<double>(64, 0.5), std::vector<double>(64, 0.25)}, out(2);
    processBlocks(plug, in, out, 64);
    // Digital ballistics: instantaneous attack, so the envelopes hold the last level.
    EXPECT_NEAR(plug.getChannelLevel(0), 0.75, 1e-3);  // mid = a + b
    EXPECT_NEAR(plug.getChannelLevel(1), 0.25, 1e-3);  // side = a - b
    EXPECT_NEAR(plug.getOutputLevel(0), 0.5, 1e-3);
    EXPECT_NEAR(plug.getOutputLevel(1), 0.25, 1e-3);

    plug.setReal(kGain, -6.0);
    plug.resume();
    plug.setMeterPoint(true);
    processBlocks(plug, in, out, 64);
    EXPECT_NEAR(plug.getOutputLevel(0), 0.5, 1e-3);  // the input, before the gain
    plug.setMeterPoint(false);
    processBlocks(plug, in, out, 64);
    EXPECT_LT(plug.getOutputLevel(0), 0.5);
}

// Meters and capture cost nothing while nobody reads them: they stop once the
// last read is a lease ago, and a read starts them again from cleared history
// rather than showing the level of long ago.
TEST(PlugMeters, MetersAndCaptureRunOnlyWhileRead) {
    const int lease = static_cast<int>(analysis::kLeaseFrames);
    const auto level = [](ClockedPlug& p) { return p.getOutputLevel(0); };
    const auto captured = [](ClockedPlug& p) {
        double last = -1.0;
        p.readAnalyserHistory(&last, 1, 0);
        return last;
    };
    struct Row {
        const char* what;
        std::function<double(ClockedPlug&)> read;
    };
    for (const Row& row : {Row{"meters", level}, Row{"analyser", captured}}) {
        SCOPED_TRACE(row.what);
        ClockedPlug plug;
        plug.setReal(kMsState, 0);
        plug.settle();
        Signal loud = {std::vector<double>(64, 0.5), std::vector<double>(64, 0.5)}, out(2);
        Signal quiet = {std::vector<double>(4096, 0.25), std::vector<double>(4096, 0.25)};
        processBlocks(plug, loud, out, 64);
        EXPECT_EQ(row.read(plug), 0.0);  // nobody read before: nothing was measured
        processBlocks(plug, loud, out, 64);
        EXPECT_NEAR(row.read(plug), 0.5, 1e-9);
        // Unread for longer than the lease: the last value stands still.
        for (int done = 0; done <= lease; done += 4096) processBlocks(plug, quiet, out, 4096);
        processBlocks(plug, loud, out, 64);
        EXPECT_NEAR(row.read(plug), 0.25, 1e-9);  // the lease ran out inside the quiet part
        // Read again: the next block starts from silence, so the new level is the block's own.
        Signal silent = {std::vector<double>(64, 0.0), std::vector<double>(64, 0.0)};
        processBlocks(plug, silent, out, 64);
        EXPECT_EQ(row.read(plug), 0.0);
    }
}

TEST(PlugAnalyser, RingsHoldTheNewestSamplesOldestFirst) {
    ClockedPlug plug;
    plug.setReal(kMsState, 0);
    plug.settle();
    std::vector<double> history(100, -1.0);
    EXPECT_EQ(plug.readAnalyserHistory(history.data(), 100, 2), 100);  // creates the pre rings
    Signal in(2, std::vector<double>(10000)), out(2);
    for (int i = 0; i < 10000; ++i) {
        in[0][static_cast<std::size_t>(i)] = i * 1e-4;
        in[1][static_cast<std::size_t>(i)] = -i * 1e-4;
    }
    plug.setReal(kGain, -6.0);
    plug.settle();
    processBlocks(plug, in, out, 700);
    plug.readAnalyserHistory(history.data(), 100, 1);  // post ring of channel 1
    for (int i = 0; i < 100; ++i) EXPECT_EQ(history[static_cast<std::size_t>(i)], out[1][static_cast<std::size_t>(9900 + i)]);
    plug.readAnalyserHistory(history.data(), 100, 2);  // pre ring of channel 0: before the gain
    for (int i = 0; i < 100; ++i) EXPECT_EQ(history[static_cast<std::size_t>(i)], in[0][static_cast<std::size_t>(9900 + i)]);
    EXPECT_EQ(plug.readAnalyserHistory(nullptr, 100, 0), 0);
    plug.resume();  // clears the history
    plug.processDoubleReplacing(std::vector<double*>{in[0].data(), in[1].data()}.data(),
                                std::vector<double*>{out[0].data(), out[1].data()}.data(), 1);
    plug.readAnalyserHistory(history.data(), 2, 0);
    EXPECT_EQ(history[0], 0.0);
}

}  // namespace
}  // namespace hm::test
