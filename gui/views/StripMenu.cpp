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
    const int room = size.width() - 2;
    if (measureText(text) <= room) return text;
    // Cut from the end and shown to be cut: the text ends in a point
    // ("Butterw."), never in a half word that reads as a name of its own.
    while (!text.empty()) {
        text.pop_back();
        while (!text.empty() && (text.back() == ' ' || text.back() == '+')) text.pop_back();
        if (!text.empty() && measureText(text + ".") <= room) return text + ".";
    }
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
