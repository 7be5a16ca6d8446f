#pragma once
// CDIB: the drawing surface of every view. A CBitmap that can also be drawn
// into: fills, anti-aliased lines of any width, polygons, arcs and circles,
// gradients and coverage blending for text.
//
// Drawing state: coordinates given to the drawing operations are local ones,
// moved by the origin; everything is clipped to the clip rectangle (itself
// bounded by the bitmap). Containers set the origin to a child's position and
// the clip to its rectangle before asking it to draw; StateSaver restores them.
//
// Colour arithmetic: a colour c with coverage a (opacity × anti-aliasing
// coverage, 0..1) goes over the destination premultiplied:
//   out = c·a + dst·(1 − a)   for B, G, R and A alike (A with c = 255),
// so opaque surfaces stay opaque and transparent ones (skin images being
// made) gain alpha where drawn.
#include <cstdint>
#include <vector>

#include "gui/draw/CBitmap.h"

namespace hm::gui {

class CDIB : public CBitmap {
public:
    // An empty surface of the given size: all pixels 0, no alpha channel.
    CDIB(int width, int height);
    // A skin bitmap decoded from the PNG resource with that id; nullptr when
    // the id is 0, unknown or the image is corrupt. The caller owns the one
    // reference. Views should use getSkinBitmap (BitmapCache.h) instead.
    static CDIB* fromResource(int id);
    // Same from PNG bytes in memory.
    static CDIB* fromPng(const void* data, std::size_t size);

    // ---- drawing state ----
    void setOrigin(CPoint o) { origin_ = o; }
    CPoint getOrigin() const { return origin_; }
    // Clip in local coordinates (relative to the current origin); always
    // bounded by the bitmap.
    void setClipRect(const CRect& local);
    CRect getClipRect() const;  // local coordinates
    void resetClip();           // whole bitmap
    // Saves origin and clip, restores them when it goes out of scope.
    class StateSaver {
    public:
        explicit StateSaver(CDIB& d) : d_(d), origin_(d.origin_), clip_(d.clip_) {}
        ~StateSaver() { d_.origin_ = origin_; d_.clip_ = clip_; }
        StateSaver(const StateSaver&) = delete;
        StateSaver& operator=(const StateSaver&) = delete;
    private:
        CDIB& d_;
        CPoint origin_;
        CRect clip_;
    };

    // ---- filling ----
    // Sets every pixel inside the clip to p (no blending).
    void clear(Pixel p = 0);
    void fillRect(const CRect& r, Rgb colour, float opacity = 1.f);
    // Outline of width w pixels lying inside r.
    void frameRect(const CRect& r, Rgb colour, float opacity = 1.f, int w = 1);
    // Colour runs from `top` at the first row to `bottom` at the last.
    void fillGradientV(const CRect& r, Rgb top, Rgb bottom, float opacity = 1.f);
    void fillGradientH(const CRect& r, Rgb left, Rgb right, float opacity = 1.f);
    // Anti-aliased rounded rectangle covering exactly r (radius in pixels).
    void fillRoundRect(const CRect& r, float radius, Rgb colour, float opacity = 1.f);
    // Anti-aliased outline of width w inside r.
    void frameRoundRect(const CRect& r, float radius, Rgb colour, float opacity = 1.f,
                        float w = 1.f);
    void fillCircle(float cx, float cy, float radius, Rgb colour, float opacity = 1.f);
    // Non-zero winding polygon with anti-aliased edges; xy holds n points.
    void fillPolygon(const float* xy, int n, Rgb colour, float opacity = 1.f);

    // ---- lines ----
    // Pixel centres sit at integer + 0.5: a 1-pixel line from (x0, y + 0.5) to
    // (x1, y + 0.5) lights exactly row y. Lines that run exactly horizontally
    // or vertically with pixel-aligned edges are drawn without anti-aliasing;
    // all others with exact area coverage of a box of the given width
    // (butt ends).
    void drawLine(float x0, float y0, float x1, float y1, Rgb colour, float opacity = 1.f,
                  float width = 1.f);
    // Joined segments (round joins); xy holds n points.
    void drawPolyline(const float* xy, int n, Rgb colour, float opacity = 1.f,
                      float width = 1.f);
    // Integer helpers that include both end points: row y from x0 to x1, column x.
    void drawHLine(int x0, int x1, int y, Rgb colour, float opacity = 1.f);
    void drawVLine(int x, int y0, int y1, Rgb colour, float opacity = 1.f);
    // Circular arc of radius r (to the middle of the stroke) from angle a0 to
    // a1 (radians, 0 = straight up, growing clockwise), stroke width w.
    void drawArc(float cx, float cy, float r, float a0, float a1, Rgb colour,
                 float opacity = 1.f, float w = 1.f);

    // ---- single pixels and coverage ----
    // Blends colour over one pixel with coverage a (0..1).
    void blendPixel(int x, int y, Rgb colour, float a);
    // Blends colour over a w × h block with 8-bit coverage (row stride in
    // bytes) scaled by opacity; (x, y) is the block's top-left.
    void blendCoverage(int x, int y, const std::uint8_t* cov, int w, int h, int covStride,
                       Rgb colour, float opacity = 1.f);
    // Copies src's rectangle srcRect to destPoint (4 bytes a pixel, no blending).
    void copyRect(const CBitmap& src, const CRect& srcRect, CPoint destPoint);

    // Absolute clip rectangle (bitmap coordinates); used by the bitmap
    // drawing in CBitmap.
    const CRect& absoluteClip() const { return clip_; }

protected:
    ~CDIB() override = default;

private:
    void blendSpan(int y, int x0, int x1, Rgb colour, float a);  // absolute coords, clipped
    // Fills the union of polygons given in local coordinates (one list of
    // x, y pairs each), each pixel blended once with its coverage.
    void fillShapes(const std::vector<std::vector<float>>& polygons, Rgb colour, float opacity);

    CPoint origin_;
    CRect clip_;
};

}  // namespace hm::gui
