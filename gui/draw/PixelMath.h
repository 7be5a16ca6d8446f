#pragma once
// Rounding arithmetic shared by the pixel loops (internal to gui/draw).
#include <cstdint>

#include "gui/draw/Geometry.h"

namespace hm::gui::pixel {

// x / 255 rounded to nearest, exact for 0 <= x <= 255 * 255.
inline int div255(int x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

inline int channel(Pixel p, int shift) { return int((p >> shift) & 255); }

// c·a + d·(1 − a) per byte, with the colour's alpha taken as 255; a as a
// 16-bit fixed-point fraction (65536 = 1), rounded to nearest.
inline Pixel blendColourFixed(Pixel d, Rgb c, std::uint32_t a16) {
    if (a16 >= 65536u) return 0xFF000000u | (c & 0xFFFFFFu);
    if (a16 == 0u) return d;
    const std::uint32_t ia = 65536u - a16;
    auto mix = [&](int shift, std::uint32_t cv) {
        return ((cv * a16 + std::uint32_t(channel(d, shift)) * ia + 32768u) >> 16) << shift;
    };
    return mix(0, c & 255u) | mix(8, (c >> 8) & 255u) | mix(16, (c >> 16) & 255u) | mix(24, 255u);
}

inline std::uint32_t toFixed(float a) {
    if (!(a > 0.f)) return 0u;
    if (a >= 1.f) return 65536u;
    return std::uint32_t(a * 65536.f + 0.5f);
}

inline Pixel blendColour(Pixel d, Rgb c, float a) { return blendColourFixed(d, c, toFixed(a)); }

// Premultiplied source over destination with a constant opacity 0..255.
inline Pixel blendPremultiplied(Pixel d, Pixel s, int opacity) {
    const int sa = div255(pixelAlpha(s) * opacity);
    const int keep = 255 - sa;
    auto mix = [&](int shift) {
        int v = div255(channel(s, shift) * opacity) + div255(channel(d, shift) * keep);
        return Pixel(v > 255 ? 255 : v) << shift;
    };
    return mix(0) | mix(8) | mix(16) | mix(24);
}

}  // namespace hm::gui::pixel
