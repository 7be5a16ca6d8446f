// libFuzzer target: preference JSON in every role it can arrive in: a stored
// editor tree merged into the defaults (and the defaults into it), a tree
// queried and extended by the preferences view, and a global schema installed
// and read back.
#include <cstdint>
#include <string_view>

#include "prefs/EditorPreferences.h"
#include "prefs/GlobalPreferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hm::prefs;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    static const EditorPreferences defaults = EditorPreferences::fromResources();
    JsonPtr stored = parseJson(text);
    if (stored) {
        EditorPreferences current(JsonPtr(cJSON_Duplicate(defaults.tree(), true)));
        current.merge(stored.get());
        mergePreferencePage(member(current.tree(), "Graph"), member(stored.get(), "Graph"));

        EditorPreferences loaded(JsonPtr(cJSON_Duplicate(stored.get(), true)));
        loaded.merge(defaults.tree());
        loaded.addOpenMembers();
        (void)loaded.getUIPreference("Layout", "UI Size");
        loaded.setUIPreference("Graph", "Range", 2);
        (void)printJson(loaded.tree(), true);
    }

    // A store that can be neither read nor written keeps each run in memory.
    resetGlobalSettingsForTesting("/proc/hm-fuzz-none/settings.json");
    loadGlobalSchema(globalSettings(), text);
    const int count = globalPreferenceCount();
    for (int i = 0; i < count && i < 64; ++i) {
        const std::string name = globalPreferenceName(i);
        (void)getGlobalPreference(name);
        (void)globalPreferencePage(i);
        (void)globalPreferenceValueCount(i);
        setGlobalPreference(name, i);
    }
    return 0;
}
