// When a host's changes are heard: the audio stream is the clock. A change made
// between two processing calls is heard from the second call's first sample,
// whether the host runs paced or unpaced, says it renders offline or not, and
// whichever of its threads made the change; renders repeat to the bit; settings
// made before the first call are in place at sample 0; MIDI transposition lands on
// its delta frame.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/host/HostFixture.h"
#include "tests/host/HostValues.h"

namespace hm::test {
namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 256;
constexpr int kModeParam = 4, kIRLengthParam = 7, kIRPhaseParam = 10;

using Output = std::vector<double>;  // left channel

std::unique_ptr<host::PluginInstance> instanceAt(int processLevel) {
    host::HostBehaviour behaviour;
    behaviour.processLevel = processLevel;
    return makeInstance(behaviour);
}

void setPeak(host::PluginInstance& plug, int b, double hz, double db) {
    plug.setParameter(band(b, kType), integerValue(1, 1, 6));
    plug.setParameter(band(b, kFrequency), logValue(hz, 10, 22000));
    plug.setParameter(band(b, kGainField), gainValue(db));
    plug.setParameter(band(b, kQ), logValue(1.0, 0.1, 50));
    plug.setParameter(band(b, kState), integerValue(2, 0, 2));
}

double sine(int i, double hz) { return 0.25 * std::sin(2.0 * M_PI * hz * i / kRate); }

// Processes `blocks` blocks of a 1 kHz sine (both channels); before block k,
// beforeBlock(k) may change the instance, as a host's automation does.
Output renderBlocks(host::PluginInstance& plug, int blocks, const std::function<void(int)>& beforeBlock,
                    std::chrono::microseconds pace = {}) {
    Output out(static_cast<std::size_t>(blocks * kBlock));
    std::vector<double> l(kBlock), r(kBlock), ol(kBlock), orr(kBlock);
    for (int k = 0; k < blocks; ++k) {
        if (beforeBlock) beforeBlock(k);
        for (int i = 0; i < kBlock; ++i) l[static_cast<std::size_t>(i)] = r[static_cast<std::size_t>(i)] = sine(k * kBlock + i, 1000.0);
        double* in[2] = {l.data(), r.data()};
        double* o[2] = {ol.data(), orr.data()};
        plug.processDouble(in, o, kBlock);
        std::copy(ol.begin(), ol.end(), out.begin() + static_cast<std::ptrdiff_t>(k) * kBlock);
        if (pace.count() > 0) std::this_thread::sleep_for(pace);
    }
    return out;
}

// Level of the output over [from, to) relative to the input sine, in dB.
double levelDb(const Output& out, int from, int to) {
    double y = 0.0, x = 0.0;
    for (int i = from; i < to; ++i) {
        y += out[static_cast<std::size_t>(i)] * out[static_cast<std::size_t>(i)];
        x += sine(i, 1000.0) * sine(i, 1000.0);
    }
    return 10.0 * std::log10(y / x);
}

int firstDifference(const Output& a, const Output& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) return static_cast<int>(i);
    return -1;
}

// A glide's first sample runs the coefficients it starts from (up to rounding), so
// a change shows in the output at its first sample or the one after.
testing::AssertionResult startsAt(int firstDifference, int frame) {
    if (firstDifference == frame || firstDifference == frame + 1) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the output first differs at " << firstDifference << ", the change is at " << frame;
}

constexpr int kChangeBlock = 20;
constexpr int kBlocks = 60;

// Band 1 at 0 dB from the start; +12 dB from block kChangeBlock.
Output automatedRender(int processLevel, std::chrono::microseconds pace = {}) {
    auto plug = instanceAt(processLevel);
    if (!plug) return {};
    setPeak(*plug, 0, 1000.0, 0.0);
    return renderBlocks(
        *plug, kBlocks,
        [&](int k) {
            if (k == kChangeBlock) plug->setParameter(band(0, kGainField), gainValue(12.0));
        },
        pace);
}

