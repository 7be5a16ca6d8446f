#include "tools/harmoniform/EditorPreferenceChunk.h"

#include <optional>
#include <vector>

#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"

namespace hm::tool {

bool setEditorPreference(host::PluginInstance& plugin, const std::string& page, const std::string& name, int value,
                         std::string& error) {
    void* data = nullptr;
    const auto bytes = plugin.dispatch(vst::effGetChunk, 0, 0, &data);
    const auto text = data && bytes > 0 ? state::decodeChunk(data, static_cast<std::size_t>(bytes)) : std::nullopt;
    const prefs::JsonPtr document = text ? prefs::parseJson(*text) : nullptr;
    cJSON* item = prefs::member(prefs::member(prefs::member(document.get(), "uiprefs"), page), name);
    item = prefs::member(item, "value");
    if (!cJSON_IsNumber(item)) {
        error = "the plug-in's state holds no \"" + name + "\" preference";
        return false;
    }
    prefs::setNumber(item, value);
    std::vector<unsigned char> chunk = state::encodeChunk(prefs::printJson(document.get(), false));
    plugin.dispatch(vst::effSetChunk, 0, static_cast<std::intptr_t>(chunk.size()), chunk.data());
    return true;
}

}  // namespace hm::tool
