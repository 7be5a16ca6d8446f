#pragma once
// A highlight drawn over a control (hover or selection): either an outline of a
// given thickness or a translucent fill inset into the control's rectangle.
// Colours are four bytes 0xAARRGGBB, the alpha byte being the opacity.
#include <cstdint>

#include "gui/draw/Geometry.h"

namespace hm::gui {

class CDIB;

class CHighlightControl {
public:
    virtual ~CHighlightControl() = default;
    // Outline `thickness` pixels wide inside the rectangle.
    virtual void initOutline(int thickness, std::uint32_t argb);
    // Fill of the rectangle shrunk by `inset` pixels on every side.
    virtual void initFill(int inset, std::uint32_t argb);
    virtual void draw(CDIB& context, const CRect& rect) const;

    bool isOutline() const { return outline_; }
    int amount() const { return amount_; }
    std::uint32_t colour() const { return colour_; }

private:
    int amount_ = 1;
    std::uint32_t colour_ = 0xFFFFFFFFu;
    bool outline_ = true;
};

}  // namespace hm::gui
