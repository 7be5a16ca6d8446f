#include "gui/views/nHighlightSheet.h"

#include <cstring>

#include "gui/layout/ViewFactory.h"

namespace hm::gui {

nHighlightSheet::nHighlightSheet(const CRect& rect, int t, int number, CBitmap* highlight, int band, int num)
    : nPage(rect, t, number, highlight), band_(band), num_(num) {}

CView* nHighlightSheet::fallbackTarget(const CPoint& where) const {
    if (hidden || children_.empty() || !size.pointInside(where)) return nullptr;
    const CPoint local(where.x - size.left, where.y - size.top);
    for (CView* v : children_)
        if (v->isVisibleContainer() && v->getMouseEnabled() && v->hitTest(local)) return nullptr;
    CView* first = children_.front();
    return first->getMouseEnabled() ? first : nullptr;
}

CMouseEventResult nHighlightSheet::onMouseDown(CPoint& where, const int& buttons) {
    const CMouseEventResult r = nPage::onMouseDown(where, buttons);
    if (r == kMouseEventHandled) return r;
    CView* first = fallbackTarget(where);
    if (!first) return r;
    // In the children's coordinates; the capture goes to the first child as if it was hit.
    CPoint local(where.x - size.left, where.y - size.top);
    if (first->onMouseDown(local, buttons) != kMouseEventHandled) return kMouseEventNotHandled;
    mouseDownView_ = first;
    return kMouseEventHandled;
}

bool nHighlightSheet::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                              const int& buttons) {
    if (nPage::onWheel(where, axis, distance, buttons)) return true;
    CView* first = fallbackTarget(where);
    return first && first->onWheel(CPoint(where.x - size.left, where.y - size.top), axis, distance, buttons);
}

bool nHighlightSheet::isTypeOf(const char* className) const {
    return std::strcmp(className, "nHighlightSheet") == 0 || nPage::isTypeOf(className);
}

namespace {
CView* makeHighlightSheet(const ViewRequest& r) {
    return new nHighlightSheet(r.rect, r.tag, r.integer("pagenumber"), r.bitmap("highlight"), r.integer("band"),
                               r.integer("num"));
}
}  // namespace

void registerHighlightSheet() { registerViewClass("nHighlightSheet", makeHighlightSheet); }

}  // namespace hm::gui
