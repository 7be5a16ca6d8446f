#include "core/PlugBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/params/Conversion.h"

namespace hm {
namespace {

std::atomic<bool> gWheelHook{true};

// Host text buffers: names are whole (up to 31 characters), always terminated.
constexpr std::size_t kTextSize = 32;

void copyText(char* dst, std::size_t size, const char* src) {
    if (!dst || size == 0) return;
    std::snprintf(dst, size, "%s", src ? src : "");
}

}  // namespace

bool PlugBase::wheelHookEnabled() { return gWheelHook.load(std::memory_order_relaxed); }

PlugBase::PlugBase(vst::HostCallback host) : AudioEffectX(host, kNumPrograms, kNumParams) {
    canProcessReplacing(true);
    canDoubleReplacing(true);
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(vst::fourCC('H', 'r', 'm', 'f'));

    table_ = staticParamTable();
    for (int i = 0; i < kNumParams; ++i) {
        normalised_.set(i, table_[i].normalised);
        real_[i].store(table_[i].value, std::memory_order_relaxed);
    }
    for (Program& p : programs_) {
        copyText(p.name, sizeof(p.name), "-");
        p.values.copyFrom(normalised_);
        for (int& b : p.bandOrder) b = -1;
    }
    for (ParamValues& slot : abSlots_) slot.copyFrom(normalised_);
    undo_.reserve(1024);
    redo_.reserve(1024);
    reports_ = std::make_shared<HostReports>(host, effectRecord());
    threads_.rememberUiThread();

    // Hosts that forward the mouse wheel themselves must not also get it from our hook.
    getHostVendorString(hostVendor_);
    hostVendor_[sizeof(hostVendor_) - 1] = 0;
    if (std::strcmp(hostVendor_, "Steinberg") == 0) gWheelHook.store(false, std::memory_order_relaxed);
}

PlugBase::~PlugBase() { reports_->close(); }

// ---------------------------------------------------------------------------
// Parameters

void PlugBase::setParameter(vst::VstInt32 index, float value) {
    const bool loading = isLoadInProgress();
    if (index == abParamIndex_ && !loading) {
        // Choosing another slot through the A/B parameter loads that slot instead.
        const int slot = static_cast<int>(normalisedToRealBase(table_[index].kind, table_[index].minimum,
                                                               table_[index].maximum, value));
        if (slot != getCurrentABSlot()) {
            selectABSlot(slot);
            return;
        }
    }
    if (isParam(index)) {
        // A non-finite value from a host would poison every later conversion: ignore it.
        if (!std::isfinite(value)) return;
        normalised_.set(index, value);
        programs_[getProgram()].values.set(index, value);
        abSlots_[getCurrentABSlot()].set(index, value);
        const ParamRecord& r = table_[index];
        real_[index].store(static_cast<float>(normalisedToRealBase(r.kind, r.minimum, r.maximum, value)),
                           std::memory_order_relaxed);
        updateProcessing(false);
    }
    if (!(index == abParamIndex_ && loading)) forwardToEditor(index, value);
}

float PlugBase::getParameter(vst::VstInt32 index) { return normalised_.get(index); }

void PlugBase::setParameterAutomated(vst::VstInt32 index, float value) {
    if (!isParam(index)) {
        setParameter(index, value);
        return;
    }
    if (!editFlags_[index]) beginEdit(index);
    setParameter(index, value);
    reportEdit(vst::audioMasterAutomate, index, value);
}

float PlugBase::getParameterDefault(int index) {
    return isParam(index) ? staticParamTable()[index].normalised : 0.0f;
}

double PlugBase::realToNormalised(int index, double real) {
    if (!isParam(index)) return 0.0;
    const ParamRecord& r = table_[index];
    return realToNormalisedBase(r.kind, r.minimum, r.maximum, real);
}

double PlugBase::normalisedToReal(int index, double normalised) {
    if (!isParam(index)) return 0.0;
    const ParamRecord& r = table_[index];
    return normalisedToRealBase(r.kind, r.minimum, r.maximum, normalised);
}

double PlugBase::getParameterReal(int index) {
    return isParam(index) ? real_[index].load(std::memory_order_relaxed) : 0.0;
}

void PlugBase::formatParameter(int index, char* text, int flags) {
    formatParameterValue(index, normalised_.get(index), text, flags);
}

void PlugBase::formatParameterValue(int index, float normalised, char* text, int flags) {
    if (!isParam(index) || !text) return;
    formatParameterText(index, table_[index], normalisedToReal(index, normalised), flags, NumberFormat::Precise,
                        false, text, kTextSize);
}

int PlugBase::getParameterStepCount(int index) {
    if (!isParam(index)) return 0;
    const ParamRecord& r = table_[index];
    const int span = static_cast<int>(r.maximum - r.minimum);
    switch (r.kind) {
        case kKindSwitch: return 1;
        case kKindSteps6: return span / 6 + 1;
        case kKindSteps12: return span / 12 + 1;
        case kKindInteger: return span + 1;
        default: return 0;
    }
}

int PlugBase::getParameterStepSize(int index) {
    if (!isParam(index)) return 1;
    switch (table_[index].kind) {
        case kKindSteps12: return 12;
        case kKindSteps6: return 6;
        default: return 1;
    }
}

bool PlugBase::isParameterSwitch(int index) { return isParam(index) && table_[index].kind == kKindSwitch; }

void PlugBase::getParameterName(vst::VstInt32 index, char* text) {
    if (isParam(index)) copyText(text, kTextSize, table_[index].name);
}

// Hosts show the display text followed by the label: the table's labels select
// the editor's formats and list choices, so the host gets a unit or nothing.
void PlugBase::getParameterLabel(vst::VstInt32 index, char* text) {
    if (isParam(index)) copyText(text, kTextSize, hostParameterLabel(index));
}

HostTextContext PlugBase::hostTextContext(int index) {
    HostTextContext context;
    if (bandFieldOf(index) == kBandSubtype)
        context.bandType = static_cast<int>(normalisedToReal(index - kBandSubtype + kBandType,
                                                             normalised_.get(index - kBandSubtype + kBandType)));
    context.firstPairMidSide = (static_cast<int>(normalisedToReal(kMsState, normalised_.get(kMsState))) & 8) != 0;
    return context;
}

void PlugBase::getParameterDisplay(vst::VstInt32 index, char* text) {
    if (!isParam(index) || !text) return;
    formatHostDisplay(index, normalisedToReal(index, normalised_.get(index)), hostTextContext(index), text,
                      kTextSize);
}

bool PlugBase::string2parameter(vst::VstInt32 index, char* text) {
    // A null text asks whether the parameter takes texts at all.
    if (!isParam(index)) return false;
    if (!text) return true;
    double real = 0.0;
    if (!parseHostDisplay(index, text, hostTextContext(index), real)) return false;
    setParameter(index, static_cast<float>(realToNormalised(index, real)));
    return true;
}

void PlugBase::forwardToEditor(int index, float value) {
    editorLink_.use([&](vst::AEffEditor& editor) { editor.setParameter(index, value); });
}

// ---------------------------------------------------------------------------
// Host calls (core/HostCalls.h)

bool PlugBase::reportEdit(vst::VstInt32 opcode, int index, float value) {
    if (hostCallsQueued()) {
        // Delivered later as a whole begin/automate/end with the value of that moment.
        reports_->queueGesture(index);
        return true;
    }
    return callHost(opcode, index, 0, nullptr, value) != 0;
}

void PlugBase::reportChange(int index, float value) {
    if (hostCallsQueued()) {
        reports_->queueGesture(index);
        return;
    }
    callHost(vst::audioMasterBeginEdit, index);
    callHost(vst::audioMasterAutomate, index, 0, nullptr, value);
    callHost(vst::audioMasterEndEdit, index);
}

void PlugBase::reportLatencyChange() {
    if (hostCallsQueued()) reports_->queueIOChanged();
    else ioChanged();
}

void PlugBase::reportRestoredState() {
    if (!hostKnows_.load(std::memory_order_acquire)) return;
    if (hostCallsQueued()) reports_->queueDisplayUpdate();
    else updateDisplay();
}

void PlugBase::deliverHostReports() {
    const auto valueNow = [this](int index) { return normalised_.get(index); };
    if (TickScope::active() && !threads_.audioThread()) {
        reports_->collect(valueNow);
        return;
    }
    if (!threads_.mayCallHost()) return;
    bool io = false, display = false;
    reports_->take([&](int index) { reportChange(index, valueNow(index)); }, io, display);
    if (io) ioChanged();
    if (display) updateDisplay();
}

// ---------------------------------------------------------------------------
// Programs, A/B slots, undo

void PlugBase::setProgramName(char* name) { setProgramNameAt(name, getProgram()); }

void PlugBase::getProgramName(char* name) { copyText(name, vst::kVstMaxProgNameLen, programs_[getProgram()].name); }

void PlugBase::setProgramNameAt(const char* name, int index) {
    if (index < 0 || index >= kNumPrograms || !name) return;
    copyText(programs_[index].name, sizeof(programs_[index].name), name);
}

bool PlugBase::getProgramNameIndexed(vst::VstInt32 /*category*/, vst::VstInt32 index, char* text) {
    if (index < 0 || index >= kNumPrograms || !text) return false;
    copyText(text, vst::kVstMaxProgNameLen, programs_[index].name);
    return true;
}

void PlugBase::loadValues(const ParamValues& values, bool tellHost, bool skipEditorForAB) {
    for (int i = 0; i < kNumParams; ++i) {
        const float v = values.get(i);
        const bool changed = normalised_.get(i) != v;
        setParameter(i, v);
        // Only what changed is news to the host's lanes; the A/B parameter of a
        // slot switch is the switch itself and is not reported from the slot.
        if (tellHost && changed && !(skipEditorForAB && i == abParamIndex_)) reportChange(i, v);
    }
    updateProcessing(true);
    editorLink_.use([&](vst::AEffEditor& editor) {
        for (int i = 0; i < kNumParams; ++i)
            if (!(skipEditorForAB && i == abParamIndex_)) editor.setParameter(i, normalised_.get(i));
    });
}

void PlugBase::selectABSlot(int slot) {
    if (slot < 0 || slot >= kNumABSlots) return;
    // A slot switch is a restore: the host hears of it once, as a new display,
    // as for a program change ("All" adds the parameters the slot changed).
    const bool partOfRestore = restoring_.load() != 0;
    RestoreScope restore(*this);
    LoadScope load(*this);
    currentAB_.store(slot, std::memory_order_relaxed);
    // Copy first: loading writes through into the slot being read. A slot chosen
    // while a state is restored is part of that restore, not a gesture.
    ParamValues source;
    source.copyFrom(abSlots_[slot]);
    loadValues(source, abAutomationAll_.load(std::memory_order_relaxed) && !partOfRestore, true);
    // The slot's stored A/B value is whatever was live when it was last current;
    // the live A/B parameter must name the slot now in use.
    if (isParam(abParamIndex_)) setParameter(abParamIndex_, static_cast<float>(slot) / kNumABSlots);
}

void PlugBase::storeABSlot(int slot) {
    if (slot < 0 || slot >= kNumABSlots) return;
    abSlots_[slot].copyFrom(normalised_);
}

void PlugBase::pushUndo(int index, float value) {
    const bool joined = undoStepDepth_ > 0 && undo_.size() > undoStepBase_;
    undo_.push_back({index, value, joined});
    redo_.clear();
}

void PlugBase::dropUnchangedUndo(int index, float current) {
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) {
        if (it->index != index) continue;
        if (it->value != current) return;
        const bool head = !it->joined;
        const auto next = undo_.erase(std::next(it).base());
        if (static_cast<std::size_t>(next - undo_.begin()) < undoStepBase_) --undoStepBase_;
        // A step whose first entry goes starts at the entry after it.
        if (head && next != undo_.end()) next->joined = false;
        return;
    }
}

