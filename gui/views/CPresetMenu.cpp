#include "gui/views/CPresetMenu.h"

#include <cstring>

#include "gui/layout/ViewFactory.h"

namespace hm::gui {

CPresetMenu::CPresetMenu(const CRect& rect, CControlListener* l, int t, CBitmap* background, int fontId)
    : COptionMenu(rect, l, t, background, nullptr, kNoFrame) {
    if (fontId > 0) setStripFont(fontId);
    setFontSize(13.f);
    setFontColor(0xDDE1E6);
    setHoriAlign(TextAlign::kLeft);
    setTextInset(8);
}

void CPresetMenu::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    setDirty(true);
}

bool CPresetMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "CPresetMenu") == 0 || COptionMenu::isTypeOf(className);
}

namespace {
CView* makePresetMenu(const ViewRequest& r) {
    return new CPresetMenu(r.rect, r.listener, r.tag, r.bitmap("background"), r.integer("font"));
}
}  // namespace

void registerPresetMenu() { registerViewClass("CPresetMenu", makePresetMenu); }

}  // namespace hm::gui
