#include "gui/controls/CSwitches.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/framework/Modifiers.h"

namespace hm::gui {

CSwitchBase::CSwitchBase(const CRect& rect, CControlListener* l, int t, int subPixmaps, int heightOfOneImage,
                         int maxPositions, CBitmap* background, const CPoint& offset)
    : CControl(rect, l, t, background),
      subPixmaps_(std::max(subPixmaps, 1)),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : rect.height()),
      maxPositions_(std::max(maxPositions, 1)),
      offset_(offset) {}

int CSwitchBase::currentPosition() const {
    return filmFrameForValue(value, vmin, vmax, maxPositions_);
}

void CSwitchBase::drawFrame(CDrawContext* context, int frame) {
    drawFilmFrame(context, background_, size, offset_, frame, heightOfOneImage_);
}

void CSwitchBase::draw(CDrawContext* context) {
    // Pictures and positions may differ in number: the picture follows the value.
    drawFrame(context, filmFrameForValue(value, vmin, vmax, subPixmaps_));
    setDirty(false);
}

void CSwitchBase::pick(const CPoint& where) {
    const int pos = positionAt(where);
    const float before = value;
    value = maxPositions_ > 1 ? vmin + (vmax - vmin) * static_cast<float>(pos) / (maxPositions_ - 1) : vmin;
    if (value != before) {
        setDirty(true);
        valueChangedNotify();
    }
}

CMouseEventResult CSwitchBase::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseEventHandled;
    beginEdit();
    dragging_ = true;
    pick(where);
    return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseMoved(CPoint& where, const int& buttons) {
    if (!dragging_) return kMouseEventNotHandled;
    if (buttons & kLButton) pick(where);
    return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseUp(CPoint&, const int&) {
    if (!dragging_) return kMouseEventNotHandled;
    dragging_ = false;
    endEdit();
    return kMouseEventHandled;
}

bool CSwitchBase::onWheel(const CPoint&, const float& distance, const int&) {
    // One position per notch.
    if (!std::isfinite(distance) || distance == 0.f || maxPositions_ < 2) return false;
    const int step = distance > 0.f ? 1 : -1;
    const int pos = std::clamp(currentPosition() + step, 0, maxPositions_ - 1);
    const float before = value;
    value = vmin + (vmax - vmin) * static_cast<float>(pos) / (maxPositions_ - 1);
    if (value != before) {
        beginEdit();
        setDirty(true);
        valueChangedNotify();
        endEdit();
    }
    return true;
}

CVerticalSwitch::CVerticalSwitch(const CRect& rect, CControlListener* l, int t, int subPixmaps,
                                 int heightOfOneImage, int maxPositions, CBitmap* background,
                                 const CPoint& offset)
    : CSwitchBase(rect, l, t, subPixmaps, heightOfOneImage, maxPositions, background, offset) {}

int CVerticalSwitch::positionAt(const CPoint& where) const {
    if (size.height() <= 0) return 0;
    const int pos = (where.y - size.top) * maxPositions_ / size.height();
    return std::clamp(pos, 0, maxPositions_ - 1);
}

bool CVerticalSwitch::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVerticalSwitch") == 0 || CControl::isTypeOf(className);
}

CHorizontalSwitch::CHorizontalSwitch(const CRect& rect, CControlListener* l, int t, int subPixmaps,
                                     int heightOfOneImage, int maxPositions, CBitmap* background,
                                     const CPoint& offset)
    : CSwitchBase(rect, l, t, subPixmaps, heightOfOneImage, maxPositions, background, offset) {}

int CHorizontalSwitch::positionAt(const CPoint& where) const {
    if (size.width() <= 0) return 0;
    const int pos = (where.x - size.left) * maxPositions_ / size.width();
    return std::clamp(pos, 0, maxPositions_ - 1);
}

void CHorizontalSwitch::drawFrame(CDrawContext* context, int frame) {
    if (background_ && subPixmaps_ > 1 && background_->getWidth() >= subPixmaps_ * size.width() &&
        background_->getHeight() < subPixmaps_ * heightOfOneImage_) {
        background_->draw(*context, size, CPoint(offset_.x + frame * size.width(), offset_.y));
        return;
    }
    CSwitchBase::drawFrame(context, frame);
}

