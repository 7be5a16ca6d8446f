#include "gui/views/CEQKnob.h"

#include <cstring>

#include "gui/draw/BitmapCache.h"
#include "gui/draw/SkinIds.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/BandControlSupport.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr int kKnobSize = 30;
constexpr std::uint32_t kHighlightRing = 0x803DB2E8u;
}  // namespace

CEQKnob::CEQKnob(const CRect& rect, CControlListener* l, int t, int band)
    : CAnimKnob(rect, l, t, skin::kKnobFrames, kKnobSize, getSkinBitmap(skin::kKnob)), band_(band) {
    setDefaultValue(parameterDefaultValue(t));
    initOutline(1, kHighlightRing);
}

void CEQKnob::setHighlighted(bool on) {
    if (on == highlighted_) return;
    highlighted_ = on;
    setDirty(true);
}

void CEQKnob::draw(CDrawContext* context) {
    CAnimKnob::draw(context);
    if (highlighted_) CHighlightControl::draw(*context, size);
    setDirty(false);
}

CMouseEventResult CEQKnob::onMouseDown(CPoint& where, const int& buttons) {
    if (buttons & kApple) return kMouseEventNotHandled;
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    reportBandPress(this, band_);
    if ((buttons & kDoubleClick) || resetOrActionClick(buttons)) {
        resetToDefault(this);
        return kMouseEventHandled;
    }
    return CAnimKnob::onMouseDown(where, remapRightDrag(buttons));
}

CMouseEventResult CEQKnob::onMouseMoved(CPoint& where, const int& buttons) {
    return CAnimKnob::onMouseMoved(where, remapRightDrag(buttons));
}

bool CEQKnob::onWheel(const CPoint&, const float& distance, const int& buttons) {
    return bandWheelStep(this, distance, buttons);
}

bool CEQKnob::isTypeOf(const char* className) const {
    return std::strcmp(className, "CEQKnob") == 0 || CAnimKnob::isTypeOf(className);
}

namespace {
CView* makeKnob(const ViewRequest& r) { return new CEQKnob(r.rect, r.listener, r.tag, bandAttribute(r)); }
}  // namespace

void registerEQKnob() { registerViewClass("CEQKnob", makeKnob); }

}  // namespace hm::gui
