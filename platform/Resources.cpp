#include "platform/Resources.h"

#include <string>

#include "platform/ResourceTable.h"
#include "platform/TextCompare.h"

namespace hm::platform {

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
