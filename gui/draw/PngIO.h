#pragma once
// PNG decoding (skin resources) and encoding (skin generator, headless
// screenshots) with libpng. Decoded images with an alpha channel (colour
// type with alpha, or a transparency chunk) come back premultiplied with
// hasAlpha set; others opaque (alpha 255) without.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hm::gui {

class CDIB;
class CBitmap;

// nullptr on any decoding error (never throws, never aborts).
CDIB* decodePng(const void* data, std::size_t size);
// RGBA (alpha bitmaps, un-premultiplied) or RGB (others), 8 bits, no
// time stamps, so equal pixels give equal bytes. Empty on failure.
std::vector<std::uint8_t> encodePng(const CBitmap& bitmap);
// Writes atomically (temporary file in the same folder, flush, rename).
bool writePngFile(const CBitmap& bitmap, const std::string& path);

}  // namespace hm::gui
