#include "core/PlugBaseJSON.h"

#include <algorithm>

#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"

namespace hm {

using prefs::member;

// ---------------------------------------------------------------------------
// Chunks

std::vector<unsigned char> PlugBaseJSON::stateChunk(bool isPreset) { return state::encodeChunk(writeState(isPreset)); }

vst::VstInt32 PlugBaseJSON::getChunk(void** data, bool isPreset) {
    if (!data) return 0;
    chunk_ = stateChunk(isPreset);
    *data = chunk_.empty() ? nullptr : chunk_.data();
    return static_cast<vst::VstInt32>(chunk_.size());
}

vst::VstInt32 PlugBaseJSON::setChunk(void* data, vst::VstInt32 byteSize, bool isPreset) {
    if (!data || byteSize <= 0) return 0;
    // A chunk that applies nothing says so: a wrapper must not report a restore that did not happen.
    const auto text = state::decodeChunk(data, static_cast<std::size_t>(byteSize));
    return text && readState(*text, isPreset) ? byteSize : 0;
}

std::string PlugBaseJSON::writeState(bool isPreset) {
    prefs::JsonPtr document(cJSON_CreateObject());
    writeDocument(document.get(), isPreset);
    return prefs::printJson(document.get(), true);
}

bool PlugBaseJSON::readState(const std::string& text, bool isPreset) {
    prefs::JsonPtr document = prefs::parseJson(text);
    if (!cJSON_IsObject(document.get())) return false;
    // Without any member of ours, reading would set what absent members mean
    // (every A/B slot the live values, undo cleared): such a state is refused whole.
    if (!carriesState(document.get(), isPreset)) return false;
    // Restored values are no gestures: the host hears of them once, as a new display.
    RestoreScope restore(*this);
    readDocument(document.get(), isPreset);
    updateProcessing(true);
    return true;
}

// ---------------------------------------------------------------------------
// Documents

void PlugBaseJSON::writeDocument(cJSON* document, bool isPreset) {
    if (isPreset) {
        const Program& p = programs_[getProgram()];
        cJSON_AddItemToObject(document, "parameters", state::writeParameters(p.values, presetParts_));
        cJSON_AddStringToObject(document, "name", p.name);
        if (presetParts_ & state::kPartEQ) cJSON_AddItemToObject(document, "bandOrder", state::writeBandOrder(p.bandOrder));
        return;
    }
    cJSON* presets = cJSON_AddArrayToObject(document, "presets");
    for (const Program& p : programs_) {
        cJSON* entry = cJSON_CreateObject();
        cJSON_AddItemToObject(entry, "parameters", state::writeParameters(p.values, state::kAllParts));
        cJSON_AddStringToObject(entry, "name", p.name);
        cJSON_AddItemToObject(entry, "bandOrder", state::writeBandOrder(p.bandOrder));
        cJSON_AddItemToArray(presets, entry);
    }
    cJSON* ab = cJSON_AddArrayToObject(document, "ab");
    for (const ParamValues& slot : abSlots_) {
        cJSON* entry = cJSON_CreateObject();
        cJSON_AddItemToObject(entry, "parameters", state::writeParameters(slot, state::kAllParts));
        cJSON_AddItemToArray(ab, entry);
    }
}

bool PlugBaseJSON::carriesState(const cJSON* document, bool isPreset) const {
    if (isPreset) return member(document, "parameters") || member(document, "name") || member(document, "bandOrder");
    return member(document, "presets") || member(document, "ab");
}

void PlugBaseJSON::readDocument(const cJSON* document, bool isPreset) {
    if (isPreset) readPresetDocument(document);
    else readBankDocument(document);
    clearUndo();
}

void PlugBaseJSON::readPresetDocument(const cJSON* document) {
    Program& p = programs_[getProgram()];
    if (const cJSON* name = member(document, "name"); cJSON_IsString(name)) setProgramNameAt(name->valuestring, getProgram());
    state::readParameters(member(document, "parameters"), p.values, presetParts_);
    if (presetParts_ & state::kPartEQ) state::readBandOrder(member(document, "bandOrder"), p.bandOrder);
    setProgram(getProgram());
}

void PlugBaseJSON::readBankDocument(const cJSON* document) {
    const cJSON* presets = member(document, "presets");
    {
        LoadScope load(*this);
        if (cJSON_IsArray(presets)) {
            int j = 0;
            for (const cJSON* e = presets->child; e && j < kNumPrograms; e = e->next, ++j) {
                if (const cJSON* name = member(e, "name"); cJSON_IsString(name)) setProgramNameAt(name->valuestring, j);
                state::readParameters(member(e, "parameters"), programs_[j].values, state::kAllParts);
            }
        }
        setProgram(getProgram());
        const cJSON* ab = member(document, "ab");
        if (cJSON_IsArray(ab)) {
            int j = 0;
            for (const cJSON* e = ab->child; e && j < kNumABSlots; e = e->next, ++j)
                state::readParameters(member(e, "parameters"), abSlots_[j], state::kAllParts);
        } else {
            for (ParamValues& slot : abSlots_) slot.copyFrom(normalised_);
        }
    }
    if (cJSON_IsArray(presets)) {
        int j = 0;
        for (const cJSON* e = presets->child; e && j < kNumPrograms; e = e->next, ++j)
            state::readBandOrder(member(e, "bandOrder"), programs_[j].bandOrder);
    }
    forwardToEditor(kGUIPresetMenu, static_cast<float>(getProgram()));
}

}  // namespace hm
