#pragma once
// A view holding an ordered list of child views, drawn in list order over the
// container's background (a colour or a bitmap). The container owns its
// children: it releases them when they are removed or when it is destroyed.
// Children's rectangles are in the container's coordinates; events are passed
// on in those coordinates, topmost (last added) child first.
#include <vector>

#include "gui/framework/CView.h"

namespace hm::gui {

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);

    // Takes over the caller's reference. Returns false for null.
    virtual bool addView(CView* view);
    // Adds with a mouseable area other than the view's rectangle.
    bool addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
    // Removes and releases (withForget) or hands the reference back to the caller.
    virtual bool removeView(CView* view, bool withForget = true);
    virtual void removeAll(bool withForget = true);
    bool isChild(const CView* view) const;
    int getNbViews() const { return static_cast<int>(children_.size()); }
    CView* getView(int index) const;
    const std::vector<CView*>& children() const { return children_; }
    // Topmost child under the point (container coordinates), optionally descending.
    CView* getViewAt(const CPoint& where, bool deep = false) const;

    void setBackgroundColor(Rgb colour, float opacity = 1.f);
    Rgb getBackgroundColor() const { return backgroundColour_; }
    void setDrawBackgroundColor(bool on) { drawBackgroundColour_ = on; }

    // CView
    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const int& buttons) override;
    bool hitTest(const CPoint& where, const int& buttons = -1) override;
    bool isTypeOf(const char* className) const override;
    CViewContainer* asContainer() override { return this; }
    bool removed(CView* parent) override;

    // The child that took the last mouse-down (capture), null when none.
    CView* getMouseDownView() const { return mouseDownView_; }
    // Forgets a capture (the captured view went away or the frame cancelled it).
    void clearMouseDownView();

    // Calls f(view) for every descendant, depth first in list order.
    template <class F>
    void forEachDescendant(F&& f) const {
        for (CView* v : children_) {
            f(v);
            if (CViewContainer* c = v->asContainer()) c->forEachDescendant(f);
        }
    }

protected:
    ~CViewContainer() override;
    // Draws the background (colour and/or bitmap) clipped to updateRect (parent coordinates).
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);
    // Whether this container takes mouse input at all (hidden containers do not).
    virtual bool acceptsMouse() const { return getMouseEnabled(); }

    std::vector<CView*> children_;
    CView* mouseDownView_ = nullptr;
    Rgb backgroundColour_ = 0;
    float backgroundOpacity_ = 1.f;
    bool drawBackgroundColour_ = false;
};

}  // namespace hm::gui
