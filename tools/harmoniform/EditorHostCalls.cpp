#include "tools/harmoniform/EditorHostCalls.h"

#include <optional>
#include <vector>

#include "gui/draw/CDIB.h"
#include "gui/draw/PngIO.h"
#include "gui/editor/SnapshotRequest.h"
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

bool writeEditorSnapshot(host::PluginInstance& plugin, const std::string& path, int& width, int& height,
                         std::string& error, bool wizard) {
    // Asked once for the size, then again with a buffer of that size.
    gui::EditorSnapshotRequest request;
    request.flags = wizard ? gui::kSnapshotWizard : 0;
    plugin.dispatch(vst::effVendorSpecific, gui::kSnapshotIndex, gui::kSnapshotValue, &request);
    if (request.width <= 0 || request.height <= 0) {
        error = "the plug-in rendered no editor picture";
        return false;
    }
    auto* image = new gui::CDIB(request.width, request.height);
    request.pixels = image->pixels();
    request.capacity = static_cast<std::int64_t>(request.width) * request.height;
    const bool rendered =
        plugin.dispatch(vst::effVendorSpecific, gui::kSnapshotIndex, gui::kSnapshotValue, &request) == 1;
    const bool written = rendered && gui::writePngFile(*image, path);
    image->release();
    if (!written) {
        error = std::string(rendered ? "cannot write " : "cannot render ") + path;
        return false;
    }
    width = request.width;
    height = request.height;
    return true;
}

}  // namespace hm::tool
