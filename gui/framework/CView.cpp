#include "gui/framework/CView.h"

#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/CViewContainer.h"

namespace hm::gui {

CView::CView(const CRect& rect) : size(rect), mouseableArea_(rect) {}

CView::~CView() {
    if (background_) background_->release();
}

void CView::draw(CDrawContext* context) {
    if (background_ && context) {
        if (transparent_) background_->drawAlphaBlend(*context, size);
        else background_->draw(*context, size);
    }
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) { draw(context); }

void CView::setDirty(bool state) { dirty_ = state; }

CMouseEventResult CView::onMouseDown(CPoint&, const int&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const int&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const int&) { return kMouseEventNotImplemented; }
void CView::onMouseEntered(CPoint&, const int&) {}
void CView::onMouseExited(CPoint&, const int&) {}

bool CView::onWheel(const CPoint&, const float&, const int&) { return false; }

bool CView::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                    const int& buttons) {
    // Views that know only one wheel take the vertical one.
    if (axis == kMouseWheelAxisY) return onWheel(where, distance, buttons);
    return false;
}

bool CView::hitTest(const CPoint& where, const int&) { return mouseableArea_.pointInside(where); }

bool CView::onKeyDown(const KeyCode&) { return false; }
bool CView::onKeyUp(const KeyCode&) { return false; }

void CView::setViewSize(const CRect& rect, bool invalidate) {
    if (invalidate) {
        // The old place shows whatever lies beneath once the view has left it.
        if (CFrame* f = getFrame(); f && isVisibleInTree()) f->invalidRect(getFrameRect());
    }
    size = rect;
    mouseableArea_ = rect;
    if (invalidate) setDirty(true);
}

CPoint CView::getFrameTopLeftPos() const {
    CPoint p(size.left, size.top);
    for (const CView* v = parentView_; v; v = v->parentView_) {
        if (v->parentView_) p.offset(v->size.left, v->size.top);  // the frame sits at (0, 0)
    }
    return p;
}

CRect CView::getFrameRect() const {
    const CPoint p = getFrameTopLeftPos();
    return CRect::fromSize(p.x, p.y, size.width(), size.height());
}

CPoint CView::frameToParent(CPoint p) const {
    for (const CView* v = parentView_; v && v->parentView_; v = v->parentView_)
        p.offset(-v->size.left, -v->size.top);
    return p;
}

void CView::setBackground(CBitmap* background) {
    if (background == background_) return;
    if (background) background->retain();
    if (background_) background_->release();
    background_ = background;
    setDirty(true);
}

bool CView::attached(CView* parent) {
    parentView_ = parent;
    return true;
}

bool CView::removed(CView*) {
    parentView_ = nullptr;
    return true;
}

CFrame* CView::getFrame() const {
    const CView* v = this;
    while (v->parentView_) v = v->parentView_;
    return const_cast<CFrame*>(dynamic_cast<const CFrame*>(v));
}

bool CView::isTypeOf(const char* className) const { return std::strcmp(className, "CView") == 0; }

bool CView::isVisibleInTree() const {
    for (const CView* v = this; v; v = v->parentView_)
        if (!v->isVisibleContainer()) return false;
    return true;
}

}  // namespace hm::gui
