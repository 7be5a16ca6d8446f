#pragma once
// Display controls.
//
// CVuMeter: `nbLed` segments lit from the bottom (vertical) or the left
//   (horizontal) in proportion to the value, drawn from an "on" and an "off"
//   bitmap (or plain coloured segments without bitmaps). A falling value drops
//   at most `decreaseValue` per update, so peaks stay visible a moment.
// CSpecialDigit: an integer value shown digit by digit from a strip of ten
//   pictures (0 to 9, heightOfOneImage apart).
// CSplashScreen: a click shows the background bitmap above the whole editor in
//   the display rectangle (frame coordinates); while it shows it takes every
//   click, and the next left click (anywhere) hides it again.
#include "gui/controls/ControlStyles.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class CVuMeter : public CControl {
public:
    CVuMeter(const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int nbLed, int style = kVertical);

    void setValue(float val) override;
    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    void setDecreaseStepValue(float v) { decreaseValue_ = v; }
    int getNbLed() const { return nbLed_; }
    // Segments lit for the current value.
    int litSegments() const;

protected:
    ~CVuMeter() override;

private:
    CBitmap* on_ = nullptr;
    CBitmap* off_ = nullptr;
    int nbLed_;
    int style_;
    float decreaseValue_ = 0.1f;
};

class CSpecialDigit : public CControl {
public:
    // xpos/ypos: each digit's top-left inside the control (null: side by side).
    CSpecialDigit(const CRect& size, CControlListener* listener, int tag, int value, int numbers,
                  const int* xpos, const int* ypos, int width, int height, CBitmap* background);

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    int getNumbers() const { return numbers_; }
    // Digit shown at position i (0 = leftmost).
    int digitAt(int i) const;

protected:
    ~CSpecialDigit() override = default;

private:
    static constexpr int kMaxDigits = 7;
    int numbers_;
    int xpos_[kMaxDigits] = {};
    int ypos_[kMaxDigits] = {};
    int width_, height_;
};

class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* className) const override;
    bool isSplashShown() const { return splash_ != nullptr; }
    const CRect& displayRect() const { return toDisplay_; }
    void unSplash();

protected:
    ~CSplashScreen() override;

private:
    class SplashView;
    CRect toDisplay_;
    CPoint offset_;
    CView* splash_ = nullptr;
};

}  // namespace hm::gui
