#include "gui/views/CEQSlider.h"

#include <cstring>

#include "gui/layout/ViewFactory.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr int kLabelFont = 101;
constexpr Rgb kLabelText = 0xDDE1E6;
constexpr Rgb kLabelBack = 0x0E0F11;
constexpr int kLabelPad = 3;
constexpr int kLabelGap = 2;
}  // namespace

CEQSlider::CEQSlider(const CRect& rect, CControlListener* l, int t, const CPoint& offsetHandle, int rangeHandle,
                     CBitmap* handle, CBitmap* background, const CPoint& offset, int style)
    : CSlider(rect, l, t, offsetHandle, rangeHandle, handle, background, offset, style), labelFont_(kLabelFont) {}

void CEQSlider::setLabelMode(int mode) {
    if (mode == labelMode_) return;
    labelMode_ = mode;
    setDirty(true);
}

bool CEQSlider::labelShown() const {
    if (labelMode_ == kLabelOn) return true;
    if (labelMode_ == kLabelHover) return hovered_ || isEditing();
    return false;
}

void CEQSlider::draw(CDrawContext* context) {
    CSlider::draw(context);
    if (labelShown()) drawLabel(context);
    setDirty(false);
}

// The text sits in a small dark box next to the handle: above it (vertical)
// or to its right (horizontal), on the other side when there is no room.
void CEQSlider::drawLabel(CDrawContext* context) {
    const StripFont& font = labelFont_;
    if (!font.valid()) return;
    const std::string text = parameterDisplayText(listener, tag, getValueNormalized(), false);
    if (text.empty()) return;
    const int w = font.measure(text) + 2 * kLabelPad;
    const int h = font.glyphRows() + 2;
    const CRect handle = handleRect();
    CRect box;
    if (isVertical()) {
        const int cx = (handle.left + handle.right) / 2;
        int top = handle.top - kLabelGap - h;
        if (top < size.top) top = handle.bottom + kLabelGap;
        box = CRect::fromSize(std::clamp(cx - w / 2, size.left, std::max(size.left, size.right - w)), top, w, h);
    } else {
        const int cy = (handle.top + handle.bottom) / 2;
        int left = handle.right + kLabelGap;
        if (left + w > size.right) left = handle.left - kLabelGap - w;
        box = CRect::fromSize(left, cy - h / 2, w, h);
    }
    context->fillRoundRect(box, 2.f, kLabelBack, 0.85f);
    font.drawInRect(*context, box, text, kLabelText, TextAlign::kCentre);
}

void CEQSlider::onMouseEntered(CPoint&, const int&) {
    hovered_ = true;
    if (labelMode_ == kLabelHover) setDirty(true);
}

void CEQSlider::onMouseExited(CPoint&, const int&) {
    hovered_ = false;
    if (labelMode_ == kLabelHover) setDirty(true);
}

void CEQSlider::endEdit() {
    CSlider::endEdit();
    if (labelMode_ == kLabelHover) setDirty(true);
}

bool CEQSlider::isTypeOf(const char* className) const {
    const char* own = isVertical() ? "CEQVSlider" : "CEQHSlider";
    return std::strcmp(className, own) == 0 || CSlider::isTypeOf(className);
}

namespace {
template <int Direction>
CView* makeSlider(const ViewRequest& r) {
    return new CEQSlider(r.rect, r.listener, r.tag, r.handleOffset, r.integer("rangehandle"), r.bitmap("handle"),
                         r.bitmap("background"), r.offset, r.integer("style") | Direction);
}
}  // namespace

void registerSliderViews() {
    registerViewClass("CEQVSlider", makeSlider<kVertical>);
    registerViewClass("CEQHSlider", makeSlider<kHorizontal>);
}

}  // namespace hm::gui
