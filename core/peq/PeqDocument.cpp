#include "core/peq/PeqDocument.h"

#include "core/params/ParamValues.h"
#include "core/state/ParameterDocument.h"
#include "core/vst/VstAbi.h"
#include "prefs/ChunkCodec.h"
#include "platform/TextCompare.h"
#include "prefs/Json.h"

namespace hm::peq {

std::vector<unsigned char> presetChunk(const PresetValues& values, std::string_view name) {
    ParamValues params;
    for (int i = 0; i < kNumParams; ++i) params.set(i, values[i]);
    int order[kNumBands];
    for (int& b : order) b = -1;  // no strip order yet: the editor lays the strips out afresh
    prefs::JsonPtr document(cJSON_CreateObject());
    cJSON_AddItemToObject(document.get(), "parameters", state::writeParameters(params, state::kPartEQ));
    cJSON_AddStringToObject(document.get(), "name", std::string(name).c_str());
    cJSON_AddItemToObject(document.get(), "bandOrder", state::writeBandOrder(order));
    return state::encodeChunk(prefs::printJson(document.get(), true));
}

std::string presetNameFor(std::string_view path) {
    if (const std::size_t slash = path.rfind('/'); slash != std::string_view::npos) path.remove_prefix(slash + 1);
    if (const std::size_t dot = path.rfind('.'); dot != std::string_view::npos && dot > 0) path = path.substr(0, dot);
    return std::string(path.substr(0, vst::kVstMaxProgNameLen - 1));
}

bool isTextPath(std::string_view path) {
    return platform::endsWithIgnoreCase(path, ".txt");
}

}  // namespace hm::peq
