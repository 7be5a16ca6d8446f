#include "lv2/Lv2Instance.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <new>
#include <thread>

#include "lv2/Features.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace hm::lv2 {
namespace {

// Host callbacks under way that may reach a wrapper through the effect record's
// `user` link. The timer delivers reports after an instance has left it, so a
// wrapper that goes cuts its link and then waits for these to finish.
std::atomic<int> gLinkedCalls{0};

Lv2Instance* linkedWrapper(vst::AEffect* effect) {
    return effect ? static_cast<Lv2Instance*>(std::atomic_ref(effect->user).load()) : nullptr;
}

// What the wrapper answers as the instance's VST host. Any thread: the instance
// calls from the audio thread, its timer and the thread that creates it.
vst::VstIntPtr hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr, void* ptr,
                            float) {
    switch (opcode) {
        case vst::audioMasterBeginEdit:
        case vst::audioMasterAutomate:
        case vst::audioMasterEndEdit: {
            gLinkedCalls.fetch_add(1);
            if (Lv2Instance* wrapper = linkedWrapper(effect)) wrapper->hostGesture(opcode, index);
            gLinkedCalls.fetch_sub(1);
            return opcode == vst::audioMasterAutomate ? 0 : 1;
        }
        case vst::audioMasterGetCurrentProcessLevel: {
            // The instance asks at the start of each processing call: during run().
            gLinkedCalls.fetch_add(1);
            const Lv2Instance* wrapper = linkedWrapper(effect);
            const vst::VstIntPtr level = wrapper ? wrapper->processLevel() : 0;
            gLinkedCalls.fetch_sub(1);
            return level;
        }
        case vst::audioMasterVersion: return 2400;
        case vst::audioMasterGetVendorString:
            if (ptr) std::strcpy(static_cast<char*>(ptr), "Harmoniform LV2");
            return 1;
        case vst::audioMasterGetProductString:
            if (ptr) std::strcpy(static_cast<char*>(ptr), "LV2 wrapper");
            return 1;
        default: return 0;
    }
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}


}  // namespace

Lv2Instance* Lv2Instance::create(const Variant& variant, double sampleRate, const LV2_Feature* const* features) {
    std::unique_ptr<Lv2Instance> self(new (std::nothrow) Lv2Instance);
    if (!self || !(sampleRate > 0.0)) return nullptr;
    self->channels_ = variant.channels;
    self->bareHost_ = !features || !features[0];
    self->offline_.store(self->bareHost_, std::memory_order_relaxed);
    self->map_ = static_cast<LV2_URID_Map*>(const_cast<void*>(findFeature(features, LV2_URID__map)));
    if (self->map_) {
        self->midiEvent_ = self->map_->map(self->map_->handle, LV2_MIDI__MidiEvent);
        self->chunkType_ = self->map_->map(self->map_->handle, LV2_ATOM__Chunk);
        self->bankKey_ = self->map_->map(self->map_->handle, kBankStateKey);
        self->log_ = static_cast<LV2_Log_Log*>(const_cast<void*>(findFeature(features, LV2_LOG__log)));
        self->warning_ = self->map_->map(self->map_->handle, LV2_LOG__Warning);
        const auto* options = static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options));
        const LV2_URID maxLength = self->map_->map(self->map_->handle, LV2_BUF_SIZE__maxBlockLength);
        const LV2_URID intType = self->map_->map(self->map_->handle, LV2_ATOM__Int);
        for (; options && options->key; ++options) {
            if (options->key == maxLength && options->type == intType && options->value) {
                const int length = *static_cast<const std::int32_t*>(options->value);
                if (length > 0) self->maxBlock_ = static_cast<std::uint32_t>(length);
            }
        }
    }

    self->effect_ = VSTPluginMain(&hostCallback);
    if (!self->effect_ || self->effect_->magic != vst::kEffectMagic) return nullptr;
    std::atomic_ref(self->effect_->user).store(self.get());
    self->dispatch(vst::effOpen);
    if (self->effect_->numInputs != variant.channels) {
        vst::VstSpeakerArrangement in{}, out{};
        in.numChannels = out.numChannels = variant.channels;
        self->dispatch(vst::effMainsChanged, 0, 0);
        if (!self->dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::VstIntPtr>(&in), &out))
            return nullptr;
    }
    self->dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    self->dispatch(vst::effSetBlockSize, 0, static_cast<vst::VstIntPtr>(self->maxBlock_));

    const std::size_t frames = self->maxBlock_;
    self->scratch_.reset(new (std::nothrow) float[frames * static_cast<std::size_t>(variant.channels)]);
    if (!self->scratch_) return nullptr;
    for (int c = 0; c < variant.channels; ++c) self->scratchIn_[c] = self->scratch_.get() + frames * c;
    // The ports start out at the values the bundle declares; only a change moves the instance.
    for (int i = 0; i < kNumParams; ++i) self->applied_[i] = bitsOf(describeControlPort(i).defaultValue);
    for (int e = 0; e < kMaxEvents; ++e) self->events_.events[e] = reinterpret_cast<vst::VstEvent*>(&self->midi_[e]);
    return self.release();
}

