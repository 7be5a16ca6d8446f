#pragma once
// The raw table of resources compiled into the library (generated at build time
// from the files under resources/). Use platform/Resources.h to look one up.
#include <cstddef>

namespace hm::platform {

struct EmbeddedResource {
    const char* name;
    const char* type;
    const unsigned char* data;
    std::size_t size;  // without the zero byte that follows every blob
};

// Terminated by an entry whose name is null.
extern const EmbeddedResource kEmbeddedResources[];

}  // namespace hm::platform
