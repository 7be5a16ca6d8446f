// Thread safety of the processing path: a stress run with automation, mode and
// channel-count changes while audio runs (meant for the ThreadSanitizer build as
// well), and a count of heap allocations on the audio thread after resume.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "tests/core/ProcessRig.h"
#include "tests/support/AllocationCounter.h"


namespace hm::test {
namespace {

vst::VstIntPtr silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class SilentPlug : public Plug {
public:
    explicit SilentPlug(int channels) : Plug(silentHost, channels) {}
};

struct MidiNote {
    vst::VstMidiEvent note{};
    struct {
        vst::VstInt32 numEvents = 1;
        vst::VstIntPtr reserved = 0;
        vst::VstEvent* events[1];
    } list;
    explicit MidiNote(int key) {
        note.type = vst::kVstMidiType;
        note.byteSize = sizeof(note);
        note.midiData[0] = static_cast<char>(0x90);
        note.midiData[1] = static_cast<char>(key);
        note.midiData[2] = 100;
        list.events[0] = reinterpret_cast<vst::VstEvent*>(&note);
    }
    vst::VstEvents* events() { return reinterpret_cast<vst::VstEvents*>(&list); }
};

void* volatile gKeep = nullptr;

TEST(PlugThreads, NoAllocationOnTheAudioThreadAfterResume) {
    // The counter itself works.
    {
        CountAllocations probe;
        gKeep = ::operator new(24);
        ASSERT_EQ(probe.count(), 1);
    }
    ::operator delete(gKeep);
    long audioAllocations = 0;

    SilentPlug plug(2);
    std::vector<std::vector<float>> fbuf(8, std::vector<float>(4096, 0.1f));
    std::vector<std::vector<double>> dbuf(8, std::vector<double>(8192, 0.1));
    std::vector<float*> fp;
    std::vector<double*> dp;
    for (auto& b : fbuf) fp.push_back(b.data());
    for (auto& b : dbuf) dp.push_back(b.data());
    std::vector<double> history(8192);
    MidiNote note(72);

    const auto audioBlock = [&](int k) {
        CountAllocations counter;
        plug.processReplacing(fp.data(), fp.data(), 1 + (k * 37) % 4096);
        plug.processDoubleReplacing(dp.data(), dp.data(), 8192);
        // Automation the processing call designs before its first sample: gains,
        // and types and subtypes (families, circuit models, fitted designs).
        plug.setParameter(bandParam(k % 32, kBandGain), 0.3f + 0.01f * static_cast<float>(k % 40));
        plug.setParameter(bandParam(k % 32, kBandState), 1.0f);
        plug.setParameter(bandParam(k % 32, kBandType), static_cast<float>(k % 6) / 6.0f);
        plug.setParameter(bandParam(k % 32, kBandSubtype), static_cast<float>((k * 7) % 29) / 29.0f);
        plug.setParameter(bandParam(k % 32, kBandQ), static_cast<float>((k * 5) % 17) / 17.0f);
        plug.processEvents(note.events());
        audioAllocations += counter.count();
    };
    const auto designer = [&](int k) {
        plug.setParameter(bandParam(k % 32, kBandState), 1.0f);
        plug.setParameter(bandParam((k + 5) % 32, kBandFrequency), 0.1f * static_cast<float>(k % 10));
        plug.setParameter(kParallel, static_cast<float>(k % 3) / 3.0f);
        plug.setParameter(kBypass, k % 7 == 0 ? 1.0f : 0.0f);
        plug.setParameter(kMode, k % 11 == 0 ? 1.0f : 0.0f);
        plug.setParameter(kDPlusLen, k % 5 == 0 ? 0.5f : 0.0f);
        plug.readAnalyserHistory(history.data(), 8192, 2 + k % 2);  // pre rings appear on first use
        plug.onTimer();
    };
    for (int round = 0; round < 3; ++round) {
        plug.setNumInputs(round == 1 ? 6 : 2);
        plug.setNumOutputs(round == 1 ? 6 : 2);
        plug.resume();
        for (int k = 0; k < 60; ++k) {
            audioBlock(k);
            designer(k);
        }
    }
    EXPECT_EQ(audioAllocations, 0);
}

TEST(PlugThreads, StressAutomationModesAndChannelCountsWhileAudioRuns) {
    SilentPlug plug(2);
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::atomic<long> blocks{0};

    std::thread audio([&] {
        std::vector<std::vector<float>> fbuf(8, std::vector<float>(512));
        std::vector<std::vector<double>> dbuf(8, std::vector<double>(512));
        std::vector<float*> fp;
        std::vector<double*> dp;
        for (auto& b : fbuf) fp.push_back(b.data());
        for (auto& b : dbuf) dp.push_back(b.data());
        MidiNote up(72), down(60);
        double phase = 0.0;
        for (long k = 0; !stop.load(); ++k) {
            for (int c = 0; c < 8; ++c)
                for (int i = 0; i < 512; ++i) {
                    dbuf[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = 0.25 * std::sin(phase + 0.05 * i);
                    fbuf[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = static_cast<float>(0.25 * std::sin(phase + 0.07 * i));
                }
            phase += 0.05 * 512;
            if (k % 3 == 0) plug.setParameter(bandParam(static_cast<int>(k % 32), kBandGain), static_cast<float>((k % 50) / 50.0));
            if (k % 97 == 0) plug.processEvents((k / 97) % 2 ? up.events() : down.events());
            plug.processDoubleReplacing(dp.data(), dp.data(), 512);
            plug.processReplacing(fp.data(), fp.data(), 300);
            for (int c = 0; c < 8; ++c)
                if (!std::isfinite(dbuf[static_cast<std::size_t>(c)][511]) || !std::isfinite(fbuf[static_cast<std::size_t>(c)][299]))
                    finite = false;
            blocks.fetch_add(1);
        }
    });
    std::thread editor([&] {
        std::vector<double> history(4096);
        while (!stop.load()) {
            plug.getChannelLevel(0);
            plug.getOutputLevel(1);
            plug.getClipFlag();
            plug.readAnalyserHistory(history.data(), 4096, 1);
            {
                auto lock = plug.lockUpdates();
                plug.bank().getDigitalMagnitude(1000.0f, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    unsigned x = 12345;
    const auto next = [&] { return (x = x * 1664525u + 1013904223u) >> 8; };
    for (int k = 0; std::chrono::steady_clock::now() < end; ++k) {
        for (int b = 0; b < kNumBands; ++b) {
            plug.setParameter(bandParam(b, kBandState), (next() % 3 == 0) ? 0.0f : 1.0f);
            plug.setParameter(bandParam(b, kBandType), static_cast<float>(next() % 6) / 6.0f);
            plug.setParameter(bandParam(b, kBandFrequency), static_cast<float>(next() % 1000) / 1000.0f);
            plug.setParameter(bandParam(b, kBandGain), static_cast<float>(next() % 1000) / 1000.0f);
            plug.setParameter(bandParam(b, kBandGroups), static_cast<float>(next() % 256) / 256.0f);
        }
        plug.setParameter(kParallel, static_cast<float>(next() % 3) / 3.0f);
        plug.setParameter(kMode, next() % 4 == 0 ? 1.0f : 0.0f);
        plug.setParameter(kIRPhase, static_cast<float>(next() % 8) / 8.0f);
        plug.setParameter(kDPlusLen, static_cast<float>(next() % 7) / 7.0f);
        plug.setParameter(kMsState, static_cast<float>(next() % 16) / 16.0f);
        plug.setParameter(channelParam(static_cast<int>(next() % 8), kChannelSolo), next() % 2 ? 1.0f : 0.0f);
        if (k % 10 == 9) {
            const int n = 1 + static_cast<int>(next() % 8);
            plug.setNumInputs(n);
            plug.setNumOutputs(n);
            plug.resume();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop = true;
    audio.join();
    editor.join();
    EXPECT_TRUE(finite.load());
    EXPECT_GT(blocks.load(), 10);

    // Afterwards the instance still equalises exactly as its parameters say.
    plug.setNumInputs(2);
    plug.setNumOutputs(2);
    for (int b = 0; b < kNumBands; ++b) plug.setParameter(bandParam(b, kBandState), 0.0f);
    for (int c = 0; c < 8; ++c) plug.setParameter(channelParam(c, kChannelSolo), 0.0f);
    plug.setParameter(kMode, 0.0f);
    plug.setParameter(kDPlusLen, 0.0f);
    plug.setParameter(kParallel, 0.0f);
    plug.setParameter(kMsState, static_cast<float>(realToNormalisedBase(kKindInteger, 0, 15, 8)));
    plug.setParameter(bandParam(0, kBandType), 0.0f);  // peak
    plug.setParameter(bandParam(0, kBandGroups), 1.0f);
    plug.setParameter(bandParam(0, kBandFrequency), static_cast<float>(plug.realToNormalised(bandParam(0, kBandFrequency), 1000.0)));
    plug.setParameter(bandParam(0, kBandGain), static_cast<float>(plug.realToNormalised(bandParam(0, kBandGain), 6.0)));
    plug.setParameter(bandParam(0, kBandState), 1.0f);
    plug.resume();
    // The band's frequency was given as heard (the last MIDI note's factor included).
    EXPECT_NEAR(measuredGainDb(plug, 0, 1000.0, 44100.0), 6.0, 0.2);
    EXPECT_NEAR(measuredGainDb(plug, 1, 1000.0, 44100.0), 6.0, 0.2);
}

}  // namespace
}  // namespace hm::test
