#include "prefs/Json.h"

namespace hm::prefs {

JsonPtr parseJson(std::string_view text) {
    if (text.empty()) return nullptr;
    const char* end = nullptr;
    JsonPtr json(cJSON_ParseWithLengthOpts(text.data(), text.size(), &end, false));
    if (!json || end == nullptr) return nullptr;
    // A document followed by anything but white space (or the zero bytes some
    // writers leave after the text) is damaged, not a document.
    const std::size_t used = static_cast<std::size_t>(end - text.data());
    constexpr std::string_view kBlank(" \t\r\n\0", 5);
    if (text.substr(used).find_first_not_of(kBlank) != std::string_view::npos) return nullptr;
    return json;
}

std::string printJson(const cJSON* json, bool formatted) {
    if (json == nullptr) return {};
    char* raw = formatted ? cJSON_Print(json) : cJSON_PrintUnformatted(json);
    if (raw == nullptr) return {};
    std::string out(raw);
    cJSON_free(raw);
    return out;
}

cJSON* member(const cJSON* object, std::string_view name) {
    if (!cJSON_IsObject(object)) return nullptr;
    for (cJSON* child = object->child; child != nullptr; child = child->next) {
        if (child->string != nullptr && equalsIgnoreCase(child->string, name)) return child;
    }
    return nullptr;
}

void setNumber(cJSON* item, int value) {
    if (item == nullptr) return;
    item->valueint = value;
    item->valuedouble = value;
}

void putMember(cJSON* object, std::string_view name, cJSON* item) {
    if (item == nullptr) return;
    if (!cJSON_IsObject(object)) {
        cJSON_Delete(item);
        return;
    }
    if (cJSON* old = member(object, name)) {
        // Keeps the existing spelling of the key and the member's position.
        const std::string existing(old->string);
        cJSON_ReplaceItemInObject(object, existing.c_str(), item);
        return;
    }
    const std::string key(name);
    cJSON_AddItemToObject(object, key.c_str(), item);
}

}  // namespace hm::prefs
