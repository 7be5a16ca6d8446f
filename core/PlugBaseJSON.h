#pragma once
// PlugBaseJSON: the instance's state as JSON documents (host chunks, preset and
// bank files).
#include <string>

#include "core/PlugBase.h"

namespace hm {

class PlugBaseJSON : public PlugBase {
public:
    explicit PlugBaseJSON(vst::HostCallback host) : PlugBase(host) {}

    // UI thread. The chunk stays owned by the instance until the next call.
    vst::VstInt32 getChunk(void** data, bool isPreset) override;
    vst::VstInt32 setChunk(void* data, vst::VstInt32 byteSize, bool isPreset) override;

    // Not yet written: documents arrive with the state-file work. Until then the
    // instance hands the host no chunk and applies none (answers 0 / false).
    virtual std::string writeState(bool isPreset);
    virtual bool readState(const std::string& text, bool isPreset);

protected:
    std::string chunk_;  // the last chunk handed to the host
};

}  // namespace hm
