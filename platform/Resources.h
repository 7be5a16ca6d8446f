#pragma once
// Resources compiled into the library: layout text, JSON schemas, skin images
// and the font. Names and types compare case-insensitively, as resource names do
// on the platform the product first shipped on.
#include <cstddef>
#include <string_view>

namespace hm::platform {

struct ResourceView {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    bool valid() const { return data != nullptr; }
    // Text resources are followed by a zero byte, so this is a C string too.
    std::string_view text() const { return {reinterpret_cast<const char*>(data), size}; }
};

// Any thread. Returns an invalid view when there is no such resource.
ResourceView findResource(std::string_view name, std::string_view type);

// Resource named by an integer id (skin bitmaps): the decimal text of the id.
ResourceView findResource(int id, std::string_view type);

}  // namespace hm::platform
