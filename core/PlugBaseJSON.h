#pragma once
// PlugBaseJSON: the instance's state as one JSON document, for the host's
// project (chunks), preset files (.hmp) and bank files (.hmb). A bank document
// carries the 20 programs and 8 A/B slots; a preset document the current
// program, filtered by the preset parts. Plug adds the editor's state, the
// routing and the instance name.
#include <cjson/cJSON.h>

#include <string>
#include <vector>

#include "core/PlugBase.h"
#include "core/state/ParameterDocument.h"

namespace hm {

class PlugBaseJSON : public PlugBase {
public:
    explicit PlugBaseJSON(vst::HostCallback host) : PlugBase(host) {}

    // UI thread. The chunk stays owned by the instance until the next call.
    vst::VstInt32 getChunk(void** data, bool isPreset) override;
    // UI thread. Returns byteSize (0 for null data); a document that does not
    // parse applies nothing.
    vst::VstInt32 setChunk(void* data, vst::VstInt32 byteSize, bool isPreset) override;

    // The document as formatted JSON text, and applying one. readState answers
    // false (and applies nothing) when the text is not a JSON object or carries
    // none of the members this instance writes (an empty object, another
    // program's JSON).
    std::string writeState(bool isPreset);
    bool readState(const std::string& text, bool isPreset);

    // The chunk bytes of the current state (what getChunk hands out), for files.
    std::vector<unsigned char> stateChunk(bool isPreset);

    // Preset parts (EQ, DSP, UI bits of state::PresetPart); all set at construction.
    int presetParts() const { return presetParts_; }
    void setPresetParts(int parts) { presetParts_ = parts & state::kAllParts; }

protected:
    // Appends the members of a document in their order; Plug extends both.
    virtual void writeDocument(cJSON* document, bool isPreset);
    virtual void readDocument(const cJSON* document, bool isPreset);
    // Whether a document has any member readDocument takes; Plug adds its own.
    virtual bool carriesState(const cJSON* document, bool isPreset) const;

    int presetParts_ = state::kAllParts;

private:
    void readPresetDocument(const cJSON* document);
    void readBankDocument(const cJSON* document);

    std::vector<unsigned char> chunk_;  // the last chunk handed to the host
};

}  // namespace hm
