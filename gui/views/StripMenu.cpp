#include "gui/views/StripMenu.h"

#include <cstring>

#include "gui/draw/BitmapCache.h"
#include "gui/draw/SkinIds.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/BandControlSupport.h"

namespace hm::gui {

namespace {
constexpr Rgb kTextColour = 0xDDE1E6;
constexpr Rgb kHoverColour = 0x3DB2E8;
}  // namespace

StripMenu::StripMenu(const CRect& rect, CControlListener* l, int t, int band)
    : COptionMenu(rect, l, t, getSkinBitmap(skin::kStripMenuBack), nullptr, kNoFrame), band_(band) {
    setStripFont(skin::kFontSmall);
    setFontColor(kTextColour);
    setTextInset(1);
}

std::string StripMenu::fittedText() const {
    std::string text = displayText();
    while (!text.empty() && measureText(text) > size.width() - 2) text.pop_back();
    return text;
}

void StripMenu::draw(CDrawContext* context) {
    drawBack(context);
    drawText(context, fittedText(), size);
    if (hovered_ || isPopupOpen()) context->frameRoundRect(size, 3.f, kHoverColour, 0.75f);
    setDirty(false);
}

CMouseEventResult StripMenu::onMouseDown(CPoint& where, const int& buttons) {
    if (buttons & (kLButton | kRButton)) reportBandPress(this, band_);
    return COptionMenu::onMouseDown(where, buttons);
}

void StripMenu::onMouseEntered(CPoint&, const int&) {
    hovered_ = true;
    setDirty(true);
}

void StripMenu::onMouseExited(CPoint&, const int&) {
    hovered_ = false;
    setDirty(true);
}

bool StripMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "StripMenu") == 0 || COptionMenu::isTypeOf(className);
}

}  // namespace hm::gui
