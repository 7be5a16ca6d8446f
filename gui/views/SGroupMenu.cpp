#include "gui/views/SGroupMenu.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/draw/SkinIds.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/MenuViews.h"
#include "gui/views/ParameterText.h"
#include "gui/views/nGroupMenu.h"

namespace hm::gui {

namespace {
constexpr Rgb kTextColour = 0xDDE1E6;
constexpr int kArrowWidth = 9;  // the menu background's arrow column
constexpr float kLabelPixels = 10.f;
}  // namespace

SGroupMenu::SGroupMenu(const CRect& rect, CControlListener* l, int t, int altTag, CBitmap* background)
    : COptionMenu(rect, l, t, background, nullptr, kCheckStyle | kNoFrame), altTag_(altTag) {
    // Drawn like the tool bar's own labels (the face at their 10-pixel size);
    // a strip font read as a different, fainter control beside them.
    setFontSize(kLabelPixels);
    setFontColor(kTextColour);
    setTextInset(1);
    refreshFromInstance();
}

void SGroupMenu::setGroupNames(const std::vector<std::string>& names) {
    const float current = value;
    names_ = names;
    removeAllEntry();
    addEntry(names_.size() == 2 ? "Both" : "None");
    addSeparator();
    for (const std::string& name : names_) addEntry(name.c_str());
    value = std::clamp(current, 0.f, getMax());
    setDirty(true);
}

void SGroupMenu::refreshFromInstance() {
    if (!instanceOf(listener)) return;
    std::vector<std::string> names = instanceGroupNames(listener);
    if (names != names_) setGroupNames(names);
}

std::string SGroupMenu::displayText() const {
    std::string text = COptionMenu::displayText();
    // The second value, when it names a group, after a slash.
    if (groupCount() > 2 && altValue_ >= kFirstGroupItem && altValue_ < getNbEntries())
        text += std::string("/") + getEntry(altValue_);
    return text;
}

void SGroupMenu::draw(CDrawContext* context) {
    refreshFromInstance();
    if (!isShown()) {
        setDirty(false);
        return;
    }
    if (background_) drawMenuCell(context, background_, size, isPopupOpen(), 0);
    // The text keeps clear of the background's drop-down arrow.
    CRect box = size;
    box.right -= kArrowWidth;
    std::string text = displayText();
    while (!text.empty() && measureText(text) > box.width() - 2) text.pop_back();
    drawText(context, text, box);
    setDirty(false);
}

bool SGroupMenu::hitTest(const CPoint& where, const int& buttons) {
    return isShown() && COptionMenu::hitTest(where, buttons);
}

CMouseEventResult SGroupMenu::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & (kLButton | kRButton)) || !isShown()) return kMouseEventNotHandled;
    refreshFromInstance();
    editingAlternate_ = groupCount() > 2 && ((buttons & kRButton) || (buttons & kApple));
    const int current = editingAlternate_ ? altValue_ : getCurrent();
    for (int i = 0; i < getNbEntries(); ++i) checkEntry(i, i == current);
    // The check marks are this menu's own (two values share the list).
    const int style = style_;
    style_ &= ~kCheckStyle;
    openPopup(buttons);
    style_ = style;
    return kMouseEventHandled;
}

bool SGroupMenu::onWheel(const CPoint&, const float&, const int&) { return false; }

void SGroupMenu::popupChosen(COptionMenu* menu, int index) {
    if (!editingAlternate_ || menu != this || index < 0) {
        editingAlternate_ = false;
        COptionMenu::popupChosen(menu, index);
        return;
    }
    editingAlternate_ = false;
    lastMenu_ = menu;
    lastResult_ = index;
    altValue_ = index;
    setDirty(true);
    if (altTag_ >= 0) reportUnderTag(this, altTag_, static_cast<float>(index));
}

bool SGroupMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "SGroupMenu") == 0 || COptionMenu::isTypeOf(className);
}

namespace {
CView* makeGroupMenu(const ViewRequest& r) {
    return new SGroupMenu(r.rect, r.listener, r.tag, r.tagNamed("alttag"), r.bitmap("background"));
}
}  // namespace

void registerGroupMenu() { registerViewClass("SGroupMenu", makeGroupMenu); }

}  // namespace hm::gui
