#include "gui/layout/TagNames.h"

#include <string>
#include <unordered_map>

#include "core/params/Enumeration.h"

namespace hm::gui {

namespace {

// The parameter model's parsed enumeration as a hash table (first name wins,
// as in a linear search of the list).
const std::unordered_map<std::string_view, int>& tagTable() {
    static const std::unordered_map<std::string_view, int> table = [] {
        std::unordered_map<std::string_view, int> t;
        for (const auto& [name, value] : enumeration()) t.emplace(name, value);
        return t;
    }();
    return table;
}

}  // namespace

int resolveTagName(std::string_view name) {
    if (name.empty()) return -1;
    const auto& table = tagTable();
    auto it = table.find(name);
    return it == table.end() ? -1 : it->second;
}

}  // namespace hm::gui
