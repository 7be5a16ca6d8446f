#pragma once
// Which threads of a host may do what with an instance, and which host
// callbacks it makes from which thread. This is the one place that decides it;
// every update and every report to the host asks here.
//
//   Thread                                   May design, and host callbacks made there
//   audio: inside process or processEvents   a set only marks the update; the next
//     of any instance, or a thread that has  processing call designs it at its start
//     processed this instance                (trying the design gate while the host is
//                                            live). No host calls but the process-level
//                                            query: gestures and automation it causes
//                                            (MIDI transposition, A/B switching by host
//                                            automation) are queued lock-free
//   the instance's UI thread: one that       designs; all host calls, directly, with no
//     constructed or resumed it (dispatcher, plug-in lock held; the editor's idle also
//     editor) and does not process it        delivers what was queued
//   process timer, in an instance's tick     designs; no host calls: what the tick
//                                            reports (latency, the queue) follows right
//                                            after it on the same thread, with no
//                                            plug-in lock held and without the instance
//   any other thread (a worker that has not  like an audio thread: hosts with worker
//     processed yet, ...)                    pools set automation on a worker just
//                                            before it processes there
//
//   audioMasterBeginEdit/Automate/EndEdit   user gestures, undo and redo, A/B switching
//                                           (with "A/B Automation" "All"), MIDI
//   audioMasterUpdateDisplay                once after a program change or a restored
//                                           state (not during construction)
//   audioMasterIOChanged                    the latency of what runs changed
//   audioMasterWantMidi                     resume
//   audioMasterGetVendorString              construction, input pin properties
//   audioMasterVersion                      the entry point, before an instance exists
//   audioMasterGetCurrentProcessLevel       the start of every processing call (offline
//                                           renders wait for FIR rebuilds)
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "core/params/ParamIds.h"
#include "core/vst/VstAbi.h"
#include "platform/ProcessTimer.h"

namespace hm {

// Remembers which threads play which part for one instance.
class ThreadRoles {
public:
    // Marks the calling thread as processing for the duration of a processing call
    // (process, processEvents) and remembers it as one of the instance's audio threads.
    class Processing {
    public:
        explicit Processing(ThreadRoles& roles);
        ~Processing();
        Processing(const Processing&) = delete;
        Processing& operator=(const Processing&) = delete;
    };

    // The calling thread constructed or resumed the instance: its UI thread.
    void rememberUiThread();
    // Inside any instance's processing call, or a thread that has processed this one.
    bool audioThread() const;
    // A UI thread of the instance that is not one of its audio threads.
    bool uiThread() const;
    // Updates may design here: the UI thread, or the timer's tick.
    bool mayDesign() const;
    // Host callbacks may be made here directly: the UI thread outside a tick.
    bool mayCallHost() const;

private:
    // Lock-free sets of thread ids; larger sets cycle through their slots.
    template <int N>
    struct Remembered {
        std::atomic<std::thread::id> ids[N] = {};
        std::atomic<unsigned> next{0};
        void add(std::thread::id self);
        bool contains(std::thread::id self) const;
    };
    Remembered<16> audio_;  // worker pools
    Remembered<4> ui_;
};

// Marks the timer's call into one instance: host calls made meanwhile are queued
// for the follow-up.
class TickScope {
public:
    TickScope();
    ~TickScope();
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;
    static bool active();
};

// The host callbacks an instance has queued, and their delivery after a timer
// tick. Shared between the instance and the timer, so a delivery under way may
// outlive the instance (it then only holds the effect record).
class HostReports final : public platform::TimerFollowUp {
public:
    HostReports(vst::HostCallback host, std::shared_ptr<vst::AEffect> record);

    // Any thread (the audio thread too): never blocks, never allocates.
    void queueGesture(int index);  // begin, automate (with the value at delivery), end
    void queueIOChanged() { ioChanged_.store(true, std::memory_order_release); }
    void queueDisplayUpdate() { display_.store(true, std::memory_order_release); }

    // Takes everything queued: fn(index) for each gesture, then the two flags.
    template <class Fn>
    void take(Fn&& gesture, bool& ioChanged, bool& display) {
        for (int w = 0; w < kWords; ++w) {
            std::uint32_t bits = gestures_[w].exchange(0, std::memory_order_acq_rel);
            while (bits) {
                const int bit = __builtin_ctz(bits);
                bits &= bits - 1;
                gesture(w * 32 + bit);
            }
        }
        ioChanged = ioChanged_.exchange(false, std::memory_order_acq_rel);
        display = display_.exchange(false, std::memory_order_acq_rel);
    }

    // Timer thread, in the instance's tick: moves the queue into the batch that
    // run() delivers, each gesture with the value valueOf(index) gives now.
    template <class ValueOf>
    void collect(ValueOf&& valueOf) {
        bool io = false, display = false;
        take([&](int index) { batch_.push_back({index, valueOf(index)}); }, io, display);
        batchIOChanged_ = batchIOChanged_ || io;
        batchDisplay_ = batchDisplay_ || display;
    }

    // Timer thread, after the tick: makes the collected host calls.
    void run() override;
    // The instance is going: no delivery starts after this.
    void close() { closed_.store(true, std::memory_order_release); }

private:
    static constexpr int kWords = (kNumParams + 31) / 32;
    vst::VstIntPtr call(vst::VstInt32 opcode, vst::VstInt32 index = 0, float opt = 0.0f);

    vst::HostCallback host_;
    std::shared_ptr<vst::AEffect> record_;
    std::atomic<std::uint32_t> gestures_[kWords] = {};
    std::atomic<bool> ioChanged_{false};
    std::atomic<bool> display_{false};
    std::atomic<bool> closed_{false};
    // Timer thread only.
    std::vector<std::pair<int, float>> batch_;
    bool batchIOChanged_ = false;
    bool batchDisplay_ = false;
};

}  // namespace hm
