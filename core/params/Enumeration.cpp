#include "core/params/Enumeration.h"

#include <algorithm>
#include <cstdlib>

namespace hm {

std::vector<EnumerationEntry> parseEnumeration(std::string_view text) {
    std::vector<EnumerationEntry> entries;
    int counter = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        if (comma == std::string_view::npos) comma = text.size();
        std::string_view item = text.substr(pos, comma - pos);
        pos = comma + 1;

        std::size_t eq = item.find('=');
        if (eq != std::string_view::npos) {
            std::string number(item.substr(eq + 1));
            counter = std::atoi(number.c_str());
            item = item.substr(0, eq);
        }
        std::size_t start = 0;
        while (start < item.size() && static_cast<unsigned char>(item[start]) <= 32) ++start;
        std::size_t end = start;
        while (end < item.size() && static_cast<unsigned char>(item[end]) > 32) ++end;
        if (end > start) {
            entries.emplace_back(std::string(item.substr(start, end - start)), counter);
            ++counter;
        }
        if (comma == text.size()) break;
    }
    return entries;
}

const std::vector<EnumerationEntry>& enumeration() {
    static const std::vector<EnumerationEntry> parsed = parseEnumeration(kEnumerationText);
    return parsed;
}

int enumValueOf(std::string_view name) {
    for (const auto& [n, v] : enumeration())
        if (n == name) return v;
    return -1;
}

const char* enumNameOf(int value) {
    // Every state document names each of its values: a table by value rather than
    // a search of the whole list per name (a bank holds 20 programs and 8 slots).
    static const std::vector<const char*> byValue = [] {
        int largest = -1;
        for (const auto& entry : enumeration()) largest = std::max(largest, entry.second);
        std::vector<const char*> table(static_cast<std::size_t>(largest + 1), nullptr);
        for (const auto& [n, v] : enumeration())
            if (v >= 0 && !table[static_cast<std::size_t>(v)]) table[static_cast<std::size_t>(v)] = n.c_str();
        return table;
    }();
    return value >= 0 && static_cast<std::size_t>(value) < byValue.size() ? byValue[static_cast<std::size_t>(value)]
                                                                          : nullptr;
}

}  // namespace hm
