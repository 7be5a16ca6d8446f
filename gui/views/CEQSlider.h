#pragma once
// The scale tray's sliders: framework sliders (handle travel from the handle
// offset) that show their value as text in strip font 101 beside the handle.
// The label mode follows the "Slider Labels" preference: kLabelOn always,
// kLabelOff never, kLabelHover while the pointer is over the slider or it
// is being dragged.
#include "gui/controls/CSlider.h"
#include "gui/draw/Fonts.h"

namespace hm::gui {

class CEQSlider : public CSlider {
public:
    static constexpr int kLabelOn = 0;
    static constexpr int kLabelOff = 2;
    static constexpr int kLabelHover = 5;

    CEQSlider(const CRect& size, CControlListener* listener, int tag, const CPoint& offsetHandle, int rangeHandle,
              CBitmap* handle, CBitmap* background, const CPoint& offset, int style);

    void setLabelMode(int mode);
    int getLabelMode() const { return labelMode_; }
    bool labelShown() const;

    void draw(CDrawContext* context) override;
    void onMouseEntered(CPoint& where, const int& buttons) override;
    void onMouseExited(CPoint& where, const int& buttons) override;
    void endEdit() override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CEQSlider() override = default;

private:
    void drawLabel(CDrawContext* context);

    StripFont labelFont_;
    int labelMode_ = kLabelHover;
    bool hovered_ = false;
};

void registerSliderViews();

}  // namespace hm::gui
