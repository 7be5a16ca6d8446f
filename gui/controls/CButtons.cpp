#include "gui/controls/CButtons.h"

#include <algorithm>
#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {

namespace {
bool usableClick(int buttons) { return (buttons & kLButton) && !(buttons & kApple); }
}  // namespace

COnOffButton::COnOffButton(const CRect& rect, CControlListener* l, int t, CBitmap* background, int style)
    : CControl(rect, l, t, background), style_(style) {}

void COnOffButton::draw(CDrawContext* context) {
    if (background_) {
        const int half = background_->getHeight() / 2;
        background_->draw(*context, size, CPoint(0, value >= vmax ? half : 0));
    }
    setDirty(false);
}

void toggleAndNotify(CControl* control) {
    control->beginEdit();
    control->setValue(control->getValue() >= control->getMax() ? control->getMin() : control->getMax());
    control->valueChangedNotify();
    control->endEdit();
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const int& buttons) {
    if (!usableClick(buttons)) return kMouseEventNotHandled;
    toggleAndNotify(this);
    return kMouseEventHandled;
}

CMouseEventResult COnOffButton::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

bool COnOffButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "COnOffButton") == 0 || CControl::isTypeOf(className);
}

CKickButton::CKickButton(const CRect& rect, CControlListener* l, int t, int heightOfOneImage, CBitmap* background,
                         const CPoint& offset)
    : CControl(rect, l, t, background),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : rect.height()),
      offset_(offset) {}

void CKickButton::draw(CDrawContext* context) {
    drawFilmFrame(context, background_, size, offset_, value >= vmax ? 1 : 0, heightOfOneImage_);
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint&, const int& buttons) {
    if (!usableClick(buttons)) return kMouseEventNotHandled;
    beginEdit();
    pressed_ = true;
    value = vmax;
    setDirty(true);
    valueChangedNotify();
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const int& buttons) {
    if (!pressed_) return kMouseEventNotHandled;
    if (!(buttons & kLButton)) return kMouseEventHandled;
    const float want = size.pointInside(where) ? vmax : vmin;
    if (want != value) {
        value = want;
        setDirty(true);
        valueChangedNotify();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const int&) {
    if (!pressed_) return kMouseEventNotHandled;
    pressed_ = false;
    if (value != vmin) {
        value = vmin;
        setDirty(true);
        valueChangedNotify();
    }
    endEdit();
    return kMouseEventHandled;
}

bool CKickButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CKickButton") == 0 || CControl::isTypeOf(className);
}

CMovieButton::CMovieButton(const CRect& rect, CControlListener* l, int t, int heightOfOneImage,
                           CBitmap* background, const CPoint& offset)
    : CControl(rect, l, t, background),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : rect.height()),
      offset_(offset) {}

void CMovieButton::draw(CDrawContext* context) {
    drawFilmFrame(context, background_, size, offset_, value >= vmax ? 1 : 0, heightOfOneImage_);
    setDirty(false);
}

CMouseEventResult CMovieButton::onMouseDown(CPoint&, const int& buttons) {
    if (!usableClick(buttons)) return kMouseEventNotHandled;
    beginEdit();
    pressed_ = true;
    before_ = value;
    value = value >= vmax ? vmin : vmax;
    setDirty(true);
    valueChangedNotify();
    return kMouseEventHandled;
}

CMouseEventResult CMovieButton::onMouseMoved(CPoint& where, const int& buttons) {
    if (!pressed_) return kMouseEventNotHandled;
    if (!(buttons & kLButton)) return kMouseEventHandled;
    const float toggled = before_ >= vmax ? vmin : vmax;
    const float want = size.pointInside(where) ? toggled : before_;
    if (want != value) {
        value = want;
        setDirty(true);
        valueChangedNotify();
    }
    return kMouseEventHandled;
}

CMouseEventResult CMovieButton::onMouseUp(CPoint&, const int&) {
    if (!pressed_) return kMouseEventNotHandled;
    pressed_ = false;
    endEdit();
    return kMouseEventHandled;
}

bool CMovieButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CMovieButton") == 0 || CControl::isTypeOf(className);
}

CMovieBitmap::CMovieBitmap(const CRect& rect, CControlListener* l, int t, int subPixmaps, int heightOfOneImage,
                           CBitmap* background, const CPoint& offset)
    : CControl(rect, l, t, background),
      subPixmaps_(std::max(subPixmaps, 1)),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : rect.height()),
      offset_(offset) {
    setMouseEnabled(false);
}

void CMovieBitmap::draw(CDrawContext* context) {
    drawFilmFrame(context, background_, size, offset_, currentFrame(), heightOfOneImage_);
    setDirty(false);
}

bool CMovieBitmap::isTypeOf(const char* className) const {
    return std::strcmp(className, "CMovieBitmap") == 0 || CControl::isTypeOf(className);
}

CAutoAnimation::CAutoAnimation(const CRect& rect, CControlListener* l, int t, int subPixmaps,
                               int heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(rect, l, t, background),
      subPixmaps_(std::max(subPixmaps, 1)),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : rect.height()),
      offset_(offset) {}

void CAutoAnimation::draw(CDrawContext* context) {
    drawFilmFrame(context, background_, size, offset_, frame_, heightOfOneImage_);
    setDirty(false);
}

CMouseEventResult CAutoAnimation::onMouseDown(CPoint&, const int& buttons) {
    if (!usableClick(buttons)) return kMouseEventNotHandled;
    if (opened_) closeWindow();
    else openWindow();
    return kMouseEventHandled;
}

void CAutoAnimation::openWindow() {
    if (opened_) return;
    opened_ = true;
    frame_ = 0;
    value = vmin;
    if (CFrame* f = getFrame()) f->addIdleView(this);
    setDirty(true);
    valueChangedNotify();
}

void CAutoAnimation::closeWindow() {
    if (!opened_) return;
    opened_ = false;
    if (CFrame* f = getFrame()) f->removeIdleView(this);
    setDirty(true);
    valueChangedNotify();
}

bool CAutoAnimation::removed(CView* parent) {
    if (CFrame* f = getFrame()) f->removeIdleView(this);
    opened_ = false;
    return CControl::removed(parent);
}

void CAutoAnimation::nextPixmap() {
    frame_ = (frame_ + 1) % subPixmaps_;
    value = subPixmaps_ > 1 ? vmin + (vmax - vmin) * frame_ / (subPixmaps_ - 1) : vmin;
    setDirty(true);
}

void CAutoAnimation::previousPixmap() {
    frame_ = (frame_ + subPixmaps_ - 1) % subPixmaps_;
    value = subPixmaps_ > 1 ? vmin + (vmax - vmin) * frame_ / (subPixmaps_ - 1) : vmin;
    setDirty(true);
}

bool CAutoAnimation::isTypeOf(const char* className) const {
    return std::strcmp(className, "CAutoAnimation") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
