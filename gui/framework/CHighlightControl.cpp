#include "gui/framework/CHighlightControl.h"

#include "gui/draw/CDIB.h"

namespace hm::gui {

void CHighlightControl::initOutline(int thickness, std::uint32_t argb) {
    outline_ = true;
    amount_ = thickness < 1 ? 1 : thickness;
    colour_ = argb;
}

void CHighlightControl::initFill(int inset, std::uint32_t argb) {
    outline_ = false;
    amount_ = inset < 0 ? 0 : inset;
    colour_ = argb;
}

void CHighlightControl::draw(CDIB& context, const CRect& rect) const {
    const float opacity = static_cast<float>(colour_ >> 24) / 255.f;
    const Rgb rgb = colour_ & 0xFFFFFFu;
    if (opacity <= 0.f) return;
    if (outline_) {
        context.frameRect(rect, rgb, opacity, amount_);
    } else {
        CRect r = rect;
        r.inset(amount_, amount_);
        if (!r.isEmpty()) context.fillRect(r, rgb, opacity);
    }
}

}  // namespace hm::gui
