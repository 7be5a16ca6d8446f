#include "gui/framework/CControl.h"

#include <cmath>
#include <cstring>

#include "gui/framework/Modifiers.h"

namespace hm::gui {

CControl::CControl(const CRect& rect, CControlListener* l, int t, CBitmap* bg)
    : CView(rect), listener(l), tag(t) {
    if (bg) setBackground(bg);
}

CControl::~CControl() = default;

void CControl::setValue(float val) {
    if (std::isnan(val)) return;  // a broken value never reaches the screen
    if (val != value) {
        value = val;
        setDirty(true);
    }
}

void CControl::beginEdit() {
    if (editing_++ == 0 && listener) listener->controlBeginEdit(this);
}

void CControl::endEdit() {
    if (editing_ == 0) return;  // an unmatched end is ignored rather than passed on
    if (--editing_ == 0 && listener) listener->controlEndEdit(this);
}

void CControl::bounceValue() {
    const float lo = vmin < vmax ? vmin : vmax, hi = vmin < vmax ? vmax : vmin;
    if (value > hi) value = hi;
    else if (value < lo) value = lo;
}

float CControl::getValueNormalized() const {
    const float range = vmax - vmin;
    if (range == 0.f) return 0.f;
    const float n = (value - vmin) / range;
    return n < 0.f ? 0.f : (n > 1.f ? 1.f : n);
}

void CControl::setValueNormalized(float v) {
    if (std::isnan(v)) return;
    v = v < 0.f ? 0.f : (v > 1.f ? 1.f : v);
    setValue(vmin + v * (vmax - vmin));
}

bool CControl::checkDefaultValue(int buttons) {
    if (!isReset(buttons)) return false;
    beginEdit();
    value = defaultValue;
    bounceValue();
    setDirty(true);
    valueChangedNotify();
    endEdit();
    return true;
}

void CControl::valueChangedNotify() {
    if (listener) listener->valueChanged(this);
}

bool CControl::changeValue(float v) {
    const float before = value;
    value = v;
    bounceValue();
    if (value == before) return false;
    setDirty(true);
    valueChangedNotify();
    return true;
}

bool CControl::wheelStep(float distance, int buttons) {
    if (!std::isfinite(distance) || distance == 0.f) return false;
    const float step = isFine(buttons) ? wheelInc * 0.1f : wheelInc;
    const float before = value;
    value += distance * step;
    bounceValue();
    if (value == before) return true;  // at the end of the range: no gesture at all
    const float target = value;
    value = before;
    beginEdit();
    changeValue(target);
    endEdit();
    return true;
}

bool CControl::isDirty() const { return dirty_ || value != oldValue; }

void CControl::setDirty(bool state) {
    dirty_ = state;
    if (!state) oldValue = value;
}

bool CControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CControl") == 0 || CView::isTypeOf(className);
}

}  // namespace hm::gui
