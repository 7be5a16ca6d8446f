#pragma once
// Film-strip buttons of the layout (pictures stacked: off/up, then on/down):
//   CMovieButton3  a toggle that answers the left button only; other buttons
//                  fall through to the views beneath;
//   CMovieButton4  a toggle whose value flips on each left press and is
//                  reported at once (no take-back by dragging away);
//   nKickButton2   a momentary button that can be disabled (drawn dimmed,
//                  clicks fall through);
//   SpecialArrows  the scale tray's tab: momentary like a kick button, its
//                  picture shows whether the tray is open (flips on each
//                  press; the editor may set it).
#include "gui/controls/CButtons.h"

namespace hm::gui {

class CMovieButton4 : public CMovieButton {
public:
    using CMovieButton::CMovieButton;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CMovieButton4() override = default;
};

class nKickButton2 : public CKickButton {
public:
    using CKickButton::CKickButton;
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nKickButton2() override = default;

private:
    bool enabled_ = true;
};

class SpecialArrows : public CKickButton {
public:
    using CKickButton::CKickButton;
    void setOpen(bool open);
    bool isOpen() const { return open_; }
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~SpecialArrows() override = default;

private:
    bool open_ = false;
};

void registerButtonViews();

}  // namespace hm::gui
