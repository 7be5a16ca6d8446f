#pragma once
// The band knob: a film-strip knob (skin bitmap 700) for one band setting.
// Touching or hovering it selects its band (kGUISelectedBand + band); a
// double click or a left click with the reset or alternate role returns the
// parameter to its default; a right-button drag is a fine drag; the wheel
// moves by the user's wheel step in hundredths of the range.
#include "gui/controls/CKnob.h"
#include "gui/framework/CHighlightControl.h"

namespace hm::gui {

class CEQKnob : public CAnimKnob, public CHighlightControl {
public:
    // band: 0..31, or −1 for a knob not linked to a band.
    CEQKnob(const CRect& size, CControlListener* listener, int tag, int band);

    int getBand() const { return band_; }
    // Drawn with the highlight (the editor marks the knobs of selected bands).
    void setHighlighted(bool on);
    bool isHighlighted() const { return highlighted_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CEQKnob() override = default;

private:
    int band_;
    bool highlighted_ = false;
};

void registerEQKnob();

}  // namespace hm::gui
