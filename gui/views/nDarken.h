#pragma once
// The cover behind a modal panel: while its value is not 0 it darkens its
// whole rectangle (black at 153/255) and takes every click and wheel turn;
// a click sets its value to 0 and tells the listener (closing the panel).
// At 0 it draws nothing and lets everything through.
#include "gui/framework/CControl.h"

namespace hm::gui {

class nDarken : public CControl {
public:
    static constexpr int kOpacity = 153;  // of 255

    nDarken(const CRect& size, CControlListener* listener, int tag);

    bool isCovering() const { return value != 0.f; }
    void draw(CDrawContext* context) override;
    bool hitTest(const CPoint& where, const int& buttons = -1) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nDarken() override = default;
};

void registerDarken();

}  // namespace hm::gui
