#pragma once
// Small ownership and access helpers around cJSON for the preference stores.
#include <cjson/cJSON.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/TextCompare.h"

namespace hm::prefs {

struct JsonDelete {
    void operator()(cJSON* j) const { cJSON_Delete(j); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDelete>;

// Parses exactly the given bytes (no zero terminator needed); null when the
// text is not JSON.
JsonPtr parseJson(std::string_view text);

// Formatted (tabs and line breaks) or compact print; "" on failure.
std::string printJson(const cJSON* json, bool formatted);

// Case-insensitive member look-up that tolerates null and non-objects.
cJSON* member(const cJSON* object, std::string_view name);

// Sets both the integer and the floating-point field of a number item.
void setNumber(cJSON* item, int value);

// Replaces the first member of that name (case-insensitive) in place, keeping
// its position, or appends when there is none. Takes ownership of item.
void putMember(cJSON* object, std::string_view name, cJSON* item);

using platform::equalsIgnoreCase;

}  // namespace hm::prefs
