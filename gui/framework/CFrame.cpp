#include "gui/framework/CFrame.h"

#include "gui/framework/Modifiers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hm::gui {

namespace {

KeyCode toKeyCode(const platform::KeyEvent& k) {
    KeyCode c;
    c.modifiers = k.modifiers;
    switch (k.key) {
        case platform::Key::kCharacter: c.character = k.character; break;
        case platform::Key::kBackspace: c.virt = KeyCode::kBack; break;
        case platform::Key::kDelete: c.virt = KeyCode::kDelete; break;
        case platform::Key::kReturn: c.virt = KeyCode::kReturn; break;
        case platform::Key::kEscape: c.virt = KeyCode::kEscape; break;
        case platform::Key::kTab: c.virt = KeyCode::kTab; break;
        case platform::Key::kLeft: c.virt = KeyCode::kLeft; break;
        case platform::Key::kRight: c.virt = KeyCode::kRight; break;
        case platform::Key::kUp: c.virt = KeyCode::kUp; break;
        case platform::Key::kDown: c.virt = KeyCode::kDown; break;
        case platform::Key::kHome: c.virt = KeyCode::kHome; break;
        case platform::Key::kEnd: c.virt = KeyCode::kEnd; break;
        case platform::Key::kNone: break;
    }
    return c;
}

bool isAncestorOrSelf(const CView* ancestor, const CView* v) {
    for (; v; v = v->getParentView())
        if (v == ancestor) return true;
    return false;
}

}  // namespace

CFrame::CFrame(const CRect& rect) : CViewContainer(CRect::fromSize(0, 0, rect.width(), rect.height())) {
    backBuffer_ = new CDIB(size.width(), size.height());
    setBackgroundColor(0x000000);
}

CFrame::~CFrame() {
    // Children go first, while the window they may have opened pop-ups on still exists.
    removeAll(true);
    close();
    if (backBuffer_) backBuffer_->release();
}

bool CFrame::open(std::unique_ptr<platform::EditorWindow> window, void* parent) {
    close();
    if (!window) return false;
    if (!window->open(parent, size.width(), size.height(), this)) return false;
    window_ = std::move(window);
    invalidateAll();
    return true;
}

bool CFrame::openNative(void* parent) { return open(platform::createX11EditorWindow(), parent); }

void CFrame::close() {
    if (!window_) return;
    setFocusView(nullptr);
    if (!window_->cursorVisible()) window_->setCursorVisible(true);
    window_->close();
    window_.reset();
}

void CFrame::idle() {
    pumpEvents();
    // Copy: an idle view may unregister itself.
    const std::vector<CView*> views = idleViews_;
    for (CView* v : views)
        if (std::find(idleViews_.begin(), idleViews_.end(), v) != idleViews_.end()) v->onIdle();
    updateDirty();
}

void CFrame::pumpEvents() {
    if (window_) window_->pumpEvents();
}

void CFrame::invalidRect(const CRect& rect) {
    CRect r = rect;
    r.bound(size);
    if (r.isEmpty()) return;
    // Keep the list short: overlapping areas merge into one.
    bool merged = true;
    while (merged) {
        merged = false;
        for (auto it = invalid_.begin(); it != invalid_.end(); ++it) {
            if (it->rectOverlap(r)) {
                r.unite(*it);
                invalid_.erase(it);
                merged = true;
                break;
            }
        }
    }
    invalid_.push_back(r);
}

void CFrame::collectDirty(CView* view, std::vector<CRect>& rects) {
    if (view->isDirty()) {
        rects.push_back(view->getFrameRect());
        view->setDirty(false);
    }
    if (!view->isVisibleContainer()) return;  // what lies in a hidden container is not seen
    if (CViewContainer* c = view->asContainer())
        for (CView* child : c->children()) collectDirty(child, rects);
}

void CFrame::updateDirty() {
    std::vector<CRect> rects;
    if (isDirty()) {
        rects.push_back(size);
        setDirty(false);
    }
    for (CView* child : children_) collectDirty(child, rects);
    for (const CRect& r : rects) invalidRect(r);
    lastUpdateArea_ = 0;
    if (invalid_.empty()) return;
    std::vector<CRect> areas;
    areas.swap(invalid_);
    for (const CRect& r : areas) {
        backBuffer_->setOrigin(CPoint());
        backBuffer_->resetClip();
        backBuffer_->setClipRect(r);
        drawRect(backBuffer_, r);
        lastUpdateArea_ += r.width() * r.height();
    }
    backBuffer_->setOrigin(CPoint());
    backBuffer_->resetClip();
    if (window_) {
        const platform::PixelSource src{backBuffer_->pixels(), backBuffer_->getWidth(),
                                        backBuffer_->getHeight(), backBuffer_->stride()};
        for (const CRect& r : areas) window_->present(src, r.left, r.top, r.width(), r.height());
    }
}

