#include "gui/controls/CDisplays.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {

CVuMeter::CVuMeter(const CRect& rect, CBitmap* onBitmap, CBitmap* offBitmap, int nbLed, int style)
    : CControl(rect, nullptr, -1), on_(onBitmap), off_(offBitmap), nbLed_(std::max(nbLed, 1)), style_(style) {
    if (on_) on_->retain();
    if (off_) off_->retain();
    setMouseEnabled(false);
}

CVuMeter::~CVuMeter() {
    if (on_) on_->release();
    if (off_) off_->release();
}

void CVuMeter::setValue(float val) {
    if (!std::isfinite(val)) return;
    // Rise at once, fall gradually.
    if (val < value - decreaseValue_) val = value - decreaseValue_;
    CControl::setValue(val);
    bounceValue();
}

int CVuMeter::litSegments() const {
    return static_cast<int>(getValueNormalized() * static_cast<float>(nbLed_) + 0.5f);
}

void CVuMeter::draw(CDrawContext* context) {
    const int lit = litSegments();
    const bool vertical = (style_ & kHorizontal) == 0;
    const int length = vertical ? size.height() : size.width();
    const int litPixels = length * lit / nbLed_;
    CRect litRect = size, offRect = size;
    if (vertical) {
        litRect.top = size.bottom - litPixels;
        offRect.bottom = litRect.top;
    } else {
        litRect.right = size.left + litPixels;
        offRect.left = litRect.right;
    }
    auto part = [&](CBitmap* bmp, const CRect& r, Rgb fallback) {
        if (r.isEmpty()) return;
        if (bmp) bmp->draw(*context, r, CPoint(r.left - size.left, r.top - size.top));
        else context->fillRect(r, fallback);
    };
    if (on_ || off_) {
        part(off_, offRect, 0x1C2A1C);
        part(on_, litRect, 0x3FD46A);
    } else {
        // No skin: segments green, then amber, then red towards the top, with gaps.
        for (int i = 0; i < nbLed_; ++i) {
            const int a = length * i / nbLed_, b = length * (i + 1) / nbLed_;
            CRect seg = vertical ? CRect(size.left, size.bottom - b + 1, size.right, size.bottom - a)
                                 : CRect(size.left + a, size.top, size.left + b - 1, size.bottom);
            const float pos = static_cast<float>(i) / nbLed_;
            const Rgb colour = pos >= 0.85f ? 0xE5483B : (pos >= 0.65f ? 0xE8B83A : 0x3FD46A);
            context->fillRect(seg, colour, i < lit ? 1.f : 0.16f);
        }
    }
    setDirty(false);
}

bool CVuMeter::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVuMeter") == 0 || CControl::isTypeOf(className);
}

CSpecialDigit::CSpecialDigit(const CRect& rect, CControlListener* l, int t, int val, int numbers, const int* xpos,
                             const int* ypos, int width, int height, CBitmap* background)
    : CControl(rect, l, t, background),
      numbers_(std::clamp(numbers, 1, kMaxDigits)),
      width_(width > 0 ? width : rect.width() / std::clamp(numbers, 1, kMaxDigits)),
      height_(height > 0 ? height : rect.height()) {
    for (int i = 0; i < numbers_; ++i) {
        xpos_[i] = xpos ? xpos[i] : i * width_;
        ypos_[i] = ypos ? ypos[i] : 0;
    }
    vmin = 0.f;
    vmax = static_cast<float>(std::pow(10.0, numbers_) - 1.0);
    value = static_cast<float>(val);
    bounceValue();
    setMouseEnabled(false);
}

int CSpecialDigit::digitAt(int i) const {
    if (i < 0 || i >= numbers_) return 0;
    long v = std::lround(std::clamp(value, vmin, vmax));
    for (int k = numbers_ - 1; k > i; --k) v /= 10;
    return static_cast<int>(v % 10);
}

void CSpecialDigit::draw(CDrawContext* context) {
    for (int i = 0; i < numbers_; ++i) {
        const CRect r = CRect::fromSize(size.left + xpos_[i], size.top + ypos_[i], width_, height_);
        drawFilmFrame(context, background_, r, CPoint(), digitAt(i), height_);
    }
    setDirty(false);
}

bool CSpecialDigit::isTypeOf(const char* className) const {
    return std::strcmp(className, "CSpecialDigit") == 0 || CControl::isTypeOf(className);
}

class CSplashScreen::SplashView : public CView {
public:
    SplashView(CSplashScreen* owner, const CRect& rect, CBitmap* bmp, CPoint offset)
        : CView(rect), owner_(owner), offset_(offset) {
        setBackground(bmp);
    }
    void draw(CDrawContext* context) override {
        if (background_) background_->draw(*context, size, offset_);
        setDirty(false);
    }
    CMouseEventResult onMouseDown(CPoint&, const int& buttons) override {
        if (!(buttons & kLButton)) return kMouseEventHandled;  // modal: swallow other buttons
        if (owner_) owner_->unSplash();
        return kMouseEventNotHandled;  // gone: nothing left to capture the mouse
    }
    void forget() { owner_ = nullptr; }

private:
    CSplashScreen* owner_;
    CPoint offset_;
};

CSplashScreen::CSplashScreen(const CRect& rect, CControlListener* l, int t, CBitmap* background,
                             const CRect& toDisplay, const CPoint& offset)
    : CControl(rect, l, t, background), toDisplay_(toDisplay), offset_(offset) {
    // The display rectangle may be written corner to corner in any order.
    if (toDisplay_.left > toDisplay_.right) std::swap(toDisplay_.left, toDisplay_.right);
    if (toDisplay_.top > toDisplay_.bottom) std::swap(toDisplay_.top, toDisplay_.bottom);
}

CSplashScreen::~CSplashScreen() {
    if (splash_) static_cast<SplashView*>(splash_)->forget();
}

void CSplashScreen::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    CFrame* frame = getFrame();
    if (!frame || splash_) return kMouseEventNotHandled;
    splash_ = new SplashView(this, toDisplay_, background_, offset_);
    frame->setModalView(splash_);
    value = vmax;
    setDirty(true);
    valueChangedNotify();
    return kMouseEventHandled;
}

void CSplashScreen::unSplash() {
    if (!splash_) return;
    CView* view = splash_;
    splash_ = nullptr;
    static_cast<SplashView*>(view)->forget();
    if (CFrame* frame = getFrame(); frame && frame->getModalView() == view) frame->setModalView(nullptr);
    value = vmin;
    setDirty(true);
    valueChangedNotify();
}

bool CSplashScreen::removed(CView* parent) {
    unSplash();
    return CControl::removed(parent);
}

bool CSplashScreen::isTypeOf(const char* className) const {
    return std::strcmp(className, "CSplashScreen") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
