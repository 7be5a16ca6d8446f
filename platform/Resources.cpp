#include "platform/Resources.h"

#include <string>

#include "platform/ResourceTable.h"

namespace hm::platform {
namespace {

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

ResourceView findResource(std::string_view name, std::string_view type) {
    for (const EmbeddedResource* r = kEmbeddedResources; r->name != nullptr; ++r) {
        if (equalsIgnoreCase(r->name, name) && equalsIgnoreCase(r->type, type)) return {r->data, r->size};
    }
    return {};
}

ResourceView findResource(int id, std::string_view type) {
    return findResource(std::to_string(id), type);
}

}  // namespace hm::platform
