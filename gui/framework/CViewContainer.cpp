#include "gui/framework/CViewContainer.h"

#include <algorithm>
#include <cstring>

#include "gui/framework/CFrame.h"

namespace hm::gui {

CViewContainer::CViewContainer(const CRect& rect) : CView(rect) {}

CViewContainer::~CViewContainer() { removeAll(true); }

bool CViewContainer::addView(CView* view) {
    if (!view) return false;
    children_.push_back(view);
    view->attached(this);
    view->setDirty(true);
    return true;
}

bool CViewContainer::addView(CView* view, const CRect& mouseableArea, bool mouseEnabled) {
    if (!addView(view)) return false;
    view->setMouseableArea(mouseableArea);
    view->setMouseEnabled(mouseEnabled);
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
    auto it = std::find(children_.begin(), children_.end(), view);
    if (it == children_.end()) return false;
    if (CFrame* f = getFrame()) {
        f->viewWillGo(view);
        if (isVisibleInTree()) f->invalidRect(view->getFrameRect());
    }
    if (mouseDownView_ == view) mouseDownView_ = nullptr;
    children_.erase(it);
    view->removed(this);
    if (withForget) view->release();
    return true;
}

void CViewContainer::removeAll(bool withForget) {
    CFrame* f = getFrame();
    mouseDownView_ = nullptr;
    // Children go in reverse order so that later views never outlive earlier ones' removal.
    while (!children_.empty()) {
        CView* v = children_.back();
        children_.pop_back();
        if (f) f->viewWillGo(v);
        v->removed(this);
        if (withForget) v->release();
    }
}

bool CViewContainer::removed(CView* parent) {
    // Detaching a container detaches the frame from everything below it too.
    if (CFrame* f = getFrame())
        forEachDescendant([f](CView* v) { f->viewWillGo(v); });
    return CView::removed(parent);
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children_.begin(), children_.end(), view) != children_.end();
}

CView* CViewContainer::getView(int index) const {
    if (index < 0 || index >= getNbViews()) return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    CPoint local(where.x - size.left, where.y - size.top);
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisibleContainer() || !v->getViewSize().pointInside(local)) continue;
        if (deep) {
            if (CViewContainer* c = v->asContainer()) {
                if (CView* inner = c->getViewAt(local, true)) return inner;
            }
        }
        return v;
    }
    return nullptr;
}

void CViewContainer::setBackgroundColor(Rgb colour, float opacity) {
    backgroundColour_ = colour;
    backgroundOpacity_ = opacity;
    drawBackgroundColour_ = true;
    setDirty(true);
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, size); }

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect) {
    CRect r = updateRect;
    r.bound(size);
    if (r.isEmpty()) return;
    if (drawBackgroundColour_) context->fillRect(r, backgroundColour_, backgroundOpacity_);
    if (background_) {
        const CPoint src(r.left - size.left, r.top - size.top);
        if (transparent_ || background_->hasAlpha()) background_->drawAlphaBlend(*context, r, src);
        else background_->draw(*context, r, src);
    }
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (!context) return;
    CRect area = updateRect;
    area.bound(size);
    if (area.isEmpty()) return;
    CDIB::StateSaver saved(*context);
    {
        CRect clip = context->getClipRect();
        clip.bound(area);
        if (clip.isEmpty()) return;
        context->setClipRect(clip);
    }
    drawBackgroundRect(context, area);

    // Children draw in this container's coordinates.
    const CPoint origin = context->getOrigin();
    const CRect parentClip = context->getClipRect();
    context->setOrigin(CPoint(origin.x + size.left, origin.y + size.top));
    CRect localArea = area;
    localArea.offset(-size.left, -size.top);
    CRect localClip = parentClip;
    localClip.offset(-size.left, -size.top);
    for (CView* v : children_) {
        if (!v->isVisibleContainer()) {
            v->setDirty(false);
            continue;
        }
        CRect childArea = v->getViewSize();
        childArea.bound(localArea);
        if (childArea.isEmpty()) continue;
        CRect clip = localClip;
        clip.bound(childArea);
        if (clip.isEmpty()) continue;
        context->setClipRect(clip);
        v->drawRect(context, childArea);
        v->setDirty(false);
    }
    setDirty(false);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const int& buttons) {
    if (!acceptsMouse()) return kMouseEventNotHandled;
    CPoint local(where.x - size.left, where.y - size.top);
    // Topmost first; a child that does not handle the click lets it fall to the next one.
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* v = *it;
        if (!v->getMouseEnabled() || !v->isVisibleContainer() || !v->hitTest(local, buttons)) continue;
        CPoint p = local;
        const CMouseEventResult r = v->onMouseDown(p, buttons);
        if (r == kMouseEventHandled) {
            mouseDownView_ = v;
            return kMouseEventHandled;
        }
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const int& buttons) {
    CView* v = mouseDownView_;
    if (!v) return kMouseEventNotHandled;
    mouseDownView_ = nullptr;
    CPoint local(where.x - size.left, where.y - size.top);
    v->onMouseUp(local, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const int& buttons) {
    CPoint local(where.x - size.left, where.y - size.top);
    CView* v = mouseDownView_;
    if (!v) {
        // No capture: the move reaches the views under the pointer (hover effects).
        if (!acceptsMouse()) return kMouseEventNotHandled;
        for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
            CView* c = *it;
            if (!c->getMouseEnabled() || !c->isVisibleContainer() || !c->hitTest(local, buttons)) continue;
            CPoint p = local;
            if (c->onMouseMoved(p, buttons) == kMouseEventHandled) return kMouseEventHandled;
        }
        return kMouseEventNotHandled;
    }
    const CMouseEventResult r = v->onMouseMoved(local, buttons);
    if (r == kMouseEventNotHandled) {
        // The captured view gave up the drag; views that do not track moves keep it.
        mouseDownView_ = nullptr;
        return kMouseEventNotHandled;
    }
    return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance, const int& buttons) {
    return onWheel(where, kMouseWheelAxisY, distance, buttons);
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                             const int& buttons) {
    if (!acceptsMouse()) return false;
    CPoint local(where.x - size.left, where.y - size.top);
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* v = *it;
        if (!v->getMouseEnabled() || !v->isVisibleContainer() || !v->hitTest(local, 0)) continue;
        if (v->onWheel(local, axis, distance, buttons)) return true;
    }
    return false;
}

bool CViewContainer::hitTest(const CPoint& where, const int& buttons) {
    if (!acceptsMouse()) return false;
    return CView::hitTest(where, buttons);
}

bool CViewContainer::isTypeOf(const char* className) const {
    return std::strcmp(className, "CViewContainer") == 0 || CView::isTypeOf(className);
}

void CViewContainer::clearMouseDownView() {
    if (mouseDownView_)
        if (CViewContainer* c = mouseDownView_->asContainer()) c->clearMouseDownView();
    mouseDownView_ = nullptr;
}

}  // namespace hm::gui
