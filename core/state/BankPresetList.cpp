#include "core/state/BankPresetList.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"

namespace hm::state {
namespace {

long leadingNumber(std::string_view s) {
    std::size_t i = 0;
    long n = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && n < 100000000) n = n * 10 + (s[i++] - '0');
    return n;
}

}  // namespace

bool presetNameLess(std::string_view a, std::string_view b) {
    const long na = leadingNumber(a), nb = leadingNumber(b);
    if (na != nb) return na < nb;
    return a < b;  // bytes, as unsigned comparisons of std::string_view do
}

std::vector<BankPreset> readBankPresets(const void* data, std::size_t size) {
    std::vector<BankPreset> list;
    const auto text = decodeChunk(data, size);
    if (!text) return list;
    const prefs::JsonPtr document = prefs::parseJson(*text);
    const cJSON* presets = prefs::member(document.get(), "presets");
    if (!cJSON_IsArray(presets)) return list;
    for (const cJSON* e = presets->child; e; e = e->next) {
        const cJSON* name = prefs::member(e, "name");
        if (!cJSON_IsString(name) || std::string_view(name->valuestring) == "-") continue;
        list.push_back({name->valuestring, prefs::printJson(e, false)});
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const BankPreset& x, const BankPreset& y) { return presetNameLess(x.name, y.name); });
    return list;
}

}  // namespace hm::state
