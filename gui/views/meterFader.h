#pragma once
// meterFader: the gain fader of a meter strip: a vertical slider with the
// fader-cap bitmap (607), outlined while the pointer is over it or it is
// dragged. A double click, or a left press with the reset role, returns the
// parameter's default; the fine role drags in fine mode.
#include "gui/controls/CSlider.h"
#include "gui/framework/CHighlightControl.h"

namespace hm::gui {

class meterFader : public CVerticalSlider, public CHighlightControl {
public:
    meterFader(const CRect& size, CControlListener* listener, int tag);

    // The cap's travel follows the fader's height.
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    void draw(CDrawContext* context) override;
    void onMouseEntered(CPoint& where, const int& buttons) override;
    void onMouseExited(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~meterFader() override = default;

private:
    bool hovered_ = false;
};

}  // namespace hm::gui
