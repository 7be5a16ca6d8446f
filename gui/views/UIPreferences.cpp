#include "gui/views/UIPreferences.h"

#include <cstdio>
#include <cstring>

#include "core/Plug.h"
#include "gui/controls/COptionMenu.h"
#include "gui/draw/Fonts.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/InstanceOf.h"

namespace hm::gui {

namespace {

constexpr Rgb kHeaderBand = 0x202328;

std::string withPage(const char* pattern, const std::string& page) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, page.c_str());
    return text;
}

}  // namespace

UIPreferences::UIPreferences(const CRect& rect, CControlListener* l, int t)
    : CControl(rect, l, t),
      plug_(instanceOf(l)),
      valueMenu_(new COptionMenu(CRect(), this, -1, nullptr, nullptr, kCheckStyle)),  // the value in force ticked
      defaultsMenu_(new COptionMenu(CRect(), this, -1)) {
    if (prefs::EditorPreferences* t = tree()) t->addOpenMembers();
    rebuildRows();
}

UIPreferences::~UIPreferences() {
    valueMenu_->release();
    defaultsMenu_->release();
}

prefs::EditorPreferences* UIPreferences::tree() const { return plug_ ? &plug_->editorPreferenceTree() : nullptr; }

void UIPreferences::rebuildRows() {
    list_.clear();
    const prefs::EditorPreferences* t = tree();
    if (!t) return;
    for (const std::string& page : t->pageNames()) {
        list_.addHeader(page);
        if (!t->isPageOpen(page)) continue;
        for (const std::string& name : t->preferenceNames(page)) list_.addItem(page, name);
    }
    list_.setScroll(list_.scroll());
}

void UIPreferences::refreshFromStore() {
    if (prefs::EditorPreferences* t = tree()) t->addOpenMembers();
    rebuildRows();
    setDirty(true);
}

CRect UIPreferences::rowRect(const PreferenceRow& row) const {
    const int top = size.top + row.top - list_.offset(size.height());
    return CRect(size.left, top, size.right - PreferenceList::kBarWidth, top + row.height);
}

void UIPreferences::draw(CDrawContext* context) {
    prefdraw::background(*context, size);
    const prefs::EditorPreferences* t = tree();
    if (t) {
        CDIB::StateSaver saved(*context);
        CRect clip = context->getClipRect();
        clip.bound(CRect(size.left, size.top, size.right - PreferenceList::kBarWidth, size.bottom));
        context->setClipRect(clip);
        const TrueTypeFont& font = TrueTypeFont::futura();
        for (const PreferenceRow& row : list_.rows()) {
            const CRect r = rowRect(row);
            if (!r.rectOverlap(clip)) continue;
            const int x = r.left;
            if (row.header) {
                context->fillRect(CRect(r.left, r.top + 1, r.right, r.bottom - 1), kHeaderBand);
                font.drawInRect(*context, CRect(x + 22, r.top, x + 122, r.bottom), row.page, prefdraw::kHeaderSize,
                                prefdraw::kHeaderText);
                prefdraw::triangle(*context, static_cast<float>(x) + 15.5f, static_cast<float>(r.top) + 10.5f,
                                   t->isPageOpen(row.page), prefdraw::kHeaderText);
                prefdraw::menuButton(*context, CRect(x + kLoadSaveX, r.top + 3, x + kLoadSaveX + kLoadSaveWidth, r.bottom - 3),
                                     "Load/Save...");
                continue;
            }
            prefdraw::fittedText(*context, CRect(x + 10, r.top, x + PreferenceList::kValueX - 6, r.bottom), row.name,
                                 prefdraw::kItemSize, prefdraw::kItemText, TextAlign::kLeft);
            const std::vector<std::string> labels = t->valueLabels(row.page, row.name);
            const int current = t->getUIPreference(row.page, row.name);
            const int buttonTop = r.top + 2, buttonBottom = r.bottom - 2;
            if (static_cast<int>(labels.size()) > PreferenceList::kMenuLimit) {
                const std::string shown =
                    current >= 0 && current < static_cast<int>(labels.size()) ? labels[static_cast<std::size_t>(current)] : "";
                prefdraw::menuButton(*context,
                                     CRect(x + PreferenceList::kValueX, buttonTop,
                                           x + PreferenceList::kValueX + PreferenceList::kValueWidth, buttonBottom),
                                     shown);
                continue;
            }
            for (std::size_t j = 0; j < labels.size(); ++j) {
                const int left = x + PreferenceList::kValueX + PreferenceList::kValuePitch * static_cast<int>(j);
                prefdraw::valueButton(*context, CRect(left, buttonTop, left + PreferenceList::kValueWidth, buttonBottom),
                                      labels[j], static_cast<int>(j) == current);
            }
        }
    }
    prefdraw::scrollBar(*context, size, list_.contentHeight(), list_.scroll());
    setDirty(false);
}

