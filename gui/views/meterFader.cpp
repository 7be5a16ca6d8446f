#include "gui/views/meterFader.h"

#include <algorithm>
#include <cstring>

#include "gui/draw/BitmapCache.h"
#include "gui/draw/SkinIds.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
CBitmap* faderCap() { return getSkinBitmap(skin::kFaderHandle); }
int capHeight() { return faderCap() ? faderCap()->getHeight() : 15; }
}  // namespace

meterFader::meterFader(const CRect& rect, CControlListener* l, int t)
    : CVerticalSlider(rect, l, t, CPoint(0, 0), rect.height() - capHeight(), faderCap(), nullptr) {
    setDefaultValue(parameterDefaultValue(t));
    initOutline(1, 0xA03DB2E8u);
}

void meterFader::setViewSize(const CRect& rect, bool invalidate) {
    CVerticalSlider::setViewSize(rect, invalidate);
    rangeHandle_ = std::max(0, rect.height() - capHeight());
}

void meterFader::draw(CDrawContext* context) {
    CVerticalSlider::draw(context);
    if (hovered_ || isEditing()) CHighlightControl::draw(*context, handleRect());
    setDirty(false);
}

void meterFader::onMouseEntered(CPoint&, const int&) {
    hovered_ = true;
    setDirty();
}

void meterFader::onMouseExited(CPoint&, const int&) {
    hovered_ = false;
    setDirty();
}

bool meterFader::isTypeOf(const char* className) const {
    return std::strcmp(className, "meterFader") == 0 || CVerticalSlider::isTypeOf(className);
}

}  // namespace hm::gui
