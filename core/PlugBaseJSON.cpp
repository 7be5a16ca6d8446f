#include "core/PlugBaseJSON.h"

namespace hm {

vst::VstInt32 PlugBaseJSON::getChunk(void** data, bool isPreset) {
    if (!data) return 0;
    chunk_ = writeState(isPreset);
    *data = chunk_.empty() ? nullptr : chunk_.data();
    return static_cast<vst::VstInt32>(chunk_.size());
}

vst::VstInt32 PlugBaseJSON::setChunk(void* data, vst::VstInt32 byteSize, bool isPreset) {
    if (!data || byteSize <= 0) return 0;
    return readState(std::string(static_cast<const char*>(data), static_cast<std::size_t>(byteSize)), isPreset) ? 1
                                                                                                                : 0;
}

std::string PlugBaseJSON::writeState(bool /*isPreset*/) { return {}; }

bool PlugBaseJSON::readState(const std::string& /*text*/, bool /*isPreset*/) { return false; }

}  // namespace hm
