#include "gui/views/nDarken.h"

#include <cstring>

#include "gui/layout/ViewFactory.h"

namespace hm::gui {

nDarken::nDarken(const CRect& rect, CControlListener* l, int t) : CControl(rect, l, t) {}

void nDarken::draw(CDrawContext* context) {
    if (isCovering()) context->fillRect(size, 0x000000, kOpacity / 255.f);
    setDirty(false);
}

bool nDarken::hitTest(const CPoint& where, const int& buttons) {
    return isCovering() && CControl::hitTest(where, buttons);
}

CMouseEventResult nDarken::onMouseDown(CPoint&, const int&) {
    if (!isCovering()) return kMouseEventNotHandled;
    beginEdit();
    value = 0.f;
    setDirty(true);
    valueChangedNotify();
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult nDarken::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

bool nDarken::onWheel(const CPoint&, const float&, const int&) { return isCovering(); }

bool nDarken::isTypeOf(const char* className) const {
    return std::strcmp(className, "nDarken") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makeDarken(const ViewRequest& r) { return new nDarken(r.rect, r.listener, r.tag); }
}  // namespace

void registerDarken() { registerViewClass("nDarken", makeDarken); }

}  // namespace hm::gui
