#pragma once
// The band value text: the parameter's display text, edited in place.
// A press names its band to the editor (kGUIBandPressed); a left click with shift and control shows frequencies as note names (and
// back); a left click with the alternate or reset role returns the default;
// a double click starts typing (the editor reads the text, with note names
// while they are shown); any other press drags the value like a knob (right
// button or fine role: fine); the wheel steps like the band knob.
// Typed text the editor refuses leaves the value as it was; the field shows
// why, in red, until its value changes or it is touched again.
// CEQTextG is the same text in 0x999999 that names no band.
#include <string>

#include "gui/controls/CParamDisplay.h"
#include "gui/controls/LinearDrag.h"
#include "gui/framework/CHighlightControl.h"
#include "gui/framework/nControlMouse.h"
#include "gui/framework/nTintable.h"

namespace hm::gui {

class CEQText : public CTextEdit, public CHighlightControl, public nControlMouse, public nTintable {
public:
    static constexpr float kDragTravel = 200.f;
    static constexpr float kFineZoom = 10.f;

    // band: 0..31, or −1 when the text selects no band. fontId: strip font
    // (101 or 102).
    CEQText(const CRect& size, CControlListener* listener, int tag, int band, int fontId = 101,
            CBitmap* background = nullptr);

    int getBand() const { return band_; }
    bool getAlternateDisplay() const { return alternate_; }
    void setAlternateDisplay(bool on);
    // Report to the listener after a typed entry was applied (off by default:
    // the editor applies typed text itself).
    void setNotify(bool on) { notify_ = on; }
    // Typing starts from the display text without its leading run of digits,
    // spaces and minus signs (strip prefix) / cut at the first character that
    // is not a digit, "." or "-" (numbers only).
    void setStripPrefix(bool on) { stripPrefix_ = on; }
    void setNumbersOnly(bool on) { numbersOnly_ = on; }
    // The text typing starts from.
    std::string editText() const;
    // Why the last typed text was refused ("" when it was not, or no longer shows).
    const std::string& refusal() const { return refusal_; }
    void setValue(float value) override;

    std::string displayText() const override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    void onMouseEntered(CPoint& where, const int& buttons) override;
    void onMouseExited(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    void takeFocus() override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CEQText() override = default;
    void commitEdit(const std::string& typed) override;

private:
    int band_;
    bool alternate_ = false;
    bool notify_ = false;
    bool stripPrefix_ = false;
    bool numbersOnly_ = false;
    bool hovered_ = false;
    bool dragging_ = false;
    LinearDrag drag_;
    std::string refusal_;
};

class CEQTextG : public CEQText {
public:
    static constexpr Rgb kColour = 0x999999;
    CEQTextG(const CRect& size, CControlListener* listener, int tag);
    bool isTypeOf(const char* className) const override;

protected:
    ~CEQTextG() override = default;
};

void registerEQText();

}  // namespace hm::gui