void PlugBase::beginUndoStep() {
    if (undoStepDepth_++ == 0) undoStepBase_ = undo_.size();
}

void PlugBase::endUndoStep() {
    if (undoStepDepth_ > 0) --undoStepDepth_;
}

// Undo and redo move one step between the lists: each entry's value is applied
// (as a host-visible change) and the value it replaces goes onto the other
// list, in reverse order, so that the step comes back whole.
bool PlugBase::moveHistoryEntry(std::vector<UndoEntry>& from, std::vector<UndoEntry>& to) {
    if (from.empty()) return false;
    bool first = true;
    for (bool more = true; more && !from.empty();) {
        const UndoEntry e = from.back();
        from.pop_back();
        more = e.joined;
        to.push_back({e.index, normalised_.get(e.index), !first});
        first = false;
        setParameter(e.index, e.value);
        reportChange(e.index, e.value);
    }
    updateProcessing(true);
    return true;
}

bool PlugBase::undo() { return moveHistoryEntry(undo_, redo_); }
bool PlugBase::redo() { return moveHistoryEntry(redo_, undo_); }

void PlugBase::clearUndo() {
    undo_.clear();
    redo_.clear();
    undoStepBase_ = 0;
}

// ---------------------------------------------------------------------------
// Host set-up

void PlugBase::setSampleRate(float sampleRate) {
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate)) return;  // keep the last good rate
    AudioEffectX::setSampleRate(sampleRate);
    updateProcessing(false);
}