bool CFrame::setSize(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (width == size.width() && height == size.height()) return true;
    size = CRect::fromSize(0, 0, width, height);
    mouseableArea_ = size;
    if (backBuffer_) backBuffer_->release();
    backBuffer_ = new CDIB(width, height);
    invalid_.clear();
    if (window_) window_->resize(width, height);
    invalidateAll();
    return true;
}

void CFrame::setViewSize(const CRect& rect, bool) { setSize(rect.width(), rect.height()); }

void CFrame::setFocusView(CView* view) {
    if (view == focusView_) return;
    CView* old = focusView_;
    focusView_ = view;
    if (old) old->looseFocus();
    if (window_) window_->takeKeyboardFocus(focusView_ != nullptr);
    if (focusView_) focusView_->takeFocus();
}

void CFrame::setModalView(CView* view) {
    if (view == modalView_) return;
    if (modalView_) {
        CView* old = modalView_;
        modalView_ = nullptr;
        removeView(old, true);
    }
    if (view) {
        modalView_ = view;
        addView(view);
        clearMouseDownView();
        mouseCaptured_ = false;
    }
}

void CFrame::addIdleView(CView* view) {
    if (view && std::find(idleViews_.begin(), idleViews_.end(), view) == idleViews_.end())
        idleViews_.push_back(view);
}

void CFrame::removeIdleView(CView* view) {
    idleViews_.erase(std::remove(idleViews_.begin(), idleViews_.end(), view), idleViews_.end());
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
    if (!window_) return false;
    int x = 0, y = 0, b = 0;
    window_->pointerState(x, y, b);
    where = CPoint(x, y);
    return true;
}

int CFrame::getCurrentMouseButtons() const {
    if (!window_) return 0;
    int x = 0, y = 0, b = 0;
    window_->pointerState(x, y, b);
    return b;
}

void CFrame::setCursorVisible(bool visible) {
    if (window_) window_->setCursorVisible(visible);
}

bool CFrame::isCursorVisible() const { return window_ ? window_->cursorVisible() : true; }

void CFrame::setCursorPosition(const CPoint& where) {
    if (window_) window_->warpPointer(where.x, where.y);
}

CView* CFrame::getMouseCaptureView() const {
    CView* v = mouseDownView_;
    while (v) {
        CViewContainer* inner = v->asContainer();
        if (!inner || !inner->getMouseDownView()) return v;
        v = inner->getMouseDownView();
    }
    return nullptr;
}

std::unique_ptr<platform::PopupWindow> CFrame::openPopup(const CRect& rect, platform::WindowClient* client) {
    if (!window_) return nullptr;
    // The pop-up takes the mouse from here on: no drag continues in the frame.
    popupOpened_ = true;
    clearMouseDownView();
    mouseCaptured_ = false;
    return window_->openPopup(rect.left, rect.top, rect.width(), rect.height(), client);
}

void CFrame::viewWillGo(CView* view) {
    if (!view) return;
    if (isAncestorOrSelf(view, focusView_)) {
        focusView_ = nullptr;
        if (window_) window_->takeKeyboardFocus(false);
    }
    if (isAncestorOrSelf(view, hoverView_)) hoverView_ = nullptr;
    if (view == modalView_) modalView_ = nullptr;
    removeIdleView(view);
    if (isAncestorOrSelf(view, getMouseCaptureView())) {
        clearMouseDownView();
        mouseCaptured_ = false;
    }
}

bool CFrame::isTypeOf(const char* className) const {
    return std::strcmp(className, "CFrame") == 0 || CViewContainer::isTypeOf(className);
}

