#include "gui/layout/Attributes.h"

#include <cstdio>
#include <cstdlib>

#include "gui/draw/BitmapCache.h"
#include "platform/TextCompare.h"

namespace hm::gui {

std::optional<std::string_view> findAttribute(const LayoutElement& element, std::string_view name) {
    const auto& list = element.attributes;
    const std::size_t n = list.size();
    // An empty value followed by an empty value is an unquoted pair: the
    // second one's name is the first one's value, and is never a name itself.
    auto pairedWithNext = [&](std::size_t i) {
        return list[i].second.empty() && i + 1 < n && list[i + 1].second.empty();
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (platform::equalsIgnoreCase(list[i].first, name))
            return pairedWithNext(i) ? std::string_view(list[i + 1].first) : std::string_view(list[i].second);
        if (pairedWithNext(i)) ++i;
    }
    return std::nullopt;
}

std::string attributeString(const LayoutElement& element, std::string_view name) {
    auto value = findAttribute(element, name);
    return value ? std::string(*value) : std::string();
}

int attributeInt(const LayoutElement& element, std::string_view name) {
    int result = 0;
    std::sscanf(attributeString(element, name).c_str(), "%d", &result);
    return result;
}

unsigned attributeHex(const LayoutElement& element, std::string_view name) {
    unsigned result = 0;
    std::sscanf(attributeString(element, name).c_str(), "%x", &result);
    return result;
}

bool attributeBool(const LayoutElement& element, std::string_view name) {
    auto value = findAttribute(element, name);
    if (!value) return false;
    if (platform::equalsIgnoreCase(*value, "true")) return true;
    if (platform::equalsIgnoreCase(*value, "false")) return false;
    int number = 0;
    std::sscanf(std::string(*value).c_str(), "%d", &number);
    return number != 0;
}

int attributeBitmapId(const LayoutElement& element, std::string_view name) {
    return attributeInt(element, name);
}

CBitmap* attributeBitmap(const LayoutElement& element, std::string_view name) {
    const int id = attributeBitmapId(element, name);
    return id > 0 ? getSkinBitmap(id) : nullptr;
}

std::vector<std::string> splitMenuItems(std::string_view text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = text.find("\\n", start);
        if (sep == std::string_view::npos) {
            items.emplace_back(text.substr(start));
            return items;
        }
        items.emplace_back(text.substr(start, sep - start));
        start = sep + 2;
    }
}

}  // namespace hm::gui
