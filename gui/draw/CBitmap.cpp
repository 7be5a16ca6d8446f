#include "gui/draw/CBitmap.h"

#include <algorithm>

#include "gui/draw/CDIB.h"
#include "gui/draw/PixelMath.h"

namespace hm::gui {

CBitmap::CBitmap(int width, int height, bool hasAlpha)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      hasAlpha_(hasAlpha),
      pixels_(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), 0u) {}

Pixel CBitmap::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return row(y)[x];
}

namespace {

// The overlap of a draw request: destination (absolute) and source top-left
// and the size that both the destination clip and the source bounds allow.
struct Span {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};

Span mapDraw(const CBitmap& src, const CDIB& dest, const CRect& destRect, CPoint srcOffset) {
    CRect d = destRect;
    d.offset(dest.getOrigin().x, dest.getOrigin().y);
    CRect visible = d;
    visible.bound(dest.absoluteClip());
    // Source rectangle mapped into destination coordinates.
    CRect srcInDest = CRect::fromSize(d.left - srcOffset.x, d.top - srcOffset.y, src.getWidth(),
                                      src.getHeight());
    visible.bound(srcInDest);
    Span s;
    if (visible.isEmpty()) return s;
    s.dx = visible.left;
    s.dy = visible.top;
    s.sx = visible.left - d.left + srcOffset.x;
    s.sy = visible.top - d.top + srcOffset.y;
    s.w = visible.width();
    s.h = visible.height();
    return s;
}

}  // namespace

void CBitmap::draw(CDIB& dest, const CRect& destRect, CPoint srcOffset) const {
    if (hasAlpha_)
        drawAlphaBlend(dest, destRect, srcOffset, 255);
    else
        copyTo(dest, destRect, srcOffset);
}

void CBitmap::copyTo(CDIB& dest, const CRect& destRect, CPoint srcOffset) const {
    const Span s = mapDraw(*this, dest, destRect, srcOffset);
    for (int y = 0; y < s.h; ++y)
        std::copy_n(row(s.sy + y) + s.sx, s.w, dest.row(s.dy + y) + s.dx);
}

void CBitmap::drawAlphaBlend(CDIB& dest, const CRect& destRect, CPoint srcOffset,
                             int opacity) const {
    opacity = std::clamp(opacity, 0, 255);
    if (opacity == 0) return;
    const Span s = mapDraw(*this, dest, destRect, srcOffset);
    for (int y = 0; y < s.h; ++y) {
        const Pixel* sp = row(s.sy + y) + s.sx;
        Pixel* dp = dest.row(s.dy + y) + s.dx;
        for (int x = 0; x < s.w; ++x) {
            const Pixel p = hasAlpha_ ? sp[x] : (sp[x] | 0xFF000000u);
            dp[x] = pixel::blendPremultiplied(dp[x], p, opacity);
        }
    }
}

void CBitmap::drawTransparent(CDIB& dest, const CRect& destRect, CPoint srcOffset, Rgb key) const {
    key &= 0xFFFFFFu;
    const Span s = mapDraw(*this, dest, destRect, srcOffset);
    for (int y = 0; y < s.h; ++y) {
        const Pixel* sp = row(s.sy + y) + s.sx;
        Pixel* dp = dest.row(s.dy + y) + s.dx;
        for (int x = 0; x < s.w; ++x)
            if ((sp[x] & 0xFFFFFFu) != key) dp[x] = sp[x] | 0xFF000000u;
    }
}

}  // namespace hm::gui
