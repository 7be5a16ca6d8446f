#include "gui/framework/nPage.h"

#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {

nPage::nPage(const CRect& rect, int t, int number, CBitmap* background)
    : CGViewContainer(rect, number != 0), iControl(t, rect), pagenumber(number) {
    iValue = 0.f;
    if (background) CGViewContainer::setBackground(background);
}

void nPage::setPageNumber(int n) {
    pagenumber = n;
    setHidden(iValue != static_cast<float>(pagenumber));
}

void nPage::setValue(float value) {
    iValue = value;
    setHidden(value != static_cast<float>(pagenumber));
    setDirty(true);
}

void nPage::setDirty(bool state) { CGViewContainer::setDirty(state); }

void nPage::setMouseableArea(const CRect& rect) { CGViewContainer::setMouseableArea(rect); }

void nPage::setBackground(CBitmap* background) { CGViewContainer::setBackground(background); }

void nPage::setViewSize(const CRect& rect, bool invalidate) {
    CGViewContainer::setViewSize(rect, invalidate);
    iRect = rect;
}

bool nPage::isTypeOf(const char* className) const {
    return std::strcmp(className, "nPage") == 0 || CGViewContainer::isTypeOf(className);
}

bool nClickThruPage::hitTest(const CPoint& where, const int& buttons) {
    if (!nPage::hitTest(where, buttons)) return false;
    const CPoint local(where.x - size.left, where.y - size.top);
    for (CView* v : children_) {
        if (v->getMouseEnabled() && v->isVisibleContainer() && v->hitTest(local, buttons)) return true;
    }
    return false;
}

bool nClickThruPage::isTypeOf(const char* className) const {
    return std::strcmp(className, "nClickThruPage") == 0 || nPage::isTypeOf(className);
}

CMouseEventResult nDraggablePage::onMouseDown(CPoint& where, const int& buttons) {
    if (hidden) return kMouseEventNotHandled;
    const CMouseEventResult r = nPage::onMouseDown(where, buttons);
    if (r == kMouseEventHandled) return r;
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    dragging_ = true;
    grab_ = CPoint(where.x - size.left, where.y - size.top);
    return kMouseEventHandled;
}

CMouseEventResult nDraggablePage::onMouseMoved(CPoint& where, const int& buttons) {
    if (!dragging_) return nPage::onMouseMoved(where, buttons);
    CRect r = size;
    r.moveTo(where.x - grab_.x, where.y - grab_.y);
    if (r != size) setViewSize(r, true);
    return kMouseEventHandled;
}

CMouseEventResult nDraggablePage::onMouseUp(CPoint& where, const int& buttons) {
    if (!dragging_) return nPage::onMouseUp(where, buttons);
    dragging_ = false;
    return kMouseEventHandled;
}

bool nDraggablePage::isTypeOf(const char* className) const {
    return std::strcmp(className, "nDraggablePage") == 0 || nPage::isTypeOf(className);
}

nPageSelect::nPageSelect(const CRect& rect, CControlListener* l, int t, float val)
    : CControl(rect, l, t), val_(val) {}

void nPageSelect::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult nPageSelect::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    remembered_ = value;
    // The listener hears every click, even on the page that already shows
    // (a selector may reopen a panel that was closed by other means).
    value = val_;
    setDirty(true);
    valueChangedNotify();
    return kMouseEventHandled;
}

CMouseEventResult nPageSelect::onMouseMoved(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton)) return kMouseEventHandled;
    const float want = size.pointInside(where) ? val_ : remembered_;
    if (want != value) {
        value = want;
        setDirty(true);
        valueChangedNotify();
    }
    return kMouseEventHandled;
}

CMouseEventResult nPageSelect::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

bool nPageSelect::isTypeOf(const char* className) const {
    return std::strcmp(className, "nPageSelect") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