bool PlugBase::getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* p) {
    const int outputs = cEffect_.numOutputs;
    if (!p || index < 0 || index >= outputs) return false;
    std::snprintf(p->label, sizeof(p->label), "Output %d", index + 1);
    p->flags = vst::kVstPinIsActive | vst::kVstPinUseSpeaker | (outputs == 2 ? vst::kVstPinIsStereo : 0);
    p->arrangementType = outputs == 1 ? vst::kSpeakerArrMono : vst::kSpeakerArrStereo;
    return true;
}

bool PlugBase::setSpeakerArrangement(vst::VstSpeakerArrangement* in, vst::VstSpeakerArrangement* out) {
    if (!in || !out || in->numChannels != out->numChannels) return false;
    if (out->numChannels < 1 || out->numChannels > kMaxChannels) return false;
    setNumInputs(out->numChannels);
    setNumOutputs(out->numChannels);
    return true;
}

bool PlugBase::getInputProperties(vst::VstInt32 index, vst::VstPinProperties* p) {
    const int inputs = cEffect_.numInputs;
    if (!p || index < 0 || index >= inputs) return false;
    std::snprintf(p->label, sizeof(p->label), "Input %d", index + 1);
    p->flags = vst::kVstPinIsActive | vst::kVstPinUseSpeaker | (cEffect_.numOutputs == 2 ? vst::kVstPinIsStereo : 0);
    switch (inputs) {
        case 1: p->arrangementType = vst::kSpeakerArrMono; break;
        case 2: p->arrangementType = vst::kSpeakerArrStereo; break;
        case 3: p->arrangementType = vst::kSpeakerArr30Music; break;
        default: p->arrangementType = vst::kSpeakerArr40Music; break;
    }
    // One host mis-handles input pins that claim a speaker arrangement.
    char vendor[256] = {};
    getHostVendorString(vendor);
    vendor[sizeof(vendor) - 1] = 0;
    if (std::strcmp(vendor, "Ableton") == 0) p->flags &= ~vst::kVstPinUseSpeaker;
    return true;
}