TEST(HostAutomation, AChangeBetweenCallsIsHeardFromTheNextCallAndRendersRepeat) {
    Output flat;
    {
        auto plug = instanceAt(vst::kVstProcessLevelOffline);
        ASSERT_TRUE(plug);
        setPeak(*plug, 0, 1000.0, 0.0);
        flat = renderBlocks(*plug, kBlocks, nullptr);
    }
    const Output offline = automatedRender(vst::kVstProcessLevelOffline);
    ASSERT_EQ(offline.size(), flat.size());
    // Untouched up to the change, changed from the change's first sample on.
    EXPECT_TRUE(startsAt(firstDifference(offline, flat), kChangeBlock * kBlock));
    // The glide takes 1000 samples; from then on the band is at its new gain.
    EXPECT_NEAR(levelDb(offline, kChangeBlock * kBlock + 1000, kBlocks * kBlock), 12.0, 0.2);

    // Unpaced renders repeat to the bit, whatever the host answers about its
    // process level; so does one paced at real time.
    for (int run = 0; run < 4; ++run) EXPECT_EQ(automatedRender(vst::kVstProcessLevelOffline), offline) << "run " << run;
    EXPECT_EQ(automatedRender(0), offline);
    const auto blockTime = std::chrono::microseconds(static_cast<long>(1e6 * kBlock / kRate));
    EXPECT_EQ(automatedRender(vst::kVstProcessLevelRealtime, blockTime), offline);
}

TEST(HostAutomation, ProgramChangesBetweenCallsAreHeardFromTheNextCall) {
    // Program 2 holds a +12 dB peak, program 1 is flat; the host switches programs
    // between calls (on its processing thread), offline and not: heard at once,
    // the same every time.
    const auto renderWith = [](bool change, int processLevel) {
        auto plug = instanceAt(processLevel);
        if (!plug) return Output{};
        plug->dispatch(vst::effSetProgram, 0, 1);
        setPeak(*plug, 0, 1000.0, 12.0);
        plug->dispatch(vst::effSetProgram, 0, 0);
        setPeak(*plug, 0, 1000.0, 0.0);
        return renderBlocks(*plug, kBlocks, [&](int k) {
            if (change && k == kChangeBlock) plug->dispatch(vst::effSetProgram, 0, 1);
        });
    };
    const Output flat = renderWith(false, vst::kVstProcessLevelOffline);
    const Output switched = renderWith(true, vst::kVstProcessLevelOffline);
    ASSERT_FALSE(switched.empty());
    EXPECT_TRUE(startsAt(firstDifference(switched, flat), kChangeBlock * kBlock));
    EXPECT_NEAR(levelDb(switched, kChangeBlock * kBlock + 1000, kBlocks * kBlock), 12.0, 0.2);
    EXPECT_EQ(renderWith(true, 0), switched);
}

TEST(HostAutomation, AChangeFromTheHostsUiThreadIsHeardAtTheNextCall) {
    // Audio on a thread of its own; the host's UI thread changes the band between
    // two calls (each waits for the other), with the real-time level answered.
    auto plug = instanceAt(vst::kVstProcessLevelRealtime);
    ASSERT_TRUE(plug);
    setPeak(*plug, 0, 1000.0, 0.0);
    std::mutex m;
    std::condition_variable cv;
    int allowed = 0;   // blocks the audio thread may process
    int finished = 0;  // blocks it has processed
    Output out;
    std::thread audio([&] {
        out = renderBlocks(*plug, kBlocks, [&](int k) {
            std::unique_lock lock(m);
            finished = k;
            cv.notify_all();
            cv.wait(lock, [&] { return allowed > k; });
        });
    });
    for (int k = 0; k < kBlocks; ++k) {
        std::unique_lock lock(m);
        if (k == kChangeBlock) {
            // Block k - 1 is done and block k waits: the change completes between them.
            cv.wait(lock, [&] { return finished == k; });
            lock.unlock();
            plug->setParameter(band(0, kGainField), gainValue(12.0));
            lock.lock();
        }
        allowed = k + 1;
        cv.notify_all();
    }
    audio.join();
    EXPECT_EQ(out, automatedRender(vst::kVstProcessLevelOffline));
}

TEST(HostAutomation, SettingsMadeBeforeTheFirstCallAreInPlaceAtSampleZero) {
    // Set while suspended, and set after resume before the first call: no glide in
    // from flat, the first block is equalised as the settings say.
    for (const bool whileSuspended : {true, false}) {
        auto plug = instanceAt(0);
        ASSERT_TRUE(plug);
        if (whileSuspended) plug->dispatch(vst::effMainsChanged, 0, 0);
        setPeak(*plug, 0, 1000.0, 12.0);
        if (whileSuspended) plug->dispatch(vst::effMainsChanged, 0, 1);
        const Output out = renderBlocks(*plug, 4, nullptr);
        // The peak's own settling (Q 1 at 1 kHz) is over within a few periods.
        EXPECT_NEAR(levelDb(out, 96, kBlock), 12.0, 0.5) << "suspended: " << whileSuspended;
        EXPECT_NEAR(levelDb(out, kBlock, 4 * kBlock), 12.0, 0.2) << "suspended: " << whileSuspended;
    }
}

