#include "gui/controls/COptionMenu.h"

#include <cmath>
#include <cstring>

#include "gui/controls/MenuPopup.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {

COptionMenu::COptionMenu(const CRect& rect, CControlListener* l, int t, CBitmap* background,
                         CBitmap* bgWhenClick, int style)
    : CParamDisplay(rect, background, style), bgWhenClick_(bgWhenClick) {
    listener = l;
    tag = t;
    if (bgWhenClick_) bgWhenClick_->retain();
    vmin = 0.f;
    vmax = 0.f;
    defaultValue = 0.f;
}

COptionMenu::~COptionMenu() {
    popup_.reset();
    removeAllEntry();
    if (bgWhenClick_) bgWhenClick_->release();
}

void COptionMenu::updateRange() {
    vmin = 0.f;
    vmax = entries_.empty() ? 0.f : static_cast<float>(entries_.size() - 1);
}

bool COptionMenu::addEntry(const char* title, int index) {
    Entry e;
    e.title = title ? title : "";
    e.separator = e.title == "-";
    if (index < 0 || index > getNbEntries()) entries_.push_back(std::move(e));
    else entries_.insert(entries_.begin() + index, std::move(e));
    updateRange();
    setDirty(true);
    return true;
}

bool COptionMenu::addEntry(COptionMenu* submenu, const char* title) {
    if (!submenu || submenu == this) return false;
    Entry e;
    e.title = title ? title : "";
    e.submenu = submenu;
    submenu->retain();
    entries_.push_back(std::move(e));
    updateRange();
    setDirty(true);
    return true;
}

bool COptionMenu::removeEntry(int index) {
    if (index < 0 || index >= getNbEntries()) return false;
    closePopup();  // the open list shows the entries being changed
    if (COptionMenu* sub = entries_[static_cast<std::size_t>(index)].submenu) sub->release();
    entries_.erase(entries_.begin() + index);
    updateRange();
    setDirty(true);
    return true;
}

bool COptionMenu::removeAllEntry() {
    closePopup();
    for (Entry& e : entries_)
        if (e.submenu) e.submenu->release();
    entries_.clear();
    updateRange();
    value = 0.f;
    setDirty(true);
    return true;
}

const COptionMenu::Entry* COptionMenu::getEntryRecord(int index) const {
    if (index < 0 || index >= getNbEntries()) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

const char* COptionMenu::getEntry(int index) const {
    const Entry* e = getEntryRecord(index);
    return e ? e->title.c_str() : "";
}

bool COptionMenu::setEntryTitle(int index, const char* title) {
    if (index < 0 || index >= getNbEntries()) return false;
    entries_[static_cast<std::size_t>(index)].title = title ? title : "";
    setDirty(true);
    return true;
}

COptionMenu* COptionMenu::getSubMenu(int index) const {
    const Entry* e = getEntryRecord(index);
    return e ? e->submenu : nullptr;
}

bool COptionMenu::checkEntry(int index, bool checked) {
    if (index < 0 || index >= getNbEntries()) return false;
    entries_[static_cast<std::size_t>(index)].checked = checked;
    return true;
}

bool COptionMenu::isCheckEntry(int index) const {
    const Entry* e = getEntryRecord(index);
    return e && e->checked;
}

bool COptionMenu::setEntryEnabled(int index, bool enabled) {
    if (index < 0 || index >= getNbEntries()) return false;
    entries_[static_cast<std::size_t>(index)].enabled = enabled;
    return true;
}

bool COptionMenu::setCurrent(int index) {
    if (index < 0 || index >= getNbEntries()) return false;
    setValue(static_cast<float>(index));
    return true;
}

int COptionMenu::getCurrent() const {
    if (entries_.empty()) return -1;
    return static_cast<int>(std::lround(value));
}

COptionMenu* COptionMenu::getLastItemMenu(int& index) const {
    index = lastResult_;
    return lastMenu_;
}

void COptionMenu::setValue(float val) {
    if (std::isnan(val)) return;
    // Values arrive as entry indices; anything between entries shows the nearest one.
    CParamDisplay::setValue(val);
}

std::string COptionMenu::displayText() const {
    const Entry* e = getEntryRecord(getCurrent());
    return e && !e->separator ? e->title : std::string();
}

void COptionMenu::draw(CDrawContext* context) {
    CBitmap* saved = background_;
    if (isPopupOpen() && bgWhenClick_) background_ = bgWhenClick_;
    CParamDisplay::draw(context);
    background_ = saved;
}

bool COptionMenu::isPopupOpen() const { return popup_ && popup_->isOpen(); }

void COptionMenu::closePopup() {
    if (popup_) popup_->cancel();
    popup_.reset();
}

bool COptionMenu::openPopup(int buttons) {
    CFrame* frame = getFrame();
    if (!frame || entries_.empty()) return false;
    popup_.reset();
    lastButton_ = buttons;
    // Check marks: the current entry, unless the entries carry their own.
    if ((style_ & kCheckStyle) && !(style_ & kMultipleCheckStyle)) {
        const int current = getCurrent();
        for (int i = 0; i < getNbEntries(); ++i) entries_[static_cast<std::size_t>(i)].checked = i == current;
    }
    const CRect r = getFrameRect();
    popup_ = std::make_unique<MenuPopup>(frame, this, CPoint(r.left, r.bottom), r.width(),
                                         [this](COptionMenu* menu, int index) { popupChosen(menu, index); });
    if (!popup_->isOpen()) {
        popup_.reset();
        return false;
    }
    setDirty(true);
    return true;
}

void COptionMenu::popupChosen(COptionMenu* menu, int index) {
    lastMenu_ = menu;
    lastResult_ = index;
    setDirty(true);
    if (!menu || index < 0) return;
    beginEdit();
    if (menu == this) {
        value = static_cast<float>(index);
        setDirty(true);
    }
    valueChangedNotify();
    endEdit();
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & (kLButton | kRButton)) || (buttons & kApple)) return kMouseEventNotHandled;
    openPopup(buttons);
    return kMouseEventHandled;
}

CMouseEventResult COptionMenu::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

bool COptionMenu::onWheel(const CPoint&, const float& distance, const int&) {
    // A notch steps to the neighbouring entry (skipping separators), as menus in tool bars do.
    if (entries_.empty() || !std::isfinite(distance) || distance == 0.f) return false;
    const int step = distance > 0.f ? -1 : 1;
    int i = getCurrent();
    for (int tries = 0; tries < getNbEntries(); ++tries) {
        i += step;
        if (i < 0 || i >= getNbEntries()) return true;
        const Entry& e = entries_[static_cast<std::size_t>(i)];
        if (!e.separator && !e.submenu && e.enabled) break;
    }
    if (i < 0 || i >= getNbEntries()) return true;
    lastMenu_ = this;
    lastResult_ = i;
    beginEdit();
    value = static_cast<float>(i);
    setDirty(true);
    valueChangedNotify();
    endEdit();
    return true;
}

bool COptionMenu::removed(CView* parent) {
    closePopup();
    return CParamDisplay::removed(parent);
}

bool COptionMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "COptionMenu") == 0 || CParamDisplay::isTypeOf(className);
}

}  // namespace hm::gui