CMouseEventResult UIPreferences::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    if (!size.pointInside(where)) return kMouseEventNotHandled;
    if (where.x >= size.right - PreferenceList::kBarWidth) {
        draggingBar_ = true;
        list_.scrollFromPointer(where.y - size.top, size.height());
        setDirty(true);
        return kMouseEventHandled;
    }
    const int index = list_.rowAt(where.y - size.top, size.height());
    if (index < 0 || !tree()) return kMouseEventHandled;
    const PreferenceRow row = list_.rows()[static_cast<std::size_t>(index)];
    if (row.header) {
        headerClicked(row, where.x - size.left, rowRect(row));
    } else {
        itemClicked(row, where.x - size.left, rowRect(row));
    }
    return kMouseEventHandled;
}

CMouseEventResult UIPreferences::onMouseMoved(CPoint& where, const int& buttons) {
    if (!draggingBar_) return kMouseEventNotHandled;
    if (buttons & kLButton) {
        list_.scrollFromPointer(where.y - size.top, size.height());
        setDirty(true);
    }
    return kMouseEventHandled;
}

CMouseEventResult UIPreferences::onMouseUp(CPoint&, const int&) {
    draggingBar_ = false;
    return kMouseEventHandled;
}

bool UIPreferences::onWheel(const CPoint&, const float& distance, const int&) {
    if (!list_.wheel(distance, size.height())) return false;
    setDirty(true);
    return true;
}

void UIPreferences::headerClicked(const PreferenceRow& row, int x, const CRect& box) {
    if (x > kLoadSaveX - 1) {
        menuPage_ = row.page;
        defaultsMenu_->removeAllEntry();
        defaultsMenu_->addEntry(withPage("Save settings for %s as default", row.page).c_str());
        defaultsMenu_->addEntry(withPage("Restore settings for %s to default", row.page).c_str());
        defaultsMenu_->addSeparator();
        defaultsMenu_->addEntry("Save all UI settings as Default");
        defaultsMenu_->addEntry("Restore all UI settings to Default");
        openMenu(defaultsMenu_, CRect(box.left + kLoadSaveX, box.top + 3, box.left + kLoadSaveX + kLoadSaveWidth,
                                      box.bottom - 3));
        return;
    }
    prefs::EditorPreferences* t = tree();
    t->setPageOpen(row.page, !t->isPageOpen(row.page));
    rebuildRows();
    setDirty(true);
}

void UIPreferences::itemClicked(const PreferenceRow& row, int x, const CRect& box) {
    const std::vector<std::string> labels = tree()->valueLabels(row.page, row.name);
    const int count = static_cast<int>(labels.size());
    const int j = PreferenceList::valueColumn(x);
    if (count <= PreferenceList::kMenuLimit) {
        if (j >= 0 && j < count) setPreference(row.page, row.name, j);
        return;
    }
    if (j != 0) return;
    menuPage_ = row.page;
    menuName_ = row.name;
    valueMenu_->removeAllEntry();
    for (const std::string& label : labels) valueMenu_->addEntry(label.c_str());
    valueMenu_->setCurrent(tree()->getUIPreference(row.page, row.name));
    const int left = box.left + PreferenceList::kValueX;
    openMenu(valueMenu_, CRect(left, box.top + 2, left + PreferenceList::kValueWidth, box.bottom - 2));
}

void UIPreferences::openMenu(COptionMenu* menu, const CRect& box) {
    menu->setViewSize(box, false);
    menu->openPopup(kLButton);
}

void UIPreferences::setPreference(const std::string& page, const std::string& name, int value) {
    if (!tree()->setUIPreference(page, name, value)) return;
    setDirty(true);
    valueChangedNotify();
}

void UIPreferences::runDefaultCommand(int command, const std::string& page) {
    if (!plug_) return;
    bool treeChanged = false;
    switch (command) {
        case kSavePage: plug_->savePageAsDefault(page.c_str()); break;
        case kRestorePage: treeChanged = plug_->restorePageDefault(page.c_str()); break;
        case kSaveAll: plug_->saveAllAsDefault(); break;
        case kRestoreAll: treeChanged = plug_->restoreAllDefaults(); break;
        default: break;
    }
    if (!treeChanged) return;
    refreshFromStore();
    valueChangedNotify();
}

void UIPreferences::valueChanged(CControl* control) {
    if (control == valueMenu_) {
        setPreference(menuPage_, menuName_, valueMenu_->getCurrent());
    } else if (control == defaultsMenu_) {
        int index = -1;
        if (defaultsMenu_->getLastItemMenu(index) == defaultsMenu_) runDefaultCommand(index, menuPage_);
    }
}

void UIPreferences::setViewSize(const CRect& rect, bool invalidate) {
    CControl::setViewSize(rect, invalidate);
    list_.setScroll(list_.scroll());
}

bool UIPreferences::attached(CView* parent) {
    // The menus live beside the view so their lists open where its buttons are.
    valueMenu_->attached(parent);
    defaultsMenu_->attached(parent);
    return CControl::attached(parent);
}

bool UIPreferences::removed(CView* parent) {
    valueMenu_->removed(parent);
    defaultsMenu_->removed(parent);
    return CControl::removed(parent);
}

bool UIPreferences::isTypeOf(const char* className) const {
    return std::strcmp(className, "UIPreferences") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makeUIPreferences(const ViewRequest& r) { return new UIPreferences(r.rect, r.listener, r.tag); }
}  // namespace

void registerUIPreferences() { registerViewClass("UIPreferences", makeUIPreferences); }

}  // namespace hm::gui
