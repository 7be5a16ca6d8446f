#include "tools/harmoniform/PresetDocumentCheck.h"

#include <cjson/cJSON.h>

#include <cctype>
#include <initializer_list>
#include <string_view>

#include "core/params/Enumeration.h"
#include "core/params/ParamIds.h"
#include "prefs/Json.h"
#include "tools/harmoniform/ParameterAssignment.h"

namespace hm::tool {
namespace {

std::string quoted(const char* text) { return std::string("'") + (text ? text : "") + "'"; }

// Member names compare without letter case, as the plug-in reads them.
bool known(const cJSON* item, std::initializer_list<const char*> names) {
    if (!item->string) return false;
    const std::string_view have = item->string;
    for (const std::string_view name : names) {
        if (have.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(have[i])) == std::tolower(static_cast<unsigned char>(name[i]));
        if (same) return true;
    }
    return false;
}

void checkMembers(const cJSON* object, const std::string& where, std::initializer_list<const char*> names,
                  std::vector<std::string>& findings) {
    if (!cJSON_IsObject(object)) return;
    for (const cJSON* item = object->child; item; item = item->next)
        if (!known(item, names))
            findings.push_back((where.empty() ? "" : where + ": ") + quoted(item->string) + " is no member the plug-in reads");
}

void checkParameters(const cJSON* parameters, const std::string& where, std::vector<std::string>& findings) {
    if (!parameters) return;
    if (!cJSON_IsObject(parameters)) {
        findings.push_back(where + " is no object of parameter values");
        return;
    }
    for (const cJSON* item = parameters->child; item; item = item->next) {
        const int index = item->string ? enumValueOf(item->string) : -1;
        if (!isParam(index)) {
            std::string line = where + ": " + quoted(item->string) + " is no parameter (ignored)";
            const std::vector<std::string> near = nearestParameterNames(item->string ? item->string : "", 1);
            if (!near.empty()) line += "; nearest " + near.front();
            findings.push_back(line);
        } else if (!cJSON_IsNumber(item)) {
            findings.push_back(where + ": " + quoted(item->string) + " is not a number (ignored)");
        }
    }
}

}  // namespace

std::vector<std::string> unreadMembers(const cJSON* document) {
    std::vector<std::string> findings;
    const cJSON* presets = prefs::member(document, "presets");
    if (presets) {
        checkMembers(document, "", {"presets", "ab", "settings", "uiprefs", "routing", "instanceName"}, findings);
        int p = 0;
        for (const cJSON* program = cJSON_IsArray(presets) ? presets->child : nullptr; program; program = program->next, ++p) {
            const std::string where = "presets[" + std::to_string(p) + "]";
            if (p >= kNumPrograms) {
                findings.push_back(where + " and after: beyond the " + std::to_string(kNumPrograms) + " programs (ignored)");
                break;
            }
            checkMembers(program, where, {"parameters", "name", "bandOrder"}, findings);
            checkParameters(prefs::member(program, "parameters"), where + ".parameters", findings);
        }
        const cJSON* ab = prefs::member(document, "ab");
        int s = 0;
        for (const cJSON* slot = cJSON_IsArray(ab) ? ab->child : nullptr; slot && s < kNumABSlots; slot = slot->next, ++s) {
            const std::string where = "ab[" + std::to_string(s) + "]";
            checkMembers(slot, where, {"parameters"}, findings);
            checkParameters(prefs::member(slot, "parameters"), where + ".parameters", findings);
        }
    } else {
        checkMembers(document, "",
                     {"parameters", "name", "bandOrder", "settings", "uiprefs", "routing", "instanceName"}, findings);
        checkParameters(prefs::member(document, "parameters"), "parameters", findings);
    }
    return findings;
}

}  // namespace hm::tool
