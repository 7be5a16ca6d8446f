#pragma once
// The band's type button in a strip: the type's picture (skin 401) in a ring
// (402) that shows whether the band is on or bypassed, on while in the band's
// colour. A press with the right button, control or command opens the type
// menu (with the subtypes as sub-menus when "Subtype menu" is on); any other
// left press goes to the embedded on/off button, which toggles the band
// between on and bypassed. Its value is the band's Type (normalised);
// hovering it selects the band.
//
// CBypassButton is that on/off button: a control of its own for the band's
// State, so the editor's value traffic reaches it; it lies under the type
// button, draws nothing and is pressed through it.
#include <memory>

#include "gui/controls/COptionMenu.h"

namespace hm::gui {

class MenuPopup;

class CBypassButton : public CControl {
public:
    CBypassButton(const CRect& size, CControlListener* listener, int band);
    int getBand() const { return band_; }
    // 0 off, 1 bypassed, 2 on.
    int state() const;
    // On becomes bypassed and bypassed on (a band that is off stays off);
    // reported inside its own begin/end edit.
    void toggle();
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CBypassButton() override = default;

private:
    int band_;
};

class CTypeButton : public CControl {
public:
    // `bypass` is the band's on/off button (retained).
    CTypeButton(const CRect& size, CControlListener* listener, int band, CBypassButton* bypass);

    int getBand() const { return band_; }
    int type() const;  // 1..6
    CBypassButton* bypassButton() const { return bypass_; }
    // The band's control mask (1 gain, 2 frequency, 4 Q, 8 extra, 16 slope).
    void setControlMask(int mask) { controlMask_ = mask; }
    int getControlMask() const { return controlMask_; }
    void setSubtypeMenu(bool on) { subtypeMenu_ = on; }
    bool hasSubtypeMenu() const { return subtypeMenu_; }

    // Opens the type menu below the button; false without a window.
    bool openTypeMenu();
    bool isMenuOpen() const;
    // The menu as last built (entries for tests and tools).
    const COptionMenu* typeMenu() const { return menu_; }
    // Applies a choice of the type menu: the Type, then the Subtype when one was chosen.
    void chooseType(int type, int subtype);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CTypeButton() override;

private:
    int band_;
    CBypassButton* bypass_;
    COptionMenu* menu_;
    std::unique_ptr<MenuPopup> popup_;
    int controlMask_ = 0;
    bool subtypeMenu_ = false;
};

}  // namespace hm::gui