vst::VstIntPtr PlugBase::vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) {
    // Hosts that own the mouse wheel forward it as ('stCA' or 'stCa', 'Whee', distance).
    const bool wheelCode = index == vst::fourCC('s', 't', 'C', 'A') || index == vst::fourCC('s', 't', 'C', 'a');
    if (editor_ && wheelCode && value == vst::fourCC('W', 'h', 'e', 'e')) return editor_->onWheel(opt) ? 1 : 0;
    if (editor_ && !wheelCode) return editor_->vendorSpecific(index, value, ptr, opt);
    return 0;
}

// ---------------------------------------------------------------------------
// Processing entry: every form counts samples for the update throttle and marks
// the thread as this instance's audio thread while it runs.

void PlugBase::processReplacing(float** inputs, float** outputs, vst::VstInt32 frames) {
    if (frames <= 0 || !outputs) return;
    ThreadRoles::Processing audio(threads_);
    processFloat(inputs, outputs, frames);
    countProcessed(frames);
}

void PlugBase::processDoubleReplacing(double** inputs, double** outputs, vst::VstInt32 frames) {
    if (frames <= 0 || !outputs) return;
    ThreadRoles::Processing audio(threads_);
    processDouble(inputs, outputs, frames);
    countProcessed(frames);
}

// The old accumulating call adds the processed block to what the outputs hold.
void PlugBase::process(float** inputs, float** outputs, vst::VstInt32 frames) {
    if (frames <= 0 || !outputs) return;
    ThreadRoles::Processing audio(threads_);
    const int channels = std::clamp<int>(cEffect_.numOutputs, 0, kAccumulateChannels);
    float* in[kAccumulateChannels] = {};
    float* out[kAccumulateChannels] = {};
    for (int done = 0; done < frames; done += kAccumulateFrames) {
        const int n = std::min<int>(kAccumulateFrames, frames - done);
        for (int c = 0; c < channels; ++c) {
            in[c] = inputs && inputs[c] ? inputs[c] + done : nullptr;
            out[c] = accumulate_.get() + static_cast<std::size_t>(c) * kAccumulateFrames;
        }
        processFloat(inputs ? in : nullptr, out, n);
        for (int c = 0; c < channels; ++c) {
            if (!outputs[c]) continue;
            float* dst = outputs[c] + done;
            for (int i = 0; i < n; ++i) dst[i] += out[c][i];
        }
    }
    countProcessed(frames);
}

void PlugBase::countProcessed(int frames) {
    if (!processed_.load(std::memory_order_relaxed)) processed_.store(true, std::memory_order_relaxed);
    processedSamples_.fetch_add(static_cast<std::uint64_t>(frames), std::memory_order_relaxed);
}

}  // namespace hm