// Bands 1 and 2 set, changed at blocks 30 and 31 (`when` = 30), never (a large
// `when`) or from the start (`when` = 0).
Output firRender(int lengthItem, int phase, int when) {
    auto plug = instanceAt(vst::kVstProcessLevelOffline);
    if (!plug) return {};
    plug->setParameter(kModeParam, integerValue(1, 0, 1));
    plug->setParameter(kIRLengthParam, integerValue(lengthItem, 0, 8));
    plug->setParameter(kIRPhaseParam, integerValue(phase, 0, 7));
    setPeak(*plug, 0, 1000.0, 0.0);
    setPeak(*plug, 1, 8000.0, -6.0);
    return renderBlocks(*plug, 80, [&](int k) {
        if (k == when) plug->setParameter(band(0, kGainField), gainValue(12.0));
        if (k == when + 1) plug->setParameter(band(1, kFrequency), logValue(6000.0, 10, 22000));
    });
}

TEST(HostAutomation, OfflineFirRendersWithChangesRepeatToTheBit) {
    // "Linear" and "Zero-latency Analogue", 1024 and 4096 taps: the processing call
    // waits for the rebuild, so every render of the same automation is the same and
    // the change is in the FIR from its block on.
    for (const int lengthItem : {0, 2}) {
        for (const int phase : {0, 2}) {
            SCOPED_TRACE(testing::Message() << "length item " << lengthItem << ", phase " << phase);
            const Output first = firRender(lengthItem, phase, 30);
            ASSERT_FALSE(first.empty());
            EXPECT_EQ(firRender(lengthItem, phase, 30), first);
            EXPECT_EQ(firRender(lengthItem, phase, 30), first);
            EXPECT_EQ(firstDifference(first, firRender(lengthItem, phase, 1000)) / kBlock, 30);
            // Once the new impulse has filled the convolution, as if set from the start.
            const int length = 1024 << lengthItem;
            const int settled = 32 * kBlock + length / 2 * (phase == 0 ? 1 : 0) + length;
            const Output final = firRender(lengthItem, phase, 0);
            EXPECT_NEAR(levelDb(first, settled, 80 * kBlock), levelDb(final, settled, 80 * kBlock), 0.01);
            EXPECT_NEAR(levelDb(final, settled, 80 * kBlock), 12.0, 0.5);
        }
    }
}

// One MIDI event in the coming processing call.
struct MidiEvent {
    vst::VstMidiEvent event{};
    struct {
        vst::VstInt32 numEvents = 1;
        vst::VstIntPtr reserved = 0;
        vst::VstEvent* events[1];
    } list;
    MidiEvent(int status, int data1, int data2, int frame) {
        event.type = vst::kVstMidiType;
        event.byteSize = sizeof(event);
        event.deltaFrames = frame;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        list.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
    }
    vst::VstEvents* events() { return reinterpret_cast<vst::VstEvents*>(&list); }
};

TEST(HostAutomation, MidiTranspositionLandsOnItsDeltaFrame) {
    // Note 72 doubles every band frequency: the 500 Hz peak moves onto the 1 kHz
    // sine from frame 100 of block 10, not earlier; in every run the same.
    const auto renderWith = [](bool note, int processLevel) {
        auto plug = instanceAt(processLevel);
        if (!plug) return Output{};
        setPeak(*plug, 0, 500.0, 12.0);
        MidiEvent midi(0x90, 72, 100, 100);
        return renderBlocks(*plug, 40, [&](int k) {
            if (note && k == 10) plug->dispatch(vst::effProcessEvents, 0, 0, midi.events());
        });
    };
    const Output plain = renderWith(false, 0);
    const Output moved = renderWith(true, 0);
    ASSERT_FALSE(moved.empty());
    EXPECT_TRUE(startsAt(firstDifference(moved, plain), 10 * kBlock + 100));
    EXPECT_NEAR(levelDb(moved, 20 * kBlock, 40 * kBlock), 12.0, 0.2);
    EXPECT_EQ(renderWith(true, vst::kVstProcessLevelOffline), moved);
}

}  // namespace
}  // namespace hm::test
