#pragma once
// A bitmap: width × height pixels, 32 bits each (bytes B, G, R, A in memory),
// rows top-down with a stride of width × 4 bytes. A bitmap with an alpha
// channel (skin images with transparency) holds premultiplied colour and is
// drawn source-over; one without (the views' own buffers, opaque skins) is
// drawn with a plain copy. All drawing goes into a CDIB and is clipped to the
// destination's clip rectangle and placed by its origin.
#include <vector>

#include "gui/draw/BaseObject.h"
#include "gui/draw/Geometry.h"

namespace hm::gui {

class CDIB;

class CBitmap : public CBaseObject {
public:
    // Pixels start as 0 (transparent black). Sizes below 0 count as 0.
    CBitmap(int width, int height, bool hasAlpha = false);

    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    int stride() const { return width_ * 4; }  // bytes per row
    bool hasAlpha() const { return hasAlpha_; }
    void setHasAlpha(bool a) { hasAlpha_ = a; }

    Pixel* pixels() { return pixels_.data(); }
    const Pixel* pixels() const { return pixels_.data(); }
    Pixel* row(int y) { return pixels_.data() + static_cast<long>(y) * width_; }
    const Pixel* row(int y) const { return pixels_.data() + static_cast<long>(y) * width_; }
    // 0 outside the bitmap.
    Pixel getPixel(int x, int y) const;

    // Draws the part of this bitmap that starts at srcOffset, sized like
    // destRect, into destRect of dest: alpha-blended at full opacity when the
    // bitmap has an alpha channel, a plain copy otherwise (film strips pass the
    // frame's top-left as srcOffset).
    void draw(CDIB& dest, const CRect& destRect, CPoint srcOffset = {}) const;
    // Source over with per-pixel alpha times a constant opacity 0..255. A
    // bitmap without alpha channel counts as opaque.
    void drawAlphaBlend(CDIB& dest, const CRect& destRect, CPoint srcOffset = {},
                        int opacity = 255) const;
    // Copies every pixel whose colour (0xRRGGBB, alpha ignored) differs from key.
    void drawTransparent(CDIB& dest, const CRect& destRect, CPoint srcOffset, Rgb key) const;
    // Copies all four bytes of each pixel, whatever the alpha channel says.
    void copyTo(CDIB& dest, const CRect& destRect, CPoint srcOffset = {}) const;

protected:
    ~CBitmap() override = default;

private:
    int width_ = 0;
    int height_ = 0;
    bool hasAlpha_ = false;
    std::vector<Pixel> pixels_;
};

}  // namespace hm::gui
