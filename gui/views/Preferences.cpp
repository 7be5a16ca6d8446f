#include "gui/views/Preferences.h"

#include <cstring>

#include "core/Plug.h"
#include "gui/draw/Fonts.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/InstanceOf.h"
#include "prefs/GlobalPreferences.h"

namespace hm::gui {

namespace {

constexpr const char* kGroupNames[] = {"Mouse and Meter", "Misc"};
constexpr Rgb kHeaderBand = 0x202328;

}  // namespace

Preferences::Preferences(const CRect& rect, CControlListener* l, int t) : CControl(rect, l, t), plug_(instanceOf(l)) {
    refreshFromStore();
}

void Preferences::refreshFromStore() {
    list_.clear();
    const int count = prefs::globalPreferenceCount();
    builtCount_ = count;
    for (int group = 0; group < 2; ++group) {
        list_.addHeader(kGroupNames[group], group);
        for (int i = 0; i < count; ++i)
            if (prefs::globalPreferencePage(i) == group) list_.addItem(kGroupNames[group], prefs::globalPreferenceName(i), i);
    }
    list_.setScroll(list_.scroll());
    setDirty(true);
}

CRect Preferences::listArea() const { return CRect(size.left, size.top, size.right, size.bottom - kFooterHeight); }

CRect Preferences::saveButton() const {
    return CRect(size.left + kSaveX, size.bottom - 28, size.left + kSaveX + kSaveWidth, size.bottom - 8);
}

void Preferences::draw(CDrawContext* context) {
    // The schema arrives with the first instance; a view made before it catches up here.
    if (builtCount_ != prefs::globalPreferenceCount()) refreshFromStore();
    const CRect area = listArea();
    prefdraw::background(*context, size);
    const TrueTypeFont& font = TrueTypeFont::futura();
    {
        CDIB::StateSaver saved(*context);
        CRect clip = context->getClipRect();
        clip.bound(CRect(area.left, area.top, area.right - PreferenceList::kBarWidth, area.bottom));
        context->setClipRect(clip);
        const int offset = list_.offset(area.height());
        for (const PreferenceRow& row : list_.rows()) {
            const int top = area.top + row.top - offset;
            const CRect r(area.left, top, area.right - PreferenceList::kBarWidth, top + row.height);
            if (!r.rectOverlap(clip)) continue;
            if (row.header) {
                context->fillRect(CRect(r.left, r.top + 1, r.right, r.bottom - 1), kHeaderBand);
                font.drawInRect(*context, CRect(r.left + 10, r.top, r.right, r.bottom), row.page, prefdraw::kHeaderSize,
                                prefdraw::kHeaderText);
                continue;
            }
            prefdraw::fittedText(*context, CRect(r.left + 10, r.top, r.left + PreferenceList::kValueX - 6, r.bottom),
                                 row.name, prefdraw::kItemSize, prefdraw::kItemText, TextAlign::kLeft);
            const int current = prefs::getGlobalPreference(row.name);
            const int count = prefs::globalPreferenceValueCount(row.index);
            for (int j = 0; j < count; ++j) {
                const int left = r.left + PreferenceList::kValueX + PreferenceList::kValuePitch * j;
                prefdraw::valueButton(*context, CRect(left, r.top + 2, left + PreferenceList::kValueWidth, r.bottom - 2),
                                      prefs::globalPreferenceValueLabel(row.index, j), j == current);
            }
        }
    }
    prefdraw::scrollBar(*context, area, list_.contentHeight(), list_.scroll());

    // The save row.
    context->fillRect(CRect(size.left, area.bottom, size.right, area.bottom + 1), 0x000000, 0.5f);
    prefdraw::fittedText(*context, CRect(size.left + 20, size.bottom - 28, size.left + kSaveX - 8, size.bottom - 8),
                         "Save current state as default:", prefdraw::kItemSize, prefdraw::kItemText, TextAlign::kLeft);
    const CRect button = saveButton();
    context->fillRoundRect(button, 3.f, savePressed_ ? 0xFFFFFF : 0x3C4047);
    context->frameRoundRect(button, 3.f, 0x24272B);
    font.drawInRect(*context, button, "Save", 12.f, savePressed_ ? 0x16181B : 0xFFFFFF, TextAlign::kCentre);
    if (saveOutcome_ != 0) {
        font.drawInRect(*context, CRect(button.right + 10, button.top, size.right - 4, button.bottom),
                        saveOutcome_ > 0 ? "Saved." : "Could not write the default bank.", 12.f,
                        saveOutcome_ > 0 ? 0xA6A6A6 : 0xE06060);
    }
    setDirty(false);
}

CMouseEventResult Preferences::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple) || !size.pointInside(where)) return kMouseEventNotHandled;
    const CRect area = listArea();
    const CRect button = saveButton();
    if (CRect(button.left, button.top + 2, button.right, button.bottom).pointInside(where)) {
        savePressed_ = true;
        saveOutcome_ = plug_ && plug_->saveStateAsDefault() ? 1 : -1;
        setDirty(true);
        return kMouseEventHandled;
    }
    if (!area.pointInside(where)) return kMouseEventHandled;
    if (where.x >= area.right - PreferenceList::kBarWidth) {
        draggingBar_ = true;
        list_.scrollFromPointer(where.y - area.top, area.height());
        setDirty(true);
        return kMouseEventHandled;
    }
    const int index = list_.rowAt(where.y - area.top, area.height());
    if (index < 0) return kMouseEventHandled;
    const PreferenceRow& row = list_.rows()[static_cast<std::size_t>(index)];
    const int j = PreferenceList::valueColumn(where.x - area.left);
    if (row.header || j < 0 || j >= prefs::globalPreferenceValueCount(row.index)) return kMouseEventHandled;
    if (prefs::setGlobalPreference(row.name, j)) {
        setDirty(true);
        valueChangedNotify();
    }
    return kMouseEventHandled;
}

CMouseEventResult Preferences::onMouseMoved(CPoint& where, const int& buttons) {
    if (!draggingBar_) return kMouseEventNotHandled;
    if (buttons & kLButton) {
        list_.scrollFromPointer(where.y - size.top, listArea().height());
        setDirty(true);
    }
    return kMouseEventHandled;
}

CMouseEventResult Preferences::onMouseUp(CPoint&, const int&) {
    draggingBar_ = false;
    if (savePressed_) {
        savePressed_ = false;
        setDirty(true);
    }
    return kMouseEventHandled;
}

bool Preferences::onWheel(const CPoint&, const float& distance, const int&) {
    if (!list_.wheel(distance, listArea().height())) return false;
    setDirty(true);
    return true;
}

void Preferences::setViewSize(const CRect& rect, bool invalidate) {
    CControl::setViewSize(rect, invalidate);
    list_.setScroll(list_.scroll());
}

bool Preferences::isTypeOf(const char* className) const {
    return std::strcmp(className, "Preferences") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makePreferences(const ViewRequest& r) { return new Preferences(r.rect, r.listener, r.tag); }
}  // namespace

void registerPreferences() { registerViewClass("Preferences", makePreferences); }

}  // namespace hm::gui