void CFrame::onMouseDown(int x, int y, int buttons) {
    CPoint where(x, y);
    // A drag owns the mouse until its button comes up; other presses meanwhile are
    // dropped. A new press of the dragging button itself means its release was lost
    // (released over another application): the old drag ends first.
    if (mouseCaptured_) {
        if (!(buttons & captureButton_)) return;
        onMouseUp(x, y, captureButton_ | (buttons & kAnyModifierKey));
    }
    if (focusView_ && !focusView_->getFrameRect().pointInside(where)) setFocusView(nullptr);
    if (callback_ && !modalView_) {
        const int tag = callback_->getTagUnderPoint(where);
        if (callback_->onFrameMouseDown(where, buttons, tag)) return;
    }
    if (modalView_) {
        CPoint p = where;
        const CMouseEventResult r = modalView_->onMouseDown(p, buttons);
        if (r == kMouseEventHandled && modalView_) {
            mouseDownView_ = modalView_;
            mouseCaptured_ = true;
            captureButton_ = buttons & kAnyMouseButton;
        }
        return;
    }
    popupOpened_ = false;
    mouseCaptured_ = CViewContainer::onMouseDown(where, buttons) == kMouseEventHandled;
    captureButton_ = buttons & kAnyMouseButton;
    if (popupOpened_) {
        clearMouseDownView();
        mouseCaptured_ = false;
    }
}

void CFrame::onMouseUp(int x, int y, int buttons) {
    CPoint where(x, y);
    if (mouseCaptured_) {
        if (captureButton_ && !(buttons & captureButton_)) return;  // not the dragging button
        mouseCaptured_ = false;
        CViewContainer::onMouseUp(where, buttons);
    }
    updateHover(where, buttons & ~kAnyMouseButton);
}

void CFrame::onMouseMoved(int x, int y, int buttons) {
    CPoint where(x, y);
    if (mouseCaptured_) {
        if (CViewContainer::onMouseMoved(where, buttons) != kMouseEventHandled) mouseCaptured_ = false;
        return;
    }
    updateHover(where, buttons);
    if (modalView_) return;
    CViewContainer::onMouseMoved(where, buttons);
}

void CFrame::updateHover(const CPoint& where, int buttons) {
    CView* now = modalView_ ? modalView_ : getViewAt(where, true);
    if (now && !now->getMouseEnabled()) now = nullptr;
    if (now == hoverView_) return;
    if (hoverView_) {
        CPoint p = hoverView_->frameToParent(where);
        hoverView_->onMouseExited(p, buttons);
    }
    hoverView_ = now;
    if (hoverView_) {
        CPoint p = hoverView_->frameToParent(where);
        hoverView_->onMouseEntered(p, buttons);
    }
}

void CFrame::onWheel(int x, int y, float distance, int axis, int buttons) {
    const CPoint where(x, y);
    if (modalView_) return;
    CViewContainer::onWheel(where, axis == 1 ? kMouseWheelAxisX : kMouseWheelAxisY, distance, buttons);
}

bool CFrame::onHostWheel(float distance) {
    if (!std::isfinite(distance) || distance == 0.f || modalView_) return false;
    CPoint where;
    if (!getCurrentMouseLocation(where) || !size.pointInside(where)) return false;
    const int keys = getCurrentMouseButtons() & (kShift | kControl | kAlt);
    return CViewContainer::onWheel(where, distance, keys);
}

bool CFrame::onKeyDown(const platform::KeyEvent& key) { return onKeyDown(toKeyCode(key)); }
bool CFrame::onKeyUp(const platform::KeyEvent& key) { return onKeyUp(toKeyCode(key)); }

bool CFrame::onKeyDown(const KeyCode& key) {
    if (focusView_ && focusView_->onKeyDown(key)) return true;
    // Typing into a field keeps its keys, handled or not.
    if (focusView_ && focusView_->isTypeOf("CTextEdit")) return false;
    return callback_ && callback_->onFrameKeyDown(key);
}
bool CFrame::onKeyUp(const KeyCode& key) { return focusView_ ? focusView_->onKeyUp(key) : false; }

void CFrame::onExposed() {
    if (window_ && (window_->width() != size.width() || window_->height() != size.height())) {
        // The host resized us; the frame follows.
        size = CRect::fromSize(0, 0, window_->width(), window_->height());
        mouseableArea_ = size;
        if (backBuffer_) backBuffer_->release();
        backBuffer_ = new CDIB(size.width(), size.height());
        invalid_.clear();
    }
    invalidateAll();
    updateDirty();
}

}  // namespace hm::gui
