#pragma once
// Plain geometry and colour records of the drawing layer. Rectangles are
// half-open: (left, top) is inside, (right, bottom) is the first pixel outside.
#include <algorithm>
#include <cstdint>

namespace hm::gui {

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int x_, int y_) : x(x_), y(y_) {}
    constexpr CPoint& offset(int dx, int dy) { x += dx; y += dy; return *this; }
    constexpr bool operator==(const CPoint&) const = default;
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    static constexpr CRect fromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr int getWidth() const { return width(); }
    constexpr int getHeight() const { return height(); }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr CPoint topLeft() const { return {left, top}; }

    constexpr CRect& offset(int dx, int dy) {
        left += dx; right += dx; top += dy; bottom += dy;
        return *this;
    }
    constexpr CRect& moveTo(int x, int y) { return offset(x - left, y - top); }
    constexpr CRect& setWidth(int w) { right = left + w; return *this; }
    constexpr CRect& setHeight(int h) { bottom = top + h; return *this; }
    constexpr CRect& inset(int dx, int dy) {
        left += dx; right -= dx; top += dy; bottom -= dy;
        return *this;
    }
    constexpr bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr bool rectOverlap(const CRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    // Intersection with o; empty (possibly inverted) when they do not overlap.
    constexpr CRect& bound(const CRect& o) {
        left = std::max(left, o.left); top = std::max(top, o.top);
        right = std::min(right, o.right); bottom = std::min(bottom, o.bottom);
        if (right < left) right = left;
        if (bottom < top) bottom = top;
        return *this;
    }
    // Smallest rectangle holding both (an empty rectangle adds nothing).
    constexpr CRect& unite(const CRect& o) {
        if (o.isEmpty()) return *this;
        if (isEmpty()) return *this = o;
        left = std::min(left, o.left); top = std::min(top, o.top);
        right = std::max(right, o.right); bottom = std::max(bottom, o.bottom);
        return *this;
    }
    constexpr bool operator==(const CRect&) const = default;
};

// Colours travel as 0xRRGGBB with a separate opacity 0..1.
using Rgb = std::uint32_t;

constexpr Rgb makeRgb(int r, int g, int b) {
    return (Rgb(r & 255) << 16) | (Rgb(g & 255) << 8) | Rgb(b & 255);
}
constexpr int rgbRed(Rgb c) { return int((c >> 16) & 255); }
constexpr int rgbGreen(Rgb c) { return int((c >> 8) & 255); }
constexpr int rgbBlue(Rgb c) { return int(c & 255); }

// A pixel as stored: the little-endian word of the bytes B, G, R, A,
// i.e. 0xAARRGGBB. Bitmaps with an alpha channel hold premultiplied colour.
using Pixel = std::uint32_t;

constexpr Pixel makePixel(int r, int g, int b, int a = 255) {
    return (Pixel(a & 255) << 24) | makeRgb(r, g, b);
}
constexpr int pixelAlpha(Pixel p) { return int(p >> 24); }

}  // namespace hm::gui
