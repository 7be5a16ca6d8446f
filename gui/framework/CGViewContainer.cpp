#include "gui/framework/CGViewContainer.h"

#include <cstring>

#include "gui/draw/CDIB.h"
#include "gui/framework/CFrame.h"

namespace hm::gui {

CGViewContainer::CGViewContainer(const CRect& rect, bool hide) : CViewContainer(rect) {
    hidden = hide;
    setMouseEnabled(!hide);
}

void CGViewContainer::setHidden(bool hide) {
    if (hide && !hidden) {
        // A hidden container cannot keep a drag or the keyboard.
        if (CFrame* f = getFrame()) {
            forEachDescendant([f](CView* v) {
                if (f->getFocusView() == v) f->setFocusView(nullptr);
            });
        }
        clearMouseDownView();
    }
    hidden = hide;
    setMouseEnabled(!hide);
    setDirty(true);
}

void CGViewContainer::draw(CDrawContext* context) {
    if (hidden) {
        setDirty(false);
        return;
    }
    CViewContainer::draw(context);
}

void CGViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (hidden) {
        setDirty(false);
        return;
    }
    CViewContainer::drawRect(context, updateRect);
}

CMouseEventResult CGViewContainer::onMouseDown(CPoint& where, const int& buttons) {
    if (hidden) return kMouseEventNotHandled;
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CGViewContainer::onMouseUp(CPoint& where, const int& buttons) {
    if (hidden) return kMouseEventNotHandled;
    return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CGViewContainer::onMouseMoved(CPoint& where, const int& buttons) {
    if (hidden) return kMouseEventNotHandled;
    return CViewContainer::onMouseMoved(where, buttons);
}

bool CGViewContainer::onWheel(const CPoint& where, const float& distance, const int& buttons) {
    if (hidden) return false;
    return CViewContainer::onWheel(where, distance, buttons);
}

bool CGViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                              const int& buttons) {
    if (hidden) return false;
    return CViewContainer::onWheel(where, axis, distance, buttons);
}

bool CGViewContainer::hitTest(const CPoint& where, const int& buttons) {
    if (hidden) return false;
    return CViewContainer::hitTest(where, buttons);
}

bool CGViewContainer::isTypeOf(const char* className) const {
    return std::strcmp(className, "CGViewContainer") == 0 || CViewContainer::isTypeOf(className);
}

bool captureBackgroundFromAncestors(const CView* view, CDIB& into) {
    if (!view) return false;
    CPoint offset = view->getViewSize().topLeft();
    for (const CView* v = view->getParentView(); v; v = v->getParentView()) {
        if (auto* dib = dynamic_cast<CDIB*>(v->getBackground())) {
            CDIB::StateSaver saved(into);
            into.setOrigin(CPoint());
            into.resetClip();
            into.clear(0);
            into.copyRect(*dib, CRect::fromSize(offset.x, offset.y, into.getWidth(), into.getHeight()),
                          CPoint());
            return true;
        }
        offset.offset(v->getViewSize().left, v->getViewSize().top);
    }
    return false;
}

nCGViewContainer::nCGViewContainer(const CRect& rect, bool hide) : CGViewContainer(rect, hide) {}

bool nCGViewContainer::attached(CView* parent) {
    CGViewContainer::attached(parent);
    CDIB* captured = new CDIB(size.width(), size.height());
    if (captureBackgroundFromAncestors(this, *captured)) setBackground(captured);
    captured->release();
    return true;
}

bool nCGViewContainer::isTypeOf(const char* className) const {
    return std::strcmp(className, "nCGViewContainer") == 0 || CGViewContainer::isTypeOf(className);
}

}  // namespace hm::gui
