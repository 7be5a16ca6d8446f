#include "gui/controls/CKnob.h"

#include <cmath>
#include <cstring>

#include "gui/controls/ControlStyles.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {

namespace {
constexpr float kPi = 3.14159265358979f;
constexpr float kStartAngle = -0.75f * kPi;  // lower left, clockwise from straight up
constexpr float kSweep = 1.5f * kPi;          // 270 degrees
}  // namespace

CKnob::CKnob(const CRect& rect, CControlListener* l, int t, CBitmap* background, CBitmap* handle,
             const CPoint& offset)
    : CControl(rect, l, t, background), handle_(handle), offset_(offset) {
    if (handle_) handle_->retain();
}

CKnob::~CKnob() {
    if (handle_) handle_->release();
}

float CKnob::valueToAngle() const { return kStartAngle + getValueNormalized() * kSweep; }

void CKnob::draw(CDrawContext* context) {
    if (background_) {
        background_->draw(*context, size, offset_);
    } else {
        // No skin: a plain cap with the travel arc around it.
        const float cx = size.left + size.width() * 0.5f, cy = size.top + size.height() * 0.5f;
        const float r = std::fmin(size.width(), size.height()) * 0.5f;
        context->drawArc(cx, cy, r - 2.f, kStartAngle, kStartAngle + kSweep, 0x34383E, 1.f, 3.f);
        if (getValueNormalized() > 0.f)
            context->drawArc(cx, cy, r - 2.f, kStartAngle, valueToAngle(), 0x4A90D9, 1.f, 3.f);
        context->fillCircle(cx, cy, r - 6.f, 0x2C3035);
    }
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
    const float cx = size.left + size.width() * 0.5f;
    const float cy = size.top + size.height() * 0.5f;
    const float a = valueToAngle();
    const float dx = std::sin(a), dy = -std::cos(a);
    const float radius = std::fmin(size.width(), size.height()) * 0.5f - static_cast<float>(inset_);
    if (handle_) {
        const int hw = handle_->getWidth(), hh = handle_->getHeight();
        const float r = radius - std::fmax(hw, hh) * 0.5f;
        const int x = static_cast<int>(std::lround(cx + dx * r - hw * 0.5f));
        const int y = static_cast<int>(std::lround(cy + dy * r - hh * 0.5f));
        handle_->draw(*context, CRect::fromSize(x, y, hw, hh));
        return;
    }
    const float inner = radius * 0.25f;
    context->drawLine(cx + dx * inner + 1.f, cy + dy * inner + 1.f, cx + dx * radius + 1.f,
                      cy + dy * radius + 1.f, colorShadowHandle_, 0.8f, 2.f);
    context->drawLine(cx + dx * inner, cy + dy * inner, cx + dx * radius, cy + dy * radius,
                      colorHandle_, 1.f, 2.f);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseEventHandled;
    beginEdit();
    dragging_ = true;
    drag_.anchor(where, value, isFine(buttons));
    setCursorFrame(getFrame());
    showHide(false, true);
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const int& buttons) {
    if (!dragging_) return kMouseEventNotHandled;
    if (!(buttons & kLButton)) return kMouseEventHandled;
    changeValue(drag_.follow(where, value, isFine(buttons), range_, zoomFactor_, vmax - vmin));
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const int&) {
    if (!dragging_) return kMouseEventNotHandled;
    dragging_ = false;
    showHide(true, true);
    endEdit();
    return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, const float& distance, const int& buttons) {
    return wheelStep(distance, buttons);
}

bool CKnob::isTypeOf(const char* className) const {
    return std::strcmp(className, "CKnob") == 0 || CControl::isTypeOf(className);
}

CAnimKnob::CAnimKnob(const CRect& rect, CControlListener* l, int t, int subPixmaps, int heightOfOneImage,
                     CBitmap* background, const CPoint& offset)
    : CKnob(rect, l, t, background, nullptr, offset),
      subPixmaps_(subPixmaps > 0 ? subPixmaps : 1),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : rect.height()) {}

int CAnimKnob::currentFrame() const {
    const int f = filmFrameForValue(value, vmin, vmax, subPixmaps_);
    return inverse_ ? subPixmaps_ - 1 - f : f;
}

void CAnimKnob::draw(CDrawContext* context) {
    drawFilmFrame(context, background_, size, offset_, currentFrame(), heightOfOneImage_);
    setDirty(false);
}

bool CAnimKnob::isTypeOf(const char* className) const {
    return std::strcmp(className, "CAnimKnob") == 0 || CKnob::isTypeOf(className);
}

}  // namespace hm::gui
