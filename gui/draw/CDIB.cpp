#include "gui/draw/CDIB.h"

#include <algorithm>
#include <cmath>

#include "gui/draw/CoverageRaster.h"
#include "gui/draw/PixelMath.h"
#include "gui/draw/PngIO.h"
#include "platform/Resources.h"

namespace hm::gui {

CDIB::CDIB(int width, int height) : CBitmap(width, height, false) { resetClip(); }

CDIB* CDIB::fromResource(int id) {
    if (id == 0) return nullptr;
    const auto res = platform::findResource(id, "PNG");
    if (!res.valid()) return nullptr;
    return decodePng(res.data, res.size);
}

CDIB* CDIB::fromPng(const void* data, std::size_t size) { return decodePng(data, size); }

void CDIB::setClipRect(const CRect& local) {
    clip_ = local;
    clip_.offset(origin_.x, origin_.y);
    clip_.bound(CRect(0, 0, getWidth(), getHeight()));
}

CRect CDIB::getClipRect() const {
    CRect r = clip_;
    r.offset(-origin_.x, -origin_.y);
    return r;
}

void CDIB::resetClip() { clip_ = CRect(0, 0, getWidth(), getHeight()); }

void CDIB::clear(Pixel p) {
    for (int y = clip_.top; y < clip_.bottom; ++y)
        std::fill(row(y) + clip_.left, row(y) + clip_.right, p);
}

void CDIB::blendSpan(int y, int x0, int x1, Rgb colour, float a) {
    if (y < clip_.top || y >= clip_.bottom) return;
    x0 = std::max(x0, clip_.left);
    x1 = std::min(x1, clip_.right);
    Pixel* p = row(y);
    const std::uint32_t a16 = pixel::toFixed(a);
    if (a16 >= 65536u) {
        std::fill(p + x0, p + std::max(x0, x1), 0xFF000000u | (colour & 0xFFFFFFu));
        return;
    }
    for (int x = x0; x < x1; ++x) p[x] = pixel::blendColourFixed(p[x], colour, a16);
}

void CDIB::fillRect(const CRect& r, Rgb colour, float opacity) {
    CRect a = r;
    a.offset(origin_.x, origin_.y);
    a.bound(clip_);
    for (int y = a.top; y < a.bottom; ++y) blendSpan(y, a.left, a.right, colour, opacity);
}

void CDIB::frameRect(const CRect& r, Rgb colour, float opacity, int w) {
    if (r.isEmpty() || w <= 0) return;
    w = std::min({w, (r.width() + 1) / 2, (r.height() + 1) / 2});
    fillRect(CRect(r.left, r.top, r.right, r.top + w), colour, opacity);
    fillRect(CRect(r.left, r.bottom - w, r.right, r.bottom), colour, opacity);
    fillRect(CRect(r.left, r.top + w, r.left + w, r.bottom - w), colour, opacity);
    fillRect(CRect(r.right - w, r.top + w, r.right, r.bottom - w), colour, opacity);
}

namespace {
Rgb lerpRgb(Rgb a, Rgb b, float t) {
    auto mix = [t](int x, int y) { return int(std::lround(float(x) + (float(y) - float(x)) * t)); };
    return makeRgb(mix(rgbRed(a), rgbRed(b)), mix(rgbGreen(a), rgbGreen(b)),
                   mix(rgbBlue(a), rgbBlue(b)));
}
}  // namespace

void CDIB::fillGradientV(const CRect& r, Rgb top, Rgb bottom, float opacity) {
    const int h = r.height();
    for (int i = 0; i < h; ++i) {
        const float t = h > 1 ? float(i) / float(h - 1) : 0.f;
        fillRect(CRect(r.left, r.top + i, r.right, r.top + i + 1), lerpRgb(top, bottom, t), opacity);
    }
}

void CDIB::fillGradientH(const CRect& r, Rgb left, Rgb right, float opacity) {
    const int w = r.width();
    for (int i = 0; i < w; ++i) {
        const float t = w > 1 ? float(i) / float(w - 1) : 0.f;
        fillRect(CRect(r.left + i, r.top, r.left + i + 1, r.bottom), lerpRgb(left, right, t), opacity);
    }
}

void CDIB::drawHLine(int x0, int x1, int y, Rgb colour, float opacity) {
    if (x1 < x0) std::swap(x0, x1);
    fillRect(CRect(x0, y, x1 + 1, y + 1), colour, opacity);
}

void CDIB::drawVLine(int x, int y0, int y1, Rgb colour, float opacity) {
    if (y1 < y0) std::swap(y0, y1);
    fillRect(CRect(x, y0, x + 1, y1 + 1), colour, opacity);
}

void CDIB::blendPixel(int x, int y, Rgb colour, float a) {
    x += origin_.x;
    y += origin_.y;
    if (!clip_.pointInside({x, y})) return;
    row(y)[x] = pixel::blendColour(row(y)[x], colour, a);
}

void CDIB::blendCoverage(int x, int y, const std::uint8_t* cov, int w, int h, int covStride,
                         Rgb colour, float opacity) {
    if (!cov || opacity <= 0.f) return;
    x += origin_.x;
    y += origin_.y;
    CRect a = CRect::fromSize(x, y, w, h);
    a.bound(clip_);
    const float k = std::min(opacity, 1.f) / 255.f;
    for (int py = a.top; py < a.bottom; ++py) {
        const std::uint8_t* c = cov + static_cast<long>(py - y) * covStride - x;
        Pixel* p = row(py);
        for (int px = a.left; px < a.right; ++px)
            if (c[px]) p[px] = pixel::blendColour(p[px], colour, float(c[px]) * k);
    }
}

void CDIB::copyRect(const CBitmap& src, const CRect& srcRect, CPoint destPoint) {
    src.copyTo(*this, CRect::fromSize(destPoint.x, destPoint.y, srcRect.width(), srcRect.height()),
               srcRect.topLeft());
}

void CDIB::fillShapes(const std::vector<std::vector<float>>& polygons, Rgb colour, float opacity) {
    if (opacity <= 0.f) return;
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (const auto& p : polygons)
        for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
            if (!std::isfinite(p[i]) || !std::isfinite(p[i + 1])) return;
            minX = std::min(minX, p[i]);
            maxX = std::max(maxX, p[i]);
            minY = std::min(minY, p[i + 1]);
            maxY = std::max(maxY, p[i + 1]);
        }
    if (minX > maxX) return;
    // Very large coordinates are clamped well outside the bitmap first.
    auto clampCoord = [](float v) { return std::clamp(v, -1e6f, 1e6f); };
    CRect box(int(std::floor(clampCoord(minX) + origin_.x)), int(std::floor(clampCoord(minY) + origin_.y)),
              int(std::ceil(clampCoord(maxX) + origin_.x)) + 1, int(std::ceil(clampCoord(maxY) + origin_.y)) + 1);
    // The raster's left side carries cover from shapes that start left of the clip.
    box.bound(clip_);
    if (box.isEmpty()) return;
    CoverageRaster raster(box);
    std::vector<float> abs;
    for (const auto& p : polygons) {
        abs.resize(p.size());
        for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
            abs[i] = clampCoord(p[i]) + float(origin_.x);
            abs[i + 1] = clampCoord(p[i + 1]) + float(origin_.y);
        }
        raster.addPolygon(abs.data(), int(abs.size() / 2));
    }
    const float k = std::min(opacity, 1.f);
    raster.forEach([&](int y, int x, float cov) {
        Pixel& px = row(y)[x];
        px = pixel::blendColour(px, colour, cov * k);
    });
}

void CDIB::fillPolygon(const float* xy, int n, Rgb colour, float opacity) {
    if (!xy || n < 3) return;
    fillShapes({std::vector<float>(xy, xy + 2 * n)}, colour, opacity);
}

}  // namespace hm::gui
