#include "gui/controls/CSlider.h"

#include <cmath>
#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {

CSlider::CSlider(const CRect& rect, CControlListener* l, int t, int minPos, int maxPos, CBitmap* handle,
                 CBitmap* background, const CPoint& offset, int style)
    : CControl(rect, l, t, background), offset_(offset) {
    setHandle(handle);
    init(style);
    if (isVertical()) {
        offsetHandle_ = CPoint((rect.width() - handleWidth_) / 2, minPos - rect.top);
    } else {
        offsetHandle_ = CPoint(minPos - rect.left, (rect.height() - handleHeight_) / 2);
    }
    rangeHandle_ = maxPos - minPos;
}

CSlider::CSlider(const CRect& rect, CControlListener* l, int t, const CPoint& offsetHandle, int rangeHandle,
                 CBitmap* handle, CBitmap* background, const CPoint& offset, int style)
    : CControl(rect, l, t, background), offset_(offset), offsetHandle_(offsetHandle),
      rangeHandle_(rangeHandle) {
    setHandle(handle);
    init(style);
}

CSlider::~CSlider() {
    if (handle_) handle_->release();
}

void CSlider::init(int style) {
    style_ = style;
    if (!(style_ & (kVertical | kHorizontal))) style_ |= kHorizontal;
    if (!handle_) {
        // Without a bitmap the handle is a plain bar across the slider.
        handleWidth_ = isVertical() ? size.width() : 8;
        handleHeight_ = isVertical() ? 8 : size.height();
    }
}

void CSlider::setHandle(CBitmap* handle) {
    if (handle) handle->retain();
    if (handle_) handle_->release();
    handle_ = handle;
    if (handle_) {
        handleWidth_ = handle_->getWidth();
        handleHeight_ = handle_->getHeight();
    }
    setDirty(true);
}

bool CSlider::increasesAlongAxis() const {
    return isVertical() ? (style_ & kTop) != 0 : (style_ & kRight) == 0;
}

float CSlider::positionFor(float normalised) const {
    const float along = increasesAlongAxis() ? normalised : 1.f - normalised;
    return along * static_cast<float>(rangeHandle_);
}

CRect CSlider::handleRect() const {
    const int pos = static_cast<int>(std::lround(positionFor(getValueNormalized())));
    CRect r = CRect::fromSize(size.left + offsetHandle_.x, size.top + offsetHandle_.y, handleWidth_,
                              handleHeight_);
    if (isVertical()) r.offset(0, pos);
    else r.offset(pos, 0);
    return r;
}

void CSlider::draw(CDrawContext* context) {
    if (background_) {
        background_->draw(*context, size, offset_);
    } else {
        // No skin: a groove along the handle's path.
        const float cx = size.left + offsetHandle_.x + handleWidth_ * 0.5f;
        const float cy = size.top + offsetHandle_.y + handleHeight_ * 0.5f;
        CRect groove = isVertical() ? CRect(static_cast<int>(cx) - 2, static_cast<int>(cy), static_cast<int>(cx) + 2,
                                            static_cast<int>(cy) + rangeHandle_)
                                    : CRect(static_cast<int>(cx), static_cast<int>(cy) - 2,
                                            static_cast<int>(cx) + rangeHandle_, static_cast<int>(cy) + 2);
        context->fillRoundRect(groove, 2.f, 0x101214);
        context->frameRoundRect(groove, 2.f, 0x3A3E44);
    }
    const CRect h = handleRect();
    if (handle_) {
        handle_->draw(*context, h);
    } else {
        context->fillRoundRect(h, 2.f, colorHandle_);
        context->frameRoundRect(h, 2.f, 0x303030);
    }
    setDirty(false);
}

void CSlider::anchor(const CPoint& where, int buttons) {
    first_ = where;
    entryValue_ = value;
    fine_ = isFine(buttons);
}

