#include "gui/views/MenuViews.h"

#include <algorithm>
#include <cstring>

#include "gui/draw/CBitmap.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr Rgb kTOptionColour = 0x999999;
constexpr Rgb kFieldFill = 0x111316;
constexpr Rgb kFieldBorder = 0x30353D;
constexpr Rgb kArrowColour = 0xA6A6A6;
constexpr std::uint32_t kHoverOutline = 0xC03DB2E8u;  // accent at 75 %
}  // namespace

void setMenuItems(COptionMenu* menu, const std::vector<std::string>& items) {
    menu->removeAllEntry();
    for (const std::string& item : items) menu->addEntry(item.c_str());
}

void drawMenuCell(CDrawContext* context, const CBitmap* bitmap, const CRect& size, bool open, int row) {
    if (!bitmap || size.width() <= 0 || size.height() <= 0) return;
    const int column = open && bitmap->getWidth() >= 2 * size.width() ? 1 : 0;
    const int rows = std::max(1, bitmap->getHeight() / size.height());
    row = std::clamp(row, 0, rows - 1);
    bitmap->drawAlphaBlend(*context, size, CPoint(column * size.width(), row * size.height()));
}

SOptionMenu::SOptionMenu(const CRect& rect, CControlListener* l, int t, int altTag, CBitmap* background)
    // One slot or mode of several: the one in force carries the tick.
    : COptionMenu(rect, l, t, background, nullptr, kCheckStyle), altTag_(altTag) {}

void SOptionMenu::draw(CDrawContext* context) {
    if (!background_) {
        COptionMenu::draw(context);
        return;
    }
    drawMenuCell(context, background_, size, isPopupOpen(), std::max(0, getCurrent()));
    setDirty(false);
}

CMouseEventResult SOptionMenu::onMouseDown(CPoint& where, const int& buttons) {
    if ((buttons & kRButton) && !(buttons & kApple) && altTag_ >= 0) {
        reportUnderTag(this, altTag_, value);
        return kMouseEventHandled;
    }
    return COptionMenu::onMouseDown(where, buttons);
}

bool SOptionMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "SOptionMenu") == 0 || COptionMenu::isTypeOf(className);
}

CopyToMenu::CopyToMenu(const CRect& rect, CControlListener* l, int t, CBitmap* background)
    : COptionMenu(rect, l, t, background) {}

void CopyToMenu::draw(CDrawContext* context) {
    if (!background_) {
        COptionMenu::draw(context);
        return;
    }
    drawMenuCell(context, background_, size, isPopupOpen(), 0);
    setDirty(false);
}

bool CopyToMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "CopyToMenu") == 0 || COptionMenu::isTypeOf(className);
}

TOptionMenu::TOptionMenu(const CRect& rect, CControlListener* l, int t) : COptionMenu(rect, l, t, nullptr, nullptr, kNoFrame) {
    setTransparency(true);
    setStripFont(101);
    setFontColor(kTOptionColour);
}

bool TOptionMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "TOptionMenu") == 0 || COptionMenu::isTypeOf(className);
}

nTTMenu::nTTMenu(const CRect& rect, CControlListener* l, int t) : COptionMenu(rect, l, t, nullptr, nullptr, kNoFrame) {
    setFontSize(12.f);
    setFontColor(0xFFFFFF);
    initOutline(1, kHoverOutline);
}

void nTTMenu::draw(CDrawContext* context) {
    context->fillRoundRect(size, 3.f, isPopupOpen() ? 0x1A1D21 : kFieldFill);
    context->frameRoundRect(size, 3.f, kFieldBorder);
    // Room for the arrow at the right; the text stays centred in the rest.
    CRect text = size;
    text.right -= 12;
    drawText(context, displayText(), text);
    const float cx = static_cast<float>(size.right) - 9.f, cy = static_cast<float>(size.top + size.bottom) * 0.5f;
    const float arrow[] = {cx - 3.5f, cy - 2.f, cx + 3.5f, cy - 2.f, cx, cy + 2.5f};
    context->fillPolygon(arrow, 3, kArrowColour);
    if (hovered_ || isPopupOpen()) CHighlightControl::draw(*context, size);
    setDirty(false);
}

void nTTMenu::onMouseEntered(CPoint&, const int&) {
    hovered_ = true;
    setDirty(true);
}

void nTTMenu::onMouseExited(CPoint&, const int&) {
    hovered_ = false;
    setDirty(true);
}

bool nTTMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "nTTMenu") == 0 || COptionMenu::isTypeOf(className);
}

namespace {

template <class Menu>
Menu* withItems(Menu* menu, const ViewRequest& r) {
    setMenuItems(menu, splitMenuItems(r.string("txt")));
    return menu;
}

CView* makeSOptionMenu(const ViewRequest& r) {
    return withItems(new SOptionMenu(r.rect, r.listener, r.tag, r.tagNamed("alttag"), r.bitmap("background")), r);
}
CView* makeCopyToMenu(const ViewRequest& r) {
    return withItems(new CopyToMenu(r.rect, r.listener, r.tag, r.bitmap("background")), r);
}
CView* makeTOptionMenu(const ViewRequest& r) { return withItems(new TOptionMenu(r.rect, r.listener, r.tag), r); }
CView* makeNTTMenu(const ViewRequest& r) { return withItems(new nTTMenu(r.rect, r.listener, r.tag), r); }

}  // namespace

void registerMenuViews() {
    registerViewClass("SOptionMenu", makeSOptionMenu);
    registerViewClass("CopyToMenu", makeCopyToMenu);
    registerViewClass("TOptionMenu", makeTOptionMenu);
    registerViewClass("nTTMenu", makeNTTMenu);
}

}  // namespace hm::gui
