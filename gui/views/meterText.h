#pragma once
// meterText: one meter's value as text under its bar ("-" for silence, else
// the level in dBFS to a tenth), in white on a dark field. Holding the left
// button on it freezes the text, so a reading can be taken while it moves.
#include <string>

#include "gui/draw/Fonts.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class nVU;

class meterText : public CControl {
public:
    meterText(const CRect& size, CControlListener* listener, int tag, int fontId = 101);

    // Formats the value unless frozen.
    void setValue(float value) override;
    const std::string& text() const { return text_; }
    // The master section's readings also feed one channel of its stereo meter
    // (the editor sends the master levels under these readings' tags).
    void feedMeter(nVU* meter, int channel) { meter_ = meter; meterChannel_ = channel; }
    bool frozen() const { return frozen_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~meterText() override = default;

private:
    std::string text_ = "-";
    bool frozen_ = false;
    nVU* meter_ = nullptr;  // a sibling, owned by the same container
    int meterChannel_ = 0;
    StripFont font_;
};

}  // namespace hm::gui
