#include "gui/views/CTypeButton.h"

#include <algorithm>
#include <cstring>

#include "core/params/ParamIds.h"
#include "gui/controls/MenuPopup.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/SkinIds.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/BandControlSupport.h"
#include "gui/views/BandDisplay.h"
#include "gui/views/ViewValues.h"
#include "gui/views/ParameterText.h"
#include "gui/views/TypeMenu.h"

namespace hm::gui {

namespace {
constexpr int kCellWidth = 31, kCellHeight = 32;
constexpr int kBypassed = 1, kOn = 2;
}  // namespace

// ---- CBypassButton ----

CBypassButton::CBypassButton(const CRect& rect, CControlListener* l, int band)
    : CControl(rect, l, bandParam(band, kBandState)), band_(band) {}

int CBypassButton::state() const { return static_cast<int>(baseRealValue(tag, value)); }

void CBypassButton::toggle() {
    const int now = state();
    if (now != kBypassed && now != kOn) return;
    beginEdit();
    value = baseNormalisedValue(tag, 3 - now);
    setDirty(true);
    valueChangedNotify();
    endEdit();
}

void CBypassButton::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult CBypassButton::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    toggle();
    return kMouseEventHandled;
}

bool CBypassButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CBypassButton") == 0 || CControl::isTypeOf(className);
}

// ---- CTypeButton ----

CTypeButton::CTypeButton(const CRect& rect, CControlListener* l, int band, CBypassButton* bypass)
    : CControl(rect, l, bandParam(band, kBandType)), band_(band), bypass_(bypass),
      menu_(new COptionMenu(CRect(), nullptr, -1)) {
    if (bypass_) bypass_->retain();
    setDefaultValue(parameterDefaultValue(tag));
}

CTypeButton::~CTypeButton() {
    popup_.reset();
    menu_->release();
    if (bypass_) bypass_->release();
}

int CTypeButton::type() const { return std::clamp(static_cast<int>(baseRealValue(tag, value)), 1, 6); }

bool CTypeButton::isMenuOpen() const { return popup_ && popup_->isOpen(); }

bool CTypeButton::openTypeMenu() {
    CFrame* frame = getFrame();
    if (!frame) return false;
    const int subtypeTag = bandParam(band_, kBandSubtype);
    const int subtype = static_cast<int>(baseRealValue(subtypeTag, currentParameterValue(listener, subtypeTag))) - 1;
    popup_.reset();
    buildTypeMenu(*menu_, subtypeMenu_, type(), subtype);
    const CRect r = getFrameRect();
    popup_ = std::make_unique<MenuPopup>(frame, menu_, CPoint(r.left, r.bottom), r.width(),
                                         [this](COptionMenu* menu, int index) {
                                             const TypeChoice c = typeMenuChoice(*menu_, menu, index);
                                             if (c.type > 0) chooseType(c.type, c.subtype);
                                         });
    if (!popup_->isOpen()) {
        popup_.reset();
        return false;
    }
    return true;
}

void CTypeButton::chooseType(int newType, int subtype) {
    if (newType < 1 || newType > 6) return;
    beginEdit();
    value = baseNormalisedValue(tag, newType);
    setDirty(true);
    valueChangedNotify();
    endEdit();
    if (subtype >= 0) {
        const int subtypeTag = bandParam(band_, kBandSubtype);
        editUnderTag(this, subtypeTag, baseNormalisedValue(subtypeTag, subtype + 1));
    }
}

void CTypeButton::draw(CDrawContext* context) {
    const int state = bypass_ ? bypass_->state() : kOn;
    if (const CBitmap* ring = getSkinBitmap(skin::kTypeButtonRing)) {
        const int frame = std::clamp(state, 0, 2);
        ring->drawAlphaBlend(*context, size, CPoint(0, frame * kCellHeight));
    }
    if (state == kOn) {
        CRect ring = size;
        ring.inset(2, 2);
        context->frameRoundRect(ring, 5.f, bandDisplayColour(listener, band_), 1.f, 1.5f);
    }
    if (const CBitmap* icons = getSkinBitmap(skin::kTypeIcons)) {
        const int column = state == kOn ? 1 : 0;
        icons->drawAlphaBlend(*context, size, CPoint(column * kCellWidth, (type() - 1) * kCellHeight),
                              state == kOn ? 255 : 160);
    }
    setDirty(false);
}

CMouseEventResult CTypeButton::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    reportBandPress(this, band_);
    if ((buttons & kRButton) || (buttons & kControl) || (buttons & kApple)) {
        openTypeMenu();
        return kMouseEventHandled;
    }
    if (bypass_) {
        CPoint p = where;
        bypass_->onMouseDown(p, buttons);
    }
    return kMouseEventHandled;
}

CMouseEventResult CTypeButton::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

bool CTypeButton::removed(CView* parent) {
    popup_.reset();
    return CControl::removed(parent);
}

bool CTypeButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CTypeButton") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
