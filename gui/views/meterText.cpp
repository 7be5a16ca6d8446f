#include "gui/views/meterText.h"

#include <cstring>

#include "gui/draw/CDIB.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/MeterScale.h"
#include "gui/views/nVU.h"

namespace hm::gui {

namespace {
constexpr Rgb kField = 0x0E1013;
constexpr Rgb kFrame = 0x2A2F36;
constexpr Rgb kText = 0xFFFFFF;
}  // namespace

meterText::meterText(const CRect& rect, CControlListener* l, int t, int fontId) : CControl(rect, l, t), font_(fontId) {}

void meterText::setValue(float v) {
    value = v;
    if (meter_) meter_->setChannelValue(meterChannel_, v);
    if (frozen_) return;
    std::string next = meter::levelText(v);
    if (next != text_) {
        text_ = std::move(next);
        setDirty();
    }
}

void meterText::draw(CDrawContext* context) {
    context->fillRoundRect(size, 3.f, kField);
    context->frameRoundRect(size, 3.f, kFrame);
    if (font_.valid()) {
        const int w = font_.measure(text_);
        font_.draw(*context, size.left + (getWidth() - w) / 2, size.top + (getHeight() - 7) / 2 - 2, text_,
                   frozen_ ? 0xFFD24A : kText);
    }
    setDirty(false);
}

CMouseEventResult meterText::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    frozen_ = true;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult meterText::onMouseUp(CPoint&, const int&) {
    frozen_ = false;
    setValue(value);
    setDirty();
    return kMouseEventHandled;
}

bool meterText::isTypeOf(const char* className) const {
    return std::strcmp(className, "meterText") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
