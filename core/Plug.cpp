#include "core/Plug.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/EditorFactory.h"
#include "core/InstanceRegistry.h"
#include "core/params/Conversion.h"
#include "prefs/GlobalPreferences.h"

namespace hm {
namespace {

constexpr std::size_t kTextSize = 32;

}  // namespace

Plug::Plug(vst::HostCallback host) : Plug(host, 2) {}

Plug::Plug(vst::HostCallback host, int channels) : PlugBaseJSON(host) {
    const int n = channels < 1 ? 1 : (channels > kMaxChannels ? kMaxChannels : channels);
    setNumInputs(n);
    setNumOutputs(n);
    programsAreChunks(true);
    for (Program& p : programs_) p.bandOrder[0] = -1;
    for (int g = 0; g < kMaxChannels; ++g) channelGroups_[g] = static_cast<unsigned char>(1u << g);
    setABParameterIndex(kABBank);

    // Join the registry and tell everybody the instance list changed.
    // The name is written while the list is held: other editors read names under it.
    registerInstance(this, [this](int count) { std::snprintf(instanceName_, sizeof(instanceName_), "EQ: %d", count); });
    forEachInstance([](Plug& p) { p.setParameter(kGUIInstancesChanged, 0.0f); });

    // The editor exists from here on (this sets the has-editor flag); its window opens later.
    setEditor(createPlugEditor(this));

    // The editor preference tree starts from the library's defaults; the default
    // bank's `uiprefs` and later a host project's are merged into it.
    editorTree_ = prefs::EditorPreferences::fromResources();
    prefs::loadGlobalSchemaFromResources();
    loadPreferences();
    loadEditorPreferences();
    loadDefaultBank();
    resume();
    hostKnowsInstance();
    platform::addTimerClient(&timerHook_, reports_);
}

void Plug::leaveSharedTimer() { platform::removeTimerClient(&timerHook_); }

Plug::~Plug() {
    // After this no tick can reach the instance, and no queued host call starts.
    platform::removeTimerClient(&timerHook_);
    reports_->close();
    // The editor (and its window) goes while the instance it shows is still whole.
    setEditor(nullptr);
    unregisterInstance(this);
    forEachInstance([](Plug& p) { p.setParameter(kGUIInstancesChanged, 0.0f); });
}

std::string Plug::instanceName() const {
    const auto listed = lockInstanceRegistry();
    return instanceName_;
}

bool Plug::instanceNameSet() const {
    const auto listed = lockInstanceRegistry();
    return instanceNameSet_;
}

void Plug::setInstanceName(const char* name) {
    if (!name) return;
    {
        const auto listed = lockInstanceRegistry();  // readers take names under the list's lock
        std::snprintf(instanceName_, sizeof(instanceName_), "%s", name);
        instanceNameSet_ = true;
    }
    forEachInstance([](Plug& p) { p.setParameter(kGUIInstancesChanged, 0.0f); });
}

// ---------------------------------------------------------------------------
// Preferences

void Plug::loadPreferences() {
    // The timer's updates read these values under the update lock.
    std::lock_guard lock(updateMutex_);
    readGlobalPreferences();
}

void Plug::readGlobalPreferences() {
    // Unexpected answers (no store, unknown names) fall back to the first or default case.
    const auto global = [](const char* name, int fallback) {
        const int v = prefs::getGlobalPreference(name);
        return v < 0 ? fallback : v;
    };
    static const int kRates[3] = {10, 20, 40};
    const int rate = global("FFT Update throttle", 1);
    prefs_.fftUpdateRate = kRates[rate >= 0 && rate < 3 ? rate : 1];
    prefs_.clipThreshold = global("Clip threshold", 0) == 1 ? 0.9885530946569389f : 1.0f;
    prefs_.autoListenGain = global("AutoListen Gain", 0);
    prefs_.autoListenQ = global("AutoListen Q", 0);
    prefs_.autoListenIgnoresQ = global("AutoListen Ignores Q", 0) == 1;
    prefs_.autoListenDisabled = global("AutoListen Disabled", 0) == 1;
    prefs_.midiDisabled = global("MIDI Disabled", 0) == 1;
    prefs_.soloMode = global("Solo Mode", 0) == 1 ? 1 : 0;
    prefs_.abAutomationAll = global("A/B Automation", 1) != 0;
    prefs_.abToggle = global("A/B Toggle", 1);
    abAutomationAll_ = prefs_.abAutomationAll;
}

void Plug::loadEditorPreferences() {
    const auto ui = [this](const char* page, const char* name) { return editorTree_.getUIPreference(page, name); };
    editorPrefs_.numberFormat = ui("Misc", "Number format") == 1 ? NumberFormat::Simple : NumberFormat::Precise;
    editorPrefs_.showTrueQ = ui("Misc", "Show True Q") == 1;
    {
        // Meters follow a ballistics change at once, not only at the next resume.
        std::lock_guard lock(updateMutex_);
        editorPrefs_.ballistics = ui("Meters", "Ballistic Type");
        applyBallistics();
    }
    editorPrefs_.bendRangeItem = ui("Misc", "MIDI Bend Range");
    numberFormat_ = editorPrefs_.numberFormat;
    const int b = editorPrefs_.bendRangeItem;
    // Items "1".."12" are semitones; the last item, "24", is two octaves.
    bendRangeOctaves_.store(b == 12 ? 2.0 : (b >= 0 && b < 12 ? (b + 1) / 12.0 : 1.0), std::memory_order_relaxed);
    updateProcessing(true);
}

// ---------------------------------------------------------------------------
// Host requests

bool Plug::getVendorString(char* text) {
    if (!text) return false;
    std::snprintf(text, vst::kVstMaxVendorStrLen, "Corvanta");
    return true;
}

bool Plug::getProductString(char* text) {
    if (!text) return false;
    std::snprintf(text, vst::kVstMaxProductStrLen, "Harmoniform");
    return true;
}

vst::VstInt32 Plug::canDo(char* text) {
    if (!text) return 0;
    if (std::strcmp(text, "bypass") == 0 || std::strcmp(text, "receiveVstEvents") == 0 ||
        std::strcmp(text, "receiveVstMidiEvent") == 0)
        return 1;
    return 0;
}

bool Plug::setBypass(bool onOff) {
    setParameter(kBypass, onOff ? 1.0f : 0.0f);
    return true;
}

void Plug::setProgram(vst::VstInt32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    // A program change is no gesture: the host hears of it once, as a new display.
    RestoreScope restore(*this);
    {
        LoadScope load(*this);
        curProgram_ = program;
        ParamValues source;
        source.copyFrom(programs_[program].values);
        loadValues(source, false, false);
    }
    forwardToEditor(kGUIPresetMenu, static_cast<float>(program));
    updateProcessing(true);
}

void Plug::selectABSlot(int slot) {
    if (slot < 0 || slot >= kNumABSlots) return;
    PlugBase::selectABSlot(slot);
    updateProcessing(true);
}


// ---------------------------------------------------------------------------
// Parameters

void Plug::setParameter(vst::VstInt32 index, float value) {
    PlugBase::setParameter(index, value);
    if (!editorLink_.published() || !std::isfinite(value)) return;
    // Displayed band gains depend on the scale, displayed frequencies on the shift.
    if (index == kScale)
        for (int b = 0; b < kNumBands; ++b) forwardToEditor(bandParam(b, kBandGain), normalised_.get(bandParam(b, kBandGain)));
    if (index == kFShift)
        for (int b = 0; b < kNumBands; ++b)
            forwardToEditor(bandParam(b, kBandFrequency), normalised_.get(bandParam(b, kBandFrequency)));
}

void Plug::setParameterAutomated(vst::VstInt32 index, float value) { PlugBase::setParameterAutomated(index, value); }

double Plug::normalisedToReal(int index, double normalised) {
    const double base = PlugBase::normalisedToReal(index, normalised);
    switch (hm::bandFieldOf(index)) {
        case kBandGain: return base * getParameterReal(kScale);
        case kBandFrequency: return base * getParameterReal(kFShift) * 0.01 * frequencyMultiplier();
        default: return base;
    }
}

double Plug::realToNormalised(int index, double real) {
    switch (hm::bandFieldOf(index)) {
        case kBandGain: {
            const double scale = getParameterReal(kScale);
            return scale == 0.0 ? 0.0 : PlugBase::realToNormalised(index, real / scale);
        }
        case kBandFrequency: {
            const double shift = getParameterReal(kFShift) * 0.01 * frequencyMultiplier();
            return shift == 0.0 ? 0.0 : PlugBase::realToNormalised(index, real / shift);
        }
        default: return PlugBase::realToNormalised(index, real);
    }
}

HostTextContext Plug::hostTextContext(int index) {
    HostTextContext context = PlugBase::hostTextContext(index);
    context.channels = channelCount();
    return context;
}

void Plug::formatParameterValue(int index, float normalised, char* text, int flags) {
    if (!isParam(index) || !text) return;
    formatParameterText(index, table_[index], normalisedToReal(index, normalised), flags, numberFormat_, true, text,
                        kTextSize);
}

bool Plug::isParameterSwitch(int index) { return PlugBase::isParameterSwitch(index); }

// ---------------------------------------------------------------------------
// Edit gestures and AutoListen

bool Plug::armAutoListen(bool on) {
    const bool armed = on && !prefs_.autoListenDisabled;
    autoListenArmed_.store(armed, std::memory_order_relaxed);
    return armed;
}

bool Plug::isAuditionParam(int index) const {
    const int field = hm::bandFieldOf(index);
    return field == kBandFrequency || (field == kBandQ && !prefs_.autoListenIgnoresQ);
}

bool Plug::beginEdit(vst::VstInt32 index) {
    if (autoListenArmed_.load(std::memory_order_relaxed) && !isAuditioning() && isAuditionParam(index)) {
        auditionedBand_.store(hm::bandOf(index), std::memory_order_relaxed);
        updateProcessing(false);
    }
    if (!isParam(index) || editFlags_[index]) return false;
    editFlags_[index] = 1;
    pushUndo(index, normalised_.get(index));
    return reportEdit(vst::audioMasterBeginEdit, index);
}

bool Plug::endEdit(vst::VstInt32 index) {
    if (isAuditionParam(index) && hm::bandOf(index) == auditionedBand()) {
        auditionedBand_.store(-1, std::memory_order_relaxed);
        forwardToEditor(index, normalised_.get(index));
    }
    if (!isParam(index) || !editFlags_[index]) return false;
    editFlags_[index] = 0;
    dropUnchangedUndo(index, normalised_.get(index));
    updateProcessing(true);
    return reportEdit(vst::audioMasterEndEdit, index);
}

}  // namespace hm
