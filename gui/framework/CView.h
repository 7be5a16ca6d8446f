#pragma once
// The view tree: a frame owns containers, containers own views and controls.
//
// Coordinates: a view's rectangle (`size`) is in its parent's coordinates, and
// every point a view's handlers receive is in those same coordinates, so a
// handler compares `where` with `size` directly. Drawing follows the same rule:
// when draw() is called the surface's origin is the parent's top-left, so a view
// draws at `size`, and the clip is already limited to the area being redrawn.
//
// Mouse results: kMouseEventHandled captures the mouse for the view until the
// button is released (moves and the release then go to it alone);
// kMouseEventNotHandled lets the event fall through to views beneath.
#include "gui/draw/CDIB.h"
#include "gui/draw/Geometry.h"

namespace hm::gui {

class CFrame;
class CViewContainer;
class CBitmap;

using CDrawContext = CDIB;

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
};

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

enum CCursorType { kCursorDefault = 0, kCursorHand, kCursorHide };

// Keys as the views see them (from the window or forwarded by the host).
struct KeyCode {
    enum Virtual : int {
        kNone = 0, kBack, kDelete, kReturn, kEscape, kTab, kLeft, kRight, kUp, kDown, kHome, kEnd,
    };
    char32_t character = 0;  // 0 for virtual keys
    int virt = kNone;
    int modifiers = 0;       // shift / control / alt bits of the button mask
};

class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);

    // --- drawing ---
    virtual void draw(CDrawContext* context);
    // Redraws only the part `updateRect` (parent coordinates); plain views draw whole.
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual bool isDirty() const { return dirty_; }
    virtual void setDirty(bool state = true);
    // Marks the view for redraw (same as setDirty(true)).
    void invalid() { setDirty(true); }

    // --- mouse ---
    virtual CMouseEventResult onMouseDown(CPoint& where, const int& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const int& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const int& buttons);
    virtual void onMouseEntered(CPoint& where, const int& buttons);
    virtual void onMouseExited(CPoint& where, const int& buttons);
    // distance: notches (positive away from the user). Returns true when used.
    virtual bool onWheel(const CPoint& where, const float& distance, const int& buttons);
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const int& buttons);
    // Point (parent coordinates) inside the mouseable area.
    virtual bool hitTest(const CPoint& where, const int& buttons = -1);
    virtual void setMouseableArea(const CRect& rect) { mouseableArea_ = rect; }
    CRect& getMouseableArea(CRect& rect) const { return rect = mouseableArea_; }
    const CRect& getMouseableArea() const { return mouseableArea_; }
    virtual void setMouseEnabled(bool enable) { mouseEnabled_ = enable; }
    bool getMouseEnabled() const { return mouseEnabled_; }

    // --- keyboard (only the view that has the frame's focus) ---
    virtual bool onKeyDown(const KeyCode& key);
    virtual bool onKeyUp(const KeyCode& key);
    virtual void takeFocus() {}
    virtual void looseFocus() {}
    virtual bool wantsFocus() const { return false; }

    // Called on each frame idle pass while registered with CFrame::addIdleView.
    virtual void onIdle() {}

    // --- geometry ---
    virtual void setViewSize(const CRect& rect, bool invalidate = true);
    const CRect& getViewSize() const { return size; }
    CRect& getViewSize(CRect& rect) const { return rect = size; }
    int getWidth() const { return size.width(); }
    int getHeight() const { return size.height(); }
    // Top-left of this view in frame (window) coordinates.
    CPoint getFrameTopLeftPos() const;
    // This view's rectangle in frame coordinates.
    CRect getFrameRect() const;
    // Converts between frame coordinates and the coordinates of this view's parent.
    CPoint frameToParent(CPoint p) const;

    // --- background ---
    virtual void setBackground(CBitmap* background);
    virtual CBitmap* getBackground() const { return background_; }
    void setTransparency(bool t) { transparent_ = t; }
    bool getTransparency() const { return transparent_; }

    // --- tree ---
    virtual bool attached(CView* parent);
    virtual bool removed(CView* parent);
    bool isAttached() const { return parentView_ != nullptr; }
    CView* getParentView() const { return parentView_; }
    CFrame* getFrame() const;
    virtual bool isTypeOf(const char* className) const;
    virtual CView* newCopy() const { return nullptr; }
    // Visible means: every container up to the frame is shown (hidden containers
    // report themselves through isVisibleContainer()).
    virtual bool isVisibleContainer() const { return true; }
    bool isVisibleInTree() const;

    // Whether this view is a container (layout builder, tree walks).
    virtual CViewContainer* asContainer() { return nullptr; }

protected:
    ~CView() override;

    CRect size;
    CRect mouseableArea_;
    CView* parentView_ = nullptr;
    CBitmap* background_ = nullptr;
    bool dirty_ = false;
    bool mouseEnabled_ = true;
    bool transparent_ = false;
};

}  // namespace hm::gui
