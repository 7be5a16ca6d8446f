#pragma once
// Buttons and film-strip displays.
//
// COnOffButton: a left click toggles between minimum and maximum; its bitmap
//   holds the off picture above the on picture, each half the bitmap high.
// CKickButton: momentary; the maximum while pressed with the pointer inside,
//   the minimum when released (the listener hears both). Pictures: up, down.
// CMovieButton: a left click toggles; dragging outside before release takes the
//   toggle back. Pictures: off, on.
// CMovieBitmap: shows the film-strip picture for its value; takes no clicks.
// CAutoAnimation: a click starts or stops an animation that steps through the
//   film strip on every idle pass of the frame.
#include "gui/controls/ControlStyles.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

// Flips a two-state control between its minimum and maximum and tells the
// listener, inside one begin/end edit.
void toggleAndNotify(CControl* control);

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
                 int style = 0);
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~COnOffButton() override = default;
    int style_;
};

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int tag, int heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CKickButton() override = default;
    int heightOfOneImage_;
    CPoint offset_;
    bool pressed_ = false;
};

class CMovieButton : public CControl {
public:
    CMovieButton(const CRect& size, CControlListener* listener, int tag, int heightOfOneImage,
                 CBitmap* background, const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CMovieButton() override = default;
    int heightOfOneImage_;
    CPoint offset_;
    float before_ = 0.f;
    bool pressed_ = false;
};

class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                 int heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    int currentFrame() const { return filmFrameForValue(value, vmin, vmax, subPixmaps_); }

protected:
    ~CMovieBitmap() override = default;
    int subPixmaps_;
    int heightOfOneImage_;
    CPoint offset_;
};

class CAutoAnimation : public CControl {
public:
    CAutoAnimation(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                   int heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    void onIdle() override { nextPixmap(); }
    bool removed(CView* parent) override;
    bool isTypeOf(const char* className) const override;

    void openWindow();
    void closeWindow();
    bool isWindowOpened() const { return opened_; }
    // Next / previous picture, wrapping around.
    void nextPixmap();
    void previousPixmap();
    int currentFrame() const { return frame_; }

protected:
    ~CAutoAnimation() override = default;
    int subPixmaps_;
    int heightOfOneImage_;
    CPoint offset_;
    int frame_ = 0;
    bool opened_ = false;
};

}  // namespace hm::gui
