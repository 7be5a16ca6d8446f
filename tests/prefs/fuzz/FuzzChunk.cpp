// libFuzzer target: a state chunk as the host or a preset/bank file hands it
// over. Decodes it, parses the text and merges its `uiprefs` into the editor
// defaults, as loading a state does. Also checks that any text the decoder
// accepts survives an encode/decode round trip unchanged.
#include <cstdint>
#include <cstdlib>

#include "prefs/ChunkCodec.h"
#include "prefs/EditorPreferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hm;
    // A small cap keeps each run fast; the cap logic is the same at any size.
    const auto text = state::decodeChunk(data, size, 1u << 20);
    if (!text) return 0;

    const std::vector<unsigned char> again = state::encodeChunk(*text);
    const auto back = state::decodeChunk(again.data(), again.size(), 1u << 20);
    if (!back || *back != *text) std::abort();

    prefs::JsonPtr doc = prefs::parseJson(*text);
    if (!doc) return 0;
    static const prefs::EditorPreferences defaults = prefs::EditorPreferences::fromResources();
    prefs::EditorPreferences current(prefs::JsonPtr(cJSON_Duplicate(defaults.tree(), true)));
    current.merge(prefs::member(doc.get(), "uiprefs"));
    (void)current.getUIPreference("Graph", "Range");
    return 0;
}
