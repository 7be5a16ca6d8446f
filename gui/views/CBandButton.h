#pragma once
// An on/off button for one band (layout element "BandButton"), for layouts
// that switch bands from a row of numbered buttons. Its bitmap holds one
// column per band, each as wide as the button; the button shows column `num`
// (0-based), row 0 while on and row 1 while off, two rows further down while
// its partner (the control tagged `alttag`) is on.
//
// A left press toggles the value while the pointer stays inside (outside, the
// value from before the press shows again) and reports each change within
// one gesture; a press with the right button or control goes to the partner
// as a left click; a command press is ignored.
#include "gui/framework/CControl.h"

namespace hm::gui {

class CBandButton : public CControl {
public:
    CBandButton(const CRect& size, CControlListener* listener, int tag, int num, int altTag, CBitmap* background);

    int getNum() const { return num_; }
    int getAltTag() const { return altTag_; }
    bool isOn() const { return value > (vmin + vmax) * 0.5f; }
    // The control tagged `alttag` in the same window, null when there is none.
    CControl* partner() const;
    // The bitmap row shown now.
    int currentRow() const;

    void setValue(float value) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CBandButton() override = default;

private:
    void show(float v);
    // Buttons whose partner this one is redraw with it.
    void touchDependents();

    int num_;
    int altTag_;
    float before_ = 0.f;
    bool pressed_ = false;
};

void registerBandButton();

}  // namespace hm::gui
