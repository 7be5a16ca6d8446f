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

// c·a + d·(1 − a) per byte, with the colour's alpha taken as 255.
inline Pixel blendColour(Pixel d, Rgb c, float a) {
    if (a >= 1.f) return 0xFF000000u | (c & 0xFFFFFFu);
    if (a <= 0.f) return d;
    const float ia = 1.f - a;
    auto mix = [&](int shift, int cv) {
        const float v = float(cv) * a + float(channel(d, shift)) * ia;
        return Pixel(int(v + 0.5f)) << shift;
    };
    return mix(0, rgbBlue(c)) | mix(8, rgbGreen(c)) | mix(16, rgbRed(c)) | mix(24, 255);
}

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
