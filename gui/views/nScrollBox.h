#pragma once
// A page whose content may be taller than the page: its rightmost 13 pixels
// are a scroll bar (pressing there drags the position), the wheel scrolls by
// a tenth per notch, and a change of size returns to the top. The content is
// the bounding box of the shown children plus 20 pixels; scrolling moves
// every child by the pixel difference.
#include <algorithm>

#include "gui/framework/nPage.h"

namespace hm::gui {

class nScrollBox : public nPage {
public:
    static constexpr int kBarWidth = 13;
    static constexpr int kContentMargin = 20;
    static constexpr float kWheelStep = 0.1f;

    nScrollBox(const CRect& size, int tag, int pagenumber, CBitmap* background = nullptr);

    float getScroll() const { return scroll_; }
    // Position 0 (top) .. 1 (bottom), clamped; 0 whenever the content fits.
    void setScroll(float fraction);
    // Height of the content at position 0 (pixels).
    int contentHeight() const;

    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    // The vertical wheel scrolls the box, whatever lies under the pointer.
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const int& buttons) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nScrollBox() override = default;

private:
    int overflow() const { return std::max(0, contentHeight() - size.height()); }
    void scrollFromPointer(const CPoint& where);
    void moveChildren(int dy);

    float scroll_ = 0.f;
    int offset_ = 0;  // pixels the children are moved up
    bool draggingBar_ = false;
};

void registerScrollBox();

}  // namespace hm::gui
