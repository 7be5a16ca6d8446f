#include "gui/views/nScrollBox.h"

#include <cmath>
#include <cstring>

#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"

namespace hm::gui {

namespace {
constexpr Rgb kBarFrame = 0x3A3A3A;  // (58, 58, 58)
constexpr Rgb kBarThumb = 0x5785A6;  // (87, 133, 166)
}  // namespace

nScrollBox::nScrollBox(const CRect& rect, int t, int number, CBitmap* background)
    : nPage(rect, t, number, background) {}

int nScrollBox::contentHeight() const {
    int bottom = 0;
    for (const CView* child : children_)
        if (child->isVisibleContainer()) bottom = std::max(bottom, child->getViewSize().bottom + offset_);
    return bottom + kContentMargin;
}

void nScrollBox::moveChildren(int dy) {
    if (dy == 0) return;
    for (CView* child : children_) {
        CRect r = child->getViewSize();
        r.offset(0, dy);
        child->setViewSize(r, false);
        child->setMouseableArea(r);
    }
    setDirty(true);
}

void nScrollBox::setScroll(float fraction) {
    if (!std::isfinite(fraction)) return;
    const int over = overflow();
    scroll_ = over > 0 ? std::clamp(fraction, 0.f, 1.f) : 0.f;
    const int target = static_cast<int>(std::lround(scroll_ * static_cast<float>(over)));
    moveChildren(offset_ - target);
    offset_ = target;
}

void nScrollBox::drawRect(CDrawContext* context, const CRect& updateRect) {
    nPage::drawRect(context, updateRect);
    const int over = overflow();
    if (hidden || over <= 0) return;
    CDIB::StateSaver saved(*context);
    CRect clip = context->getClipRect();
    clip.bound(updateRect);
    clip.bound(size);
    if (clip.isEmpty()) return;
    context->setClipRect(clip);
    const CRect bar(size.right - kBarWidth, size.top, size.right, size.bottom);
    context->fillRect(bar, 0x1A1A1A);
    context->frameRect(bar, kBarFrame);
    const int track = bar.height() - 4;
    const int thumb = std::clamp(track * size.height() / (size.height() + over), 8, track);
    const int top = bar.top + 2 + static_cast<int>(std::lround(scroll_ * static_cast<float>(track - thumb)));
    context->fillRoundRect(CRect(bar.left + 3, top, bar.right - 3, top + thumb), 2.f, kBarThumb);
}

void nScrollBox::scrollFromPointer(const CPoint& where) {
    const int span = size.height() - 8;
    if (span > 0) setScroll(static_cast<float>(where.y - size.top - 4) / static_cast<float>(span));
}

CMouseEventResult nScrollBox::onMouseDown(CPoint& where, const int& buttons) {
    if (hidden) return kMouseEventNotHandled;
    if ((buttons & kLButton) && where.x >= size.right - kBarWidth && overflow() > 0) {
        draggingBar_ = true;
        scrollFromPointer(where);
        return kMouseEventHandled;
    }
    return nPage::onMouseDown(where, buttons);
}

CMouseEventResult nScrollBox::onMouseMoved(CPoint& where, const int& buttons) {
    if (!draggingBar_) return nPage::onMouseMoved(where, buttons);
    if (buttons & kLButton) scrollFromPointer(where);
    return kMouseEventHandled;
}

CMouseEventResult nScrollBox::onMouseUp(CPoint& where, const int& buttons) {
    if (!draggingBar_) return nPage::onMouseUp(where, buttons);
    draggingBar_ = false;
    return kMouseEventHandled;
}

bool nScrollBox::onWheel(const CPoint& where, const float& distance, const int& buttons) {
    return onWheel(where, kMouseWheelAxisY, distance, buttons);
}

bool nScrollBox::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const int& buttons) {
    if (axis != kMouseWheelAxisY) return nPage::onWheel(where, axis, distance, buttons);
    if (hidden || !std::isfinite(distance) || overflow() <= 0) return false;
    setScroll(scroll_ - kWheelStep * distance);
    return true;
}

void nScrollBox::setViewSize(const CRect& rect, bool invalidate) {
    // Back to the top first, so the content is measured unscrolled.
    setScroll(0.f);
    nPage::setViewSize(rect, invalidate);
    nPage::setMouseableArea(rect);
}

bool nScrollBox::isTypeOf(const char* className) const {
    return std::strcmp(className, "nScrollBox") == 0 || nPage::isTypeOf(className);
}

namespace {
CView* makeScrollBox(const ViewRequest& r) {
    return new nScrollBox(r.rect, r.tag, r.integer("pagenumber"), r.bitmap("background"));
}
}  // namespace

void registerScrollBox() { registerViewClass("nScrollBox", makeScrollBox); }

}  // namespace hm::gui
