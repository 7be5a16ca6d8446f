#pragma once
// One LV2 plug-in instance: the equaliser created through its own VST entry
// point and driven only through the effect record, as any VST host drives it.
// Control ports reach the instance as parameter changes at the start of the
// run in which they changed; MIDI events as VST events; the state extension
// saves and restores the bank chunk. While an LV2 UI is attached, the editor's
// gestures (reported through the instance's host callback) queue up for it.
// Asked for its process level, the wrapper answers offline while the host
// renders (freewheel port on, or a bare host that gives no features at all).
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/vst/VstAbi.h"
#include "lv2/GestureQueue.h"
#include "lv2/PortModel.h"
#include "lv2/Variants.h"

namespace hm::lv2 {

class Lv2Instance {
public:
    // Null when the instance cannot be made. Instantiation thread.
    static Lv2Instance* create(const Variant& variant, double sampleRate, const LV2_Feature* const* features);
    ~Lv2Instance();  // instantiation thread
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connectPort(std::uint32_t port, void* data);  // audio thread or instantiation thread
    void activate();                                   // instantiation thread
    void deactivate();                                 // instantiation thread
    void run(std::uint32_t frames);                    // audio thread: no allocation, lock or I/O

    // State: any non-audio thread (saving may overlap run()).
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    vst::AEffect* effect() const { return effect_; }

    // The UI (instance access): one at a time; gestures queue only while one is
    // attached, and the UI takes them from gestures() on its thread. UI thread.
    bool attachUi();
    void detachUi();
    GestureQueue& gestures() { return gestures_; }
    // Parameter `index` as the instance holds it now, as a port value. Any thread but audio.
    // Whether port value `value` sets parameter `index` to what the instance holds
    // now: the port shows the instance, though the float round trip through real
    // units may give other bits. Any thread.
    bool portShowsInstance(int index, float value) const;
    float portValueNow(int index) const;

    // From the instance's host callback (UI or timer thread): queued for the UI, if any.
    void hostGesture(vst::VstInt32 opcode, vst::VstInt32 index);
    // From the instance's host callback, any thread: kVstProcessLevelOffline or
    // kVstProcessLevelRealtime, as the current run (or the last one) found the host.
    vst::VstInt32 processLevel() const {
        return offline_.load(std::memory_order_relaxed) ? vst::kVstProcessLevelOffline : vst::kVstProcessLevelRealtime;
    }

private:
    Lv2Instance() = default;
    vst::VstIntPtr dispatch(int opcode, int index = 0, vst::VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    void applyChangedPorts();
    void readProcessLevel();  // from the freewheel port, for the instance's next questions
    void sendMidi(std::uint32_t start, std::uint32_t frames);
    void processChunk(std::uint32_t start, std::uint32_t frames);
    PortContext portContextNow() const;

    static constexpr int kMaxEvents = 256;
    static constexpr std::uint32_t kDefaultMaxBlock = 4096;

    vst::AEffect* effect_ = nullptr;
    int channels_ = 2;
    std::uint32_t maxBlock_ = kDefaultMaxBlock;
    LV2_URID_Map* map_ = nullptr;
    LV2_URID midiEvent_ = 0, chunkType_ = 0, bankKey_ = 0;
    // The host's log, when it offers one: why a state was refused.
    LV2_Log_Log* log_ = nullptr;
    LV2_URID warning_ = 0;
    void logWarning(const char* message);

    const float* controls_[kNumParams] = {};
    std::uint32_t applied_[kNumParams] = {};  // bits of the port value last applied
    // A restore: the ports as they stood then count as applied, so values the host
    // set before it do not undo it, while any it writes afterwards still change.
    std::uint32_t restoredPorts_[kNumParams] = {};
    std::atomic<bool> resyncPorts_{false};
    float* latency_ = nullptr;
    const float* freewheel_ = nullptr;
    // The host's enable switch and the value last applied to Bypass from it: like
    // every port it moves the instance only when it changes.
    const float* enabled_ = nullptr;
    float enabledApplied_ = 1.0f;
    void applyEnabled();
    // A host that gives no features at all is a bare file renderer; any other
    // says by the freewheel port when it renders.
    bool bareHost_ = false;
    std::atomic<bool> offline_{false};
    const LV2_Atom_Sequence* midiIn_ = nullptr;
    const float* audioIn_[kMaxChannels] = {};
    float* audioOut_[kMaxChannels] = {};

    // Inputs are copied before processing: hosts may hand the same buffer in and out.
    std::unique_ptr<float[]> scratch_;
    float* scratchIn_[kMaxChannels] = {};
    float* chunkOut_[kMaxChannels] = {};

    struct EventList {
        vst::VstInt32 numEvents;
        vst::VstIntPtr reserved;
        vst::VstEvent* events[kMaxEvents];
    } events_{};
    vst::VstMidiEvent midi_[kMaxEvents] = {};

    std::atomic<bool> uiAttached_{false};
    GestureQueue gestures_;
    // Parameters the editor holds in a gesture (begin edit seen, end not yet):
    // the UI's port writes trail the editor's edits, so while one is held a
    // run could take an earlier written value back from a newer edit.
    std::atomic<bool> held_[kNumParams] = {};
};

}  // namespace hm::lv2