CMouseEventResult CSlider::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseEventHandled;
    beginEdit();
    dragging_ = true;
    const CRect h = handleRect();
    handleAtDown_ = h.topLeft();
    if (!h.pointInside(where) && !isFine(buttons) && rangeHandle_ != 0) {
        // Centre the handle under the pointer, then drag from there.
        const float lead = isVertical() ? static_cast<float>(where.y - size.top - offsetHandle_.y) -
                                              handleHeight_ * 0.5f
                                        : static_cast<float>(where.x - size.left - offsetHandle_.x) -
                                              handleWidth_ * 0.5f;
        float along = lead / static_cast<float>(rangeHandle_);
        along = along < 0.f ? 0.f : (along > 1.f ? 1.f : along);
        const float n = increasesAlongAxis() ? along : 1.f - along;
        const float before = value;
        value = vmin + n * (vmax - vmin);
        bounceValue();
        if (value != before) {
            setDirty(true);
            valueChangedNotify();
        }
    }
    anchor(where, buttons);
    setCursorFrame(getFrame());
    showHide(false, true);
    return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseMoved(CPoint& where, const int& buttons) {
    if (!dragging_) return kMouseEventNotHandled;
    if (!(buttons & kLButton)) return kMouseEventHandled;
    if (isFine(buttons) != fine_) anchor(where, buttons);
    if (rangeHandle_ == 0) return kMouseEventHandled;
    float pixels = isVertical() ? static_cast<float>(where.y - first_.y) : static_cast<float>(where.x - first_.x);
    if (!increasesAlongAxis()) pixels = -pixels;
    const float travel = static_cast<float>(rangeHandle_) * (fine_ ? zoomFactor_ : 1.f);
    changeValue(entryValue_ + pixels * (vmax - vmin) / travel);
    return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseUp(CPoint&, const int&) {
    if (!dragging_) return kMouseEventNotHandled;
    dragging_ = false;
    // The pointer reappears on the handle, wherever the drag took it.
    const CPoint now = handleRect().topLeft();
    moveSavedPosition(static_cast<float>(now.x - handleAtDown_.x), static_cast<float>(now.y - handleAtDown_.y));
    showHide(true, true);
    endEdit();
    return kMouseEventHandled;
}

bool CSlider::onWheel(const CPoint&, const float& distance, const int& buttons) {
    return wheelStep(distance, buttons);
}

bool CSlider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CSlider") == 0 || CControl::isTypeOf(className);
}

CVerticalSlider::CVerticalSlider(const CRect& rect, CControlListener* l, int t, int minPos, int maxPos,
                                 CBitmap* handle, CBitmap* background, const CPoint& offset, int style)
    : CSlider(rect, l, t, minPos, maxPos, handle, background, offset, (style & ~kHorizontal) | kVertical) {}

CVerticalSlider::CVerticalSlider(const CRect& rect, CControlListener* l, int t, const CPoint& offsetHandle,
                                 int rangeHandle, CBitmap* handle, CBitmap* background, const CPoint& offset,
                                 int style)
    : CSlider(rect, l, t, offsetHandle, rangeHandle, handle, background, offset,
              (style & ~kHorizontal) | kVertical) {}

bool CVerticalSlider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CVerticalSlider") == 0 || CSlider::isTypeOf(className);
}

CHorizontalSlider::CHorizontalSlider(const CRect& rect, CControlListener* l, int t, int minPos, int maxPos,
                                     CBitmap* handle, CBitmap* background, const CPoint& offset, int style)
    : CSlider(rect, l, t, minPos, maxPos, handle, background, offset, (style & ~kVertical) | kHorizontal) {}

CHorizontalSlider::CHorizontalSlider(const CRect& rect, CControlListener* l, int t,
                                     const CPoint& offsetHandle, int rangeHandle, CBitmap* handle,
                                     CBitmap* background, const CPoint& offset, int style)
    : CSlider(rect, l, t, offsetHandle, rangeHandle, handle, background, offset,
              (style & ~kVertical) | kHorizontal) {}

bool CHorizontalSlider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CHorizontalSlider") == 0 || CSlider::isTypeOf(className);
}

}  // namespace hm::gui
