#include "gui/layout/ViewFactory.h"

#include <string>
#include <unordered_map>

#include "gui/layout/TagNames.h"
#include "platform/TextCompare.h"

namespace hm::gui {

namespace {

std::string lowerCase(std::string_view s) { return platform::asciiLower(s); }

std::unordered_map<std::string, ViewMaker>& registry() {
    static std::unordered_map<std::string, ViewMaker> makers;
    return makers;
}

}  // namespace

int ViewRequest::tagNamed(std::string_view attr) const {
    auto value = findAttribute(element, attr);
    return value ? resolveTagName(*value) : -1;
}

void registerViewClass(std::string_view name, ViewMaker maker) {
    if (name.empty()) return;
    if (maker) registry()[lowerCase(name)] = maker;
    else registry().erase(lowerCase(name));
}

ViewMaker findViewClass(std::string_view name) {
    const auto& makers = registry();
    auto it = makers.find(lowerCase(name));
    return it == makers.end() ? nullptr : it->second;
}

}  // namespace hm::gui
