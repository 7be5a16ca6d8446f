#include "gui/views/CBandButton.h"

#include <cstring>

#include "gui/draw/CBitmap.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"

namespace hm::gui {

CBandButton::CBandButton(const CRect& rect, CControlListener* l, int t, int num, int altTag, CBitmap* background)
    : CControl(rect, l, t, background), num_(num < 0 ? 0 : num), altTag_(altTag) {}

CControl* CBandButton::partner() const {
    CFrame* frame = getFrame();
    if (!frame || altTag_ < 0) return nullptr;
    CControl* found = nullptr;
    frame->forEachDescendant([&](CView* v) {
        auto* c = dynamic_cast<CControl*>(v);
        if (!found && c && c != this && c->getTag() == altTag_) found = c;
    });
    return found;
}

int CBandButton::currentRow() const {
    const CControl* p = partner();
    const bool partnerOn = p && p->getValue() > (p->getMin() + p->getMax()) * 0.5f;
    return (isOn() ? 0 : 1) + (partnerOn ? 2 : 0);
}

void CBandButton::touchDependents() {
    CFrame* frame = getFrame();
    if (!frame) return;
    frame->forEachDescendant([this](CView* v) {
        if (auto* b = dynamic_cast<CBandButton*>(v); b && b != this && b->altTag_ == tag) b->setDirty(true);
    });
}

void CBandButton::setValue(float v) {
    const bool was = isOn();
    CControl::setValue(v);
    if (isOn() != was) touchDependents();
}

void CBandButton::show(float v) {
    if (v == value) return;
    setValue(v);
    valueChangedNotify();
}

void CBandButton::draw(CDrawContext* context) {
    if (background_) {
        const int w = size.width(), h = size.height();
        background_->drawAlphaBlend(*context, size, CPoint(num_ * w, currentRow() * h));
    } else {
        context->fillRect(size, isOn() ? 0x3DB2E8 : 0x30353D);
    }
    setDirty(false);
}

CMouseEventResult CBandButton::onMouseDown(CPoint&, const int& buttons) {
    if (buttons & kApple) return kMouseEventNotHandled;
    if ((buttons & kRButton) || ((buttons & kLButton) && (buttons & kControl))) {
        if (CControl* p = partner()) {
            // A left click on the partner, at its own centre.
            const CRect r = p->getViewSize();
            CPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            const int click = kLButton | (buttons & kShift);
            if (p->onMouseDown(at, click) == kMouseEventHandled) p->onMouseUp(at, click);
        }
        return kMouseEventHandled;
    }
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    before_ = value;
    pressed_ = true;
    beginEdit();
    show(isOn() ? vmin : vmax);
    return kMouseEventHandled;
}

CMouseEventResult CBandButton::onMouseMoved(CPoint& where, const int& buttons) {
    if (!pressed_) return kMouseEventNotHandled;
    if (buttons & kLButton) {
        const bool on = before_ > (vmin + vmax) * 0.5f;
        show(size.pointInside(where) ? (on ? vmin : vmax) : before_);
    }
    return kMouseEventHandled;
}

CMouseEventResult CBandButton::onMouseUp(CPoint&, const int&) {
    if (pressed_) {
        pressed_ = false;
        endEdit();
    }
    return kMouseEventHandled;
}

bool CBandButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CBandButton") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makeBandButton(const ViewRequest& r) {
    return new CBandButton(r.rect, r.listener, r.tag, r.integer("num"), r.tagNamed("alttag"), r.bitmap("background"));
}
}  // namespace

void registerBandButton() { registerViewClass("BandButton", makeBandButton); }

}  // namespace hm::gui
