#include "prefs/GlobalPreferences.h"

#include <memory>
#include <mutex>
#include <optional>

#include "platform/Resources.h"
#include "platform/SettingsStore.h"
#include "prefs/Json.h"

namespace hm::prefs {

class GlobalSettings {
public:
    std::string storePath;  // the settings file holding "globals"
    JsonPtr values;         // null when the store held none (or nothing usable)
    JsonPtr schema;         // null until the first instance installs it
    bool started = false;   // stored values read
};

namespace {

std::mutex& settingsMutex() {
    static std::mutex m;
    return m;
}

// Guarded by settingsMutex(). Destroyed only at process exit, so the reference
// handed out by globalSettings() stays valid.
std::optional<std::string>& pathOverride() {
    static std::optional<std::string> p;
    return p;
}

GlobalSettings& settingsObject() {
    static GlobalSettings s;
    return s;
}

JsonPtr readStoredValues(const std::string& storePath) {
    std::optional<std::string> text = platform::SettingsStore(storePath).get("globals");
    if (!text || text->size() < 2 || text->size() > kMaxGlobalsTextBytes) return nullptr;
    JsonPtr values = parseJson(*text);
    // Anything but an object (an array, a number) could not hold named values.
    if (!cJSON_IsObject(values.get())) return nullptr;
    return values;
}

// Caller holds the mutex.
GlobalSettings& lockedSettings() {
    GlobalSettings& s = settingsObject();
    if (!s.started) {
        s.started = true;
        s.storePath = pathOverride() ? *pathOverride() : platform::SettingsStore::defaultFilePath();
        s.values = readStoredValues(s.storePath);
    }
    return s;
}

bool storeValues(const GlobalSettings& s) {
    if (!s.values) return false;
    const std::string text = printJson(s.values.get(), false);
    if (text.empty()) return false;
    return platform::SettingsStore(s.storePath).set("globals", text);
}

const cJSON* schemaMember(const GlobalSettings& s, int index) {
    if (!s.schema || index < 0) return nullptr;
    return cJSON_GetArrayItem(s.schema.get(), index);
}

}  // namespace

GlobalSettings& globalSettings() {
    std::lock_guard<std::mutex> lock(settingsMutex());
    return lockedSettings();
}

void loadGlobalSchema(GlobalSettings& settings, std::string_view schemaText) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    if (!settings.schema) {
        JsonPtr schema = parseJson(schemaText);
        if (cJSON_IsObject(schema.get())) settings.schema = std::move(schema);
    }
    if (settings.values || !settings.schema) return;
    JsonPtr values(cJSON_CreateObject());
    if (!values) return;
    for (const cJSON* m = settings.schema->child; m != nullptr; m = m->next) {
        if (m->string == nullptr) continue;
        const cJSON* def = member(m, "value");
        cJSON_AddItemToObject(values.get(), m->string, cJSON_CreateNumber(cJSON_IsNumber(def) ? def->valueint : 0));
    }
    settings.values = std::move(values);
    storeValues(settings);
}

bool loadGlobalSchemaFromResources() {
    const platform::ResourceView res = platform::findResource("defaults", "json");
    if (!res.valid()) return false;
    loadGlobalSchema(globalSettings(), res.text());
    return true;
}

int getGlobalPreference(std::string_view name) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    GlobalSettings& s = lockedSettings();
    if (!s.values) return kNoGlobalValues;
    // A stored member that is not a number (a hand-edited string, say) is
    // treated as absent so the schema default applies.
    if (const cJSON* v = member(s.values.get(), name); cJSON_IsNumber(v)) return v->valueint;
    if (!s.schema) return 0;
    const cJSON* m = member(s.schema.get(), name);
    if (m == nullptr) return kUnknownGlobalPreference;
    const cJSON* def = member(m, "value");
    if (!cJSON_IsNumber(def)) return kGlobalPreferenceWithoutDefault;
    return def->valueint;
}

bool setGlobalPreference(std::string_view name, int value) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    GlobalSettings& s = lockedSettings();
    if (!s.values) return false;
    if (cJSON* v = member(s.values.get(), name); cJSON_IsNumber(v)) {
        setNumber(v, value);
    } else {
        putMember(s.values.get(), name, cJSON_CreateNumber(value));
    }
    return storeValues(s);
}

int globalPreferenceCount() {
    std::lock_guard<std::mutex> lock(settingsMutex());
    const GlobalSettings& s = lockedSettings();
    return s.schema ? cJSON_GetArraySize(s.schema.get()) : 0;
}

std::string globalPreferenceName(int index) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    const cJSON* m = schemaMember(lockedSettings(), index);
    return m && m->string ? std::string(m->string) : std::string();
}

int globalPreferencePage(int index) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    const cJSON* m = schemaMember(lockedSettings(), index);
    if (m == nullptr) return -1;
    const cJSON* page = member(m, "page");
    return cJSON_IsNumber(page) ? page->valueint : 0;
}

int globalPreferenceValueCount(int index) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    const cJSON* m = schemaMember(lockedSettings(), index);
    if (m == nullptr) return -1;
    const cJSON* labels = member(m, "values");
    return cJSON_IsArray(labels) ? cJSON_GetArraySize(labels) : 0;
}

std::string globalPreferenceValueLabel(int index, int value) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    const cJSON* m = schemaMember(lockedSettings(), index);
    const cJSON* labels = m ? member(m, "values") : nullptr;
    if (!cJSON_IsArray(labels) || value < 0) return {};
    const cJSON* label = cJSON_GetArrayItem(labels, value);
    return cJSON_IsString(label) ? std::string(label->valuestring) : std::string();
}

void resetGlobalSettingsForTesting(const std::string& settingsFilePath) {
    std::lock_guard<std::mutex> lock(settingsMutex());
    pathOverride() = settingsFilePath;
    GlobalSettings& s = settingsObject();
    s.values.reset();
    s.schema.reset();
    s.started = false;
}

}  // namespace hm::prefs
