// Parameters, MIDI transposition and the shared timer, seen from a host.
#include <gtest/gtest.h>

#include <array>

#include <dirent.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>

#include "tests/host/HostFixture.h"

namespace hm::test {
namespace {

constexpr int kBand1Frequency = 51;
constexpr int kShift = 3;

TEST(HostParams, NamesLabelsAndDefaultsOfTheTable) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    EXPECT_EQ(plug->parameterName(0), "Bypass");
    EXPECT_EQ(plug->parameterName(14), "Channel 1 Level");
    EXPECT_EQ(plug->parameterName(45), "Channel 8 Solo");
    EXPECT_EQ(plug->parameterName(46), "Band1 State");
    EXPECT_EQ(plug->parameterName(365), "Band32 Phase");
    EXPECT_EQ(plug->parameterLabel(52), "Q");
    EXPECT_EQ(plug->parameterDisplay(51), "80");
    EXPECT_EQ(plug->parameterLabel(51), "Hz");
    EXPECT_EQ(plug->parameterDisplay(7), "8192");
    EXPECT_EQ(plug->parameterDisplay(12), "Off");
    EXPECT_NEAR(plug->getParameter(51), std::log(8.0) / std::log(2200.0), 1e-6);
    EXPECT_NEAR(plug->getParameter(54), 12.0 / 43.0, 1e-6);
}

TEST(HostParams, OutOfRangeAndNonFiniteInputLeaveStateAlone) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    EXPECT_EQ(plug->getParameter(366), 0.0f);
    EXPECT_EQ(plug->getParameter(-1), 0.0f);
    plug->setParameter(366, 0.5f);
    plug->setParameter(-5, 0.5f);

    char text[64];
    std::strcpy(text, "untouched");
    plug->dispatch(vst::effGetParamName, 366, 0, text);
    EXPECT_STREQ(text, "untouched");
    plug->dispatch(vst::effGetParamDisplay, -1, 0, text);
    EXPECT_STREQ(text, "untouched");

    const float before = plug->getParameter(1);
    plug->setParameter(1, std::numeric_limits<float>::quiet_NaN());
    plug->setParameter(1, std::numeric_limits<float>::infinity());
    EXPECT_EQ(plug->getParameter(1), before);
    EXPECT_EQ(plug->parameterDisplay(1), "0.00");

    // Values outside 0..1 are clamped by the conversions.
    plug->setParameter(1, 7.0f);
    EXPECT_EQ(plug->parameterDisplay(1), "36.00");
}

TEST(HostParams, SwitchParameterIsOnOnlyAtOne) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    plug->setParameter(16, 0.99f);  // Channel 1 Mute
    EXPECT_EQ(plug->parameterDisplay(16), "Off");
    plug->setParameter(16, 1.0f);
    EXPECT_EQ(plug->parameterDisplay(16), "On");
    plug->setParameter(15, 0.99f);  // Channel 1 Phase names its positions
    EXPECT_EQ(plug->parameterDisplay(15), "Normal");
    plug->setParameter(15, 1.0f);
    EXPECT_EQ(plug->parameterDisplay(15), "Inverted");
}

// MIDI events belong to the processing call that follows them: a host sends them,
// then processes a block.
void deliverMidi(host::PluginInstance& plug, const std::vector<std::array<unsigned char, 3>>& messages) {
    plug.sendMidi(messages);
    std::vector<float> l(16, 0.0f), r(16, 0.0f);
    float* io[2] = {l.data(), r.data()};
    plug.processFloat(io, io, 16);
}

// Expected frequency multiplier from independent arithmetic on the MIDI message.
double bandFrequencyOf(host::PluginInstance& plug) {
    return std::stod(plug.parameterDisplay(kBand1Frequency));  // "%.0f Hz"
}

TEST(HostParams, MidiNoteAndBendTransposeEveryBandFrequency) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    plug->setParameter(kBand1Frequency, 1.0f);  // 22000 Hz: enough digits to check factors
    ASSERT_DOUBLE_EQ(bandFrequencyOf(*plug), 22000.0);

    plug->clearCalls();
    deliverMidi(*plug, {{0x90, 72, 100}});  // an octave above middle C doubles every frequency
    EXPECT_NEAR(bandFrequencyOf(*plug), 44000.0, 0.5);
    // The host's automation hears of the touch on the shift, but not from the thread
    // that delivered the MIDI (the audio thread): the plug-in's timer reports it.
    EXPECT_TRUE(eventually([&] { return plug->countCalls(vst::audioMasterEndEdit) == 1; }));
    EXPECT_EQ(plug->countCalls(vst::audioMasterBeginEdit), 1);
    ASSERT_EQ(plug->countCalls(vst::audioMasterAutomate), 1);
    for (const auto& c : plug->calls()) {
        EXPECT_NE(c.thread, std::this_thread::get_id());
        if (c.opcode == vst::audioMasterAutomate) EXPECT_EQ(c.index, kShift);
    }

    // Ignored: note-off, velocity 0, notes outside 12..108, other messages.
    deliverMidi(*plug, {{0x80, 60, 64}, {0x90, 60, 0}, {0x90, 11, 100}, {0x91, 109, 100}, {0xB0, 7, 100}});
    EXPECT_NEAR(bandFrequencyOf(*plug), 44000.0, 0.5);

    // Full bend up with the default range (item 2: three semitones).
    deliverMidi(*plug, {{0xE0, 0x7F, 0x7F}});
    const double bend = std::pow(2.0, (3.0 / 12.0) * 8191.0 / 8192.0);
    EXPECT_NEAR(bandFrequencyOf(*plug), 44000.0 * bend, 0.5);

    // A new note keeps the bend; the centre bend value removes it.
    deliverMidi(*plug, {{0x93, 48, 1}});
    EXPECT_NEAR(bandFrequencyOf(*plug), 22000.0 * 0.5 * bend, 0.5);
    deliverMidi(*plug, {{0xE0, 0x00, 0x40}});
    EXPECT_NEAR(bandFrequencyOf(*plug), 11000.0, 0.5);
}

int threadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

TEST(HostParams, InstancesShareOneTimerThatStopsWithTheLast) {
    makeInstance().reset();  // sanitizer runtimes start helper threads with the first thread
    const int base = threadCount();
    auto first = makeInstance();
    ASSERT_TRUE(first);
    EXPECT_EQ(threadCount(), base + 1);
    auto second = makeInstance();
    ASSERT_TRUE(second);
    EXPECT_EQ(threadCount(), base + 1);
    first.reset();
    EXPECT_EQ(threadCount(), base + 1);
    // The timer keeps serving the survivor: it delivers the report of a MIDI touch.
    second->clearCalls();
    deliverMidi(*second, {{0x90, 60, 100}});
    EXPECT_TRUE(eventually([&] { return second->countCalls(vst::audioMasterEndEdit) == 1; }));
    second->setParameter(1, 0.75f);
    EXPECT_EQ(second->parameterDisplay(1), "18.00");
    second.reset();
    EXPECT_EQ(threadCount(), base);
}

TEST(HostParams, InstancesCreatedAndDestroyedOnManyThreads) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 5; ++i) {
                auto plug = makeInstance();
                ASSERT_TRUE(plug);
                plug->setParameter(1, 0.25f);
                plug->setParameter(4, 1.0f);  // a FIR mode: the timer reports its latency
                EXPECT_TRUE(eventually([&] { return plug->countCalls(vst::audioMasterIOChanged) == 1; }));
            }
        });
    }
    for (auto& t : threads) t.join();
}

}  // namespace
}  // namespace hm::test