Lv2Instance::~Lv2Instance() {
    if (!effect_) return;
    std::atomic_ref(effect_->user).store(nullptr);
    while (gLinkedCalls.load() != 0) std::this_thread::yield();
    dispatch(vst::effMainsChanged, 0, 0);
    dispatch(vst::effClose);  // the instance deletes itself
}

vst::VstIntPtr Lv2Instance::dispatch(int opcode, int index, vst::VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void Lv2Instance::connectPort(std::uint32_t port, void* data) {
    if (port < static_cast<std::uint32_t>(kNumParams)) {
        controls_[port] = static_cast<const float*>(data);
    } else if (port == kLatencyPort) {
        latency_ = static_cast<float*>(data);
    } else if (port == kMidiPort) {
        midiIn_ = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == static_cast<std::uint32_t>(freewheelPort(channels_))) {
        freewheel_ = static_cast<const float*>(data);
    } else if (port == static_cast<std::uint32_t>(enabledPort(channels_))) {
        enabled_ = static_cast<const float*>(data);
    } else if (port >= static_cast<std::uint32_t>(kFirstAudioPort)) {
        const std::uint32_t audio = port - kFirstAudioPort;
        if (audio < static_cast<std::uint32_t>(channels_))
            audioIn_[audio] = static_cast<const float*>(data);
        else if (audio < 2u * channels_)
            audioOut_[audio - channels_] = static_cast<float*>(data);
    }
}

void Lv2Instance::activate() {
    // Values set before activation are designed here, off the audio thread, and
    // the resume starts the processing with them in place.
    readProcessLevel();
    applyChangedPorts();
    applyEnabled();
    dispatch(vst::effMainsChanged, 0, 1);
}

void Lv2Instance::deactivate() { dispatch(vst::effMainsChanged, 0, 0); }

bool Lv2Instance::attachUi() {
    if (uiAttached_.load(std::memory_order_acquire)) return false;
    gestures_.drain([](const Gesture&) {});  // left from an earlier UI
    gestures_.takeDropped();
    uiAttached_.store(true, std::memory_order_release);
    return true;
}

void Lv2Instance::detachUi() {
    uiAttached_.store(false, std::memory_order_release);
    for (auto& held : held_) held.store(false, std::memory_order_relaxed);
}

void Lv2Instance::hostGesture(vst::VstInt32 opcode, vst::VstInt32 index) {
    if (!isParam(index) || !uiAttached_.load(std::memory_order_acquire)) return;  // no UI: the ports are the host's
    const Gesture::Kind kind = opcode == vst::audioMasterBeginEdit ? Gesture::kBegin
                               : opcode == vst::audioMasterEndEdit ? Gesture::kEnd
                                                                   : Gesture::kValue;
    if (kind != Gesture::kValue) held_[index].store(kind == Gesture::kBegin, std::memory_order_relaxed);
    gestures_.post({kind, index});
}

PortContext Lv2Instance::portContextNow() const {
    return portContextFrom(effect_->getParameter(effect_, kScale), effect_->getParameter(effect_, kFShift));
}

float Lv2Instance::portValueNow(int index) const {
    return normalisedToPort(index, effect_->getParameter(effect_, index), portContextNow());
}

bool Lv2Instance::portShowsInstance(int index, float value) const {
    const float current = effect_->getParameter(effect_, index);
    const float set = portToNormalised(index, value, portContextNow());
    return bitsOf(set) == bitsOf(current);
}

void Lv2Instance::applyChangedPorts() {
    // Only what the host wrote after the restore differs from the ports it saw.
    if (resyncPorts_.exchange(false, std::memory_order_acquire))
        std::copy(std::begin(restoredPorts_), std::end(restoredPorts_), std::begin(applied_));
    PortContext context;
    bool contextKnown = false;
    for (int i = 0; i < kNumParams; ++i) {
        if (!controls_[i]) continue;
        const float value = *controls_[i];
        if (bitsOf(value) == applied_[i]) continue;
        applied_[i] = bitsOf(value);
        // Band values in real units depend on the Scale and Shift in force, which
        // the globals before them may just have changed.
        if (!contextKnown && i >= kFirstBandParam) {
            context = portContextNow();
            contextKnown = true;
        }
        // A port that shows what the instance holds already (the UI wrote the
        // editor's edit back) is not applied again: the float round trip through
        // real units could move the edited value.
        const float current = effect_->getParameter(effect_, i);
        if (bitsOf(normalisedToPort(i, current, context)) == bitsOf(value)) continue;
        // While the editor holds the parameter, a changed port is the UI writing
        // back one of its own earlier edits; its last write matches the instance.
        if (held_[i].load(std::memory_order_relaxed)) continue;
        effect_->setParameter(effect_, i, portToNormalised(i, value, context));
    }
}

void Lv2Instance::applyEnabled() {
    if (!enabled_) return;
    const float value = *enabled_ < 0.5f ? 0.0f : 1.0f;
    if (value == enabledApplied_) return;
    enabledApplied_ = value;
    // The instance's own bypass fades in and out; the Bypass port follows it.
    effect_->setParameter(effect_, kBypass, value == 0.0f ? 1.0f : 0.0f);
}

void Lv2Instance::sendMidi(std::uint32_t start, std::uint32_t frames) {
    if (!midiIn_ || !midiEvent_) return;
    int count = 0;
    LV2_ATOM_SEQUENCE_FOREACH(midiIn_, ev) {
        if (ev->body.type != midiEvent_ || ev->body.size == 0 || ev->body.size > 3) continue;
        const auto at = static_cast<std::uint32_t>(std::max<std::int64_t>(ev->time.frames, 0));
        if (at < start || at >= start + frames || count == kMaxEvents) continue;
        vst::VstMidiEvent& m = midi_[count++];
        m = vst::VstMidiEvent{};
        m.type = vst::kVstMidiType;
        m.byteSize = sizeof(vst::VstMidiEvent);
        m.deltaFrames = static_cast<vst::VstInt32>(at - start);
        std::memcpy(m.midiData, LV2_ATOM_BODY_CONST(&ev->body), ev->body.size);
    }
    if (count == 0) return;
    events_.numEvents = count;
    dispatch(vst::effProcessEvents, 0, 0, &events_);
}

void Lv2Instance::processChunk(std::uint32_t start, std::uint32_t frames) {
    sendMidi(start, frames);
    for (int c = 0; c < channels_; ++c) {
        if (audioIn_[c])
            std::memcpy(scratchIn_[c], audioIn_[c] + start, frames * sizeof(float));
        else
            std::memset(scratchIn_[c], 0, frames * sizeof(float));
        chunkOut_[c] = audioOut_[c] ? audioOut_[c] + start : nullptr;
    }
    for (int c = 0; c < channels_; ++c)
        if (!chunkOut_[c]) return;  // a host must connect every output
    effect_->processReplacing(effect_, scratchIn_, chunkOut_, static_cast<vst::VstInt32>(frames));
}

void Lv2Instance::readProcessLevel() {
    offline_.store(bareHost_ || (freewheel_ && *freewheel_ > 0.5f), std::memory_order_relaxed);
}

void Lv2Instance::run(std::uint32_t frames) {
    readProcessLevel();  // before the processing calls, which ask for it at their start
    applyChangedPorts();
    applyEnabled();
    for (std::uint32_t done = 0; done < frames;) {
        const std::uint32_t n = std::min(maxBlock_, frames - done);
        processChunk(done, n);
        done += n;
    }
    if (latency_) latency_[0] = static_cast<float>(std::atomic_ref(effect_->initialDelay).load(std::memory_order_acquire));
}

LV2_State_Status Lv2Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!map_ || !store) return LV2_STATE_ERR_NO_FEATURE;
    void* data = nullptr;
    const vst::VstIntPtr size = dispatch(vst::effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) return LV2_STATE_ERR_UNKNOWN;
    return store(handle, bankKey_, data, static_cast<std::size_t>(size), chunkType_,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Instance::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (!map_ || !retrieve) return LV2_STATE_ERR_NO_FEATURE;
    std::size_t size = 0;
    std::uint32_t type = 0, flags = 0;
    const void* data = retrieve(handle, bankKey_, &size, &type, &flags);
    // A state of port values alone (a preset) has no bank to restore: nothing refused.
    if (!data) return LV2_STATE_ERR_NO_PROPERTY;
    if (size == 0) {
        logWarning("Harmoniform: the state's bank is empty; the instance keeps its settings\n");
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    if (type != chunkType_) {
        logWarning("Harmoniform: the state's bank is not a chunk of bytes; the instance keeps its settings\n");
        return LV2_STATE_ERR_BAD_TYPE;
    }
    if (!dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(size), const_cast<void*>(data))) {
        logWarning("Harmoniform: the state's bank is damaged or holds no Harmoniform settings; "
                   "the instance keeps its settings\n");
        return LV2_STATE_ERR_UNKNOWN;
    }
    // Restores never overlap run() (the instantiation class), so the ports hold
    // still here. One not connected yet compares with what was applied last.
    for (int i = 0; i < kNumParams; ++i) restoredPorts_[i] = controls_[i] ? bitsOf(*controls_[i]) : applied_[i];
    resyncPorts_.store(true, std::memory_order_release);
    return LV2_STATE_SUCCESS;
}

void Lv2Instance::logWarning(const char* message) {
    if (log_ && log_->printf) log_->printf(log_->handle, warning_, "%s", message);
}

}  // namespace hm::lv2