bool CHorizontalSwitch::isTypeOf(const char* className) const {
    return std::strcmp(className, "CHorizontalSwitch") == 0 || CControl::isTypeOf(className);
}

CRockerSwitch::CRockerSwitch(const CRect& rect, CControlListener* l, int t, int heightOfOneImage,
                             CBitmap* background, const CPoint& offset, int style)
    : CControl(rect, l, t, background),
      heightOfOneImage_(heightOfOneImage > 0 ? heightOfOneImage : rect.height()),
      offset_(offset),
      style_(style) {
    vmin = -1.f;
    vmax = 1.f;
    value = 0.f;
    defaultValue = 0.f;
}

void CRockerSwitch::draw(CDrawContext* context) {
    const int frame = value >= vmax ? 0 : (value <= vmin ? 2 : 1);
    if (background_) {
        drawFilmFrame(context, background_, size, offset_, frame, heightOfOneImage_);
    } else {
        // No skin: two halves with arrows, the pressed one lit.
        const bool vertical = (style_ & kVertical) != 0;
        CRect lo = size, hi = size;
        if (vertical) { hi.bottom = lo.top = size.top + size.height() / 2; }
        else { lo.right = hi.left = size.left + size.width() / 2; }
        context->fillRoundRect(lo, 3.f, frame == 2 ? 0x3A6EA8 : 0x2C3035);
        context->fillRoundRect(hi, 3.f, frame == 0 ? 0x3A6EA8 : 0x2C3035);
        context->frameRoundRect(size, 3.f, 0x50555C);
        auto arrow = [&](const CRect& r, bool up) {
            const float cx = (r.left + r.right) * 0.5f, cy = (r.top + r.bottom) * 0.5f;
            float tri[6];
            if (vertical) {
                const float d = up ? -3.f : 3.f;
                const float t[] = {cx - 4.f, cy - d, cx + 4.f, cy - d, cx, cy + d};
                std::copy(t, t + 6, tri);
            } else {
                const float d = up ? 3.f : -3.f;
                const float t[] = {cx - d, cy - 4.f, cx - d, cy + 4.f, cx + d, cy};
                std::copy(t, t + 6, tri);
            }
            context->fillPolygon(tri, 3, 0xD0D4DA);
        };
        arrow(hi, true);
        arrow(lo, false);
    }
    setDirty(false);
}

float CRockerSwitch::valueAt(const CPoint& where) const {
    if (style_ & kVertical) return where.y < size.top + size.height() / 2 ? vmax : vmin;
    return where.x >= size.left + size.width() / 2 ? vmax : vmin;
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    beginEdit();
    dragging_ = true;
    value = valueAt(where);
    setDirty(true);
    valueChangedNotify();
    return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseMoved(CPoint& where, const int& buttons) {
    if (!dragging_) return kMouseEventNotHandled;
    if (!(buttons & kLButton)) return kMouseEventHandled;
    const float want = size.pointInside(where) ? valueAt(where) : (vmin + vmax) * 0.5f;
    if (want != value) {
        value = want;
        setDirty(true);
        valueChangedNotify();
    }
    return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const int&) {
    if (!dragging_) return kMouseEventNotHandled;
    dragging_ = false;
    const float rest = (vmin + vmax) * 0.5f;
    if (value != rest) {
        value = rest;
        setDirty(true);
        valueChangedNotify();
    }
    endEdit();
    return kMouseEventHandled;
}

bool CRockerSwitch::onWheel(const CPoint&, const float& distance, const int&) {
    // A notch is a tap: out and back to rest.
    if (!std::isfinite(distance) || distance == 0.f) return false;
    beginEdit();
    value = distance > 0.f ? vmax : vmin;
    valueChangedNotify();
    value = (vmin + vmax) * 0.5f;
    valueChangedNotify();
    setDirty(true);
    endEdit();
    return true;
}

bool CRockerSwitch::isTypeOf(const char* className) const {
    return std::strcmp(className, "CRockerSwitch") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
