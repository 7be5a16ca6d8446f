// The instance against hosts that are strict about threads and take their own
// locks: no design or lock on an audio thread, no deadlock between the timer and
// instances opened and closed under a host's lock, no long wait when a host
// resumes from inside a callback, and an editor that can go while values are
// forwarded to it. Meant for the ThreadSanitizer build as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/core/ProcessRig.h"

namespace hm::test {
namespace {

using namespace std::chrono_literals;

// Runs `scenario` on a thread of its own; a scenario that has not finished after a
// minute has deadlocked, and the test binary ends rather than hang.
void withoutDeadlock(const char* what, std::function<void()> scenario) {
    auto done = std::async(std::launch::async, std::move(scenario));
    if (done.wait_for(60s) == std::future_status::ready) {
        done.get();
        return;
    }
    std::fprintf(stderr, "deadlock: %s\n", what);
    std::fflush(stderr);
    std::_Exit(1);
}

std::vector<std::vector<double>> buffers(int frames) {
    return std::vector<std::vector<double>>(2, std::vector<double>(static_cast<std::size_t>(frames), 0.1));
}

void processOnce(Plug& plug, std::vector<std::vector<double>>& b) {
    double* p[2] = {b[0].data(), b[1].data()};
    plug.processDoubleReplacing(p, p, static_cast<int>(b[0].size()));
}

TEST(PlugHostCalls, AudioThreadsNeverWaitForTheUpdateLock) {
    // A worker pool moves the instance between two new threads and sets automation
    // on whichever processes next, before and inside processing (MIDI). The update
    // lock is held elsewhere all along: any design or lock there would hang.
    ClockedPlug plug;
    std::atomic<int> turn{0};
    std::atomic<long> blocks{0};
    withoutDeadlock("automation on a new worker", [&] {
        auto lock = plug.lockUpdates();
        const auto worker = [&](int me) {
            auto own = buffers(256);
            vst::VstMidiEvent bend{};
            bend.type = vst::kVstMidiType;
            bend.byteSize = sizeof(bend);
            bend.midiData[0] = static_cast<char>(0xE0);
            struct {
                vst::VstInt32 numEvents;
                vst::VstIntPtr reserved;
                vst::VstEvent* events[1];
            } list{1, 0, {reinterpret_cast<vst::VstEvent*>(&bend)}};
            for (int k = 0; k < 50; ++k) {
                while (turn.load() % 2 != me) std::this_thread::yield();
                plug.setParameter(bandParam(k % 32, kBandGain), 0.3f + 0.01f * static_cast<float>(k));
                plug.setParameter(kABBank, static_cast<float>(k % 8) / 8.0f);  // an A/B switch loads a slot
                bend.midiData[2] = static_cast<char>(k);
                plug.processEvents(reinterpret_cast<vst::VstEvents*>(&list));
                processOnce(plug, own);
                blocks.fetch_add(1);
                turn.fetch_add(1);
            }
        };
        std::thread a(worker, 0), c(worker, 1);
        a.join();
        c.join();
    });
    EXPECT_EQ(blocks.load(), 100);
    // The deferred work is done by the timer, off the audio threads.
    plug.settle();
    EXPECT_FALSE(plug.isUpdateDeferred());
}

// A host that serialises its own state with one lock: taken around opening and
// closing instances and inside its IOChanged handler.
struct LockingHost {
    static inline std::mutex lock;
    static inline std::atomic<int> ioChanged{0};
    static vst::VstIntPtr callback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
        if (opcode == vst::audioMasterVersion) return 2400;
        if (opcode == vst::audioMasterIOChanged) {
            std::lock_guard guard(lock);
            ioChanged.fetch_add(1);
        }
        return 0;
    }
};

TEST(PlugHostCalls, OpenAndCloseUnderTheHostsLockWhileTheTimerReportsLatency) {
    LockingHost::ioChanged = 0;
    withoutDeadlock("open/close against IOChanged", [] {
        std::unique_ptr<Plug> reporter;
        {
            std::lock_guard guard(LockingHost::lock);
            reporter = std::make_unique<Plug>(&LockingHost::callback, 2);
        }
        std::atomic<bool> stop{false};
        // Latency changes all the time, reported by the process-wide timer.
        std::thread modes([&] {
            for (int k = 0; !stop.load(); ++k) {
                reporter->setParameter(kMode, k % 2 ? 1.0f : 0.0f);
                reporter->setParameter(kIRLength, static_cast<float>(k % 3) / 9.0f);
                std::this_thread::sleep_for(2ms);
            }
        });
        // At least 30 rounds, and on until reports have come in the middle of them
        // (FIR builds take longer on a loaded machine): the scenario is only
        // meaningful while the timer calls the host.
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        for (int round = 0;
             round < 30 || (LockingHost::ioChanged.load() < 2 && std::chrono::steady_clock::now() < deadline);
             ++round) {
            std::unique_ptr<Plug> other;
            {
                std::lock_guard guard(LockingHost::lock);
                other = std::make_unique<Plug>(&LockingHost::callback, 2);
                other->setParameter(kMode, 1.0f);  // latency of its own to report
            }
            std::this_thread::sleep_for(3ms);
            std::lock_guard guard(LockingHost::lock);
            other.reset();
        }
        stop = true;
        modes.join();
        std::lock_guard guard(LockingHost::lock);
        reporter.reset();  // closed while its own reports may be under way
    });
    EXPECT_GT(LockingHost::ioChanged.load(), 0);
}

// A host that answers IOChanged by suspending and resuming the instance.
struct ResumingHost {
    static inline std::atomic<Plug*> plug{nullptr};
    static inline std::atomic<int> resumes{0};
    static inline std::atomic<int> buildStillRunning{0};
    static vst::VstIntPtr callback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*,
                                   float) {
        if (opcode == vst::audioMasterVersion) return 2400;
        Plug* p = plug.load();
        if (opcode == vst::audioMasterIOChanged && p && effect) {
            effect->dispatcher(effect, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
            effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
            // resume did not sit out the FIR build it started.
            if (!p->bank().waitForFir(0ms)) buildStillRunning.fetch_add(1);
            resumes.fetch_add(1);
        }
        return 0;
    }
};

TEST(PlugHostCalls, ResumeFromInsideIOChangedDoesNotWaitForTheFir) {
    ResumingHost::resumes = 0;
    ResumingHost::buildStillRunning = 0;
    Plug plug(&ResumingHost::callback, 2);
    ResumingHost::plug = &plug;
    // The longest FIR with the most padding: its build takes long enough to see.
    plug.setParameter(kIRPad, 1.0f);
    plug.setParameter(kIRLength, 1.0f);
    plug.setParameter(kMode, 1.0f);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (ResumingHost::resumes.load() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    ResumingHost::plug = nullptr;
    ASSERT_GT(ResumingHost::resumes.load(), 0);
    EXPECT_EQ(ResumingHost::buildStillRunning.load(), ResumingHost::resumes.load());
}

// An editor that notices being used after it was deleted.
struct ProbeEditor final : vst::AEffEditor {
    explicit ProbeEditor(vst::AudioEffect* effect, std::atomic<long>& seen) : AEffEditor(effect), seen_(seen) {}
    ~ProbeEditor() override { alive_ = 0; }
    void setParameter(vst::VstInt32, float) override {
        EXPECT_EQ(alive_, 0x600D);
        seen_.fetch_add(1, std::memory_order_relaxed);
    }
    volatile int alive_ = 0x600D;
    std::atomic<long>& seen_;
};

TEST(PlugHostCalls, EditorCanGoWhileTheAudioThreadAndTimerForwardToIt) {
    ClockedPlug plug;
    std::atomic<long> seen{0};
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        auto b = buffers(128);
        for (int k = 0; !stop.load(); ++k) {
            plug.setParameter(bandParam(k % 32, kBandGain), static_cast<float>(k % 10) / 10.0f);  // forwarded
            processOnce(plug, b);
        }
    });
    for (int k = 0; k < 300; ++k) {
        plug.setEditor(new ProbeEditor(&plug, seen));
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        plug.setEditor(nullptr);
    }
    stop = true;
    audio.join();
    EXPECT_GT(seen.load(), 0);
}

TEST(PlugHostCalls, ProgramNameAndAutomationModeAreSharedRaceFree) {
    // Program changes, name changes and preference reloads on the UI thread while
    // the audio thread writes parameters through into the current program and
    // switches A/B slots, and another instance reads the name.
    ClockedPlug plug, other;
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        auto b = buffers(64);
        for (int k = 0; !stop.load(); ++k) {
            plug.setParameter(bandParam(k % 32, kBandFrequency), static_cast<float>(k % 7) / 7.0f);
            if (k % 5 == 0) plug.setParameter(kABBank, static_cast<float>(k % 8) / 8.0f);
            processOnce(plug, b);
        }
    });
    std::thread reader([&] {
        while (!stop.load()) {
            const std::string name = plug.instanceName();
            EXPECT_EQ(name.rfind("EQ", 0), 0u) << name;
            other.setInstanceName(name.c_str());
        }
    });
    for (int k = 0; k < 40; ++k) {
        plug.setProgram(k % kNumPrograms);
        plug.setInstanceName(k % 2 ? "EQ left" : "EQ right");
        plug.loadPreferences();
    }
    stop = true;
    audio.join();
    reader.join();
}

}  // namespace
}  // namespace hm::test
