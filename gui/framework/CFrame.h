#pragma once
// The top-level container, bound to the editor's window. It owns the window's
// pixel buffer, keyboard focus, mouse capture and hover, the idle pass and the
// redraw of dirty views: on each update only the areas of views that changed
// are drawn again and copied to the window.
#include <memory>
#include <vector>

#include "gui/framework/CViewContainer.h"
#include "platform/EditorWindow.h"

namespace hm::gui {

// Lets the editor look at every mouse-down before the views do.
class iVSTFrameCallbackInterface {
public:
    virtual ~iVSTFrameCallbackInterface() = default;
    // The tag of the control under a frame point, −1 when none.
    virtual int getTagUnderPoint(const CPoint& where) { (void)where; return -1; }
    // Returns true to swallow the click (tag from getTagUnderPoint).
    virtual bool onFrameMouseDown(const CPoint& where, int buttons, int tag) {
        (void)where; (void)buttons; (void)tag;
        return false;
    }
    // A key no view with the focus took (editor-wide commands). True: handled.
    virtual bool onFrameKeyDown(const KeyCode& key) {
        (void)key;
        return false;
    }
};

class CFrame : public CViewContainer, public platform::WindowClient {
public:
    explicit CFrame(const CRect& size);

    // Binds the frame to a window (X11 child of `parent`, or a headless one).
    // The frame owns the window from here on.
    bool open(std::unique_ptr<platform::EditorWindow> window, void* parent = nullptr);
    // Opens an X11 window under the host's window; false without a display.
    bool openNative(void* parent);
    void close();
    platform::EditorWindow* getWindow() const { return window_.get(); }

    // Host idle: handle window events, run idle views, redraw what is dirty.
    void idle();
    void pumpEvents();
    // Draws every dirty area into the buffer and copies it to the window.
    void updateDirty();
    // Marks an area (frame coordinates) for the next update.
    void invalidRect(const CRect& rect);
    // Draws everything again on the next update.
    void invalidateAll() { invalidRect(size); }
    CDIB* getBackBuffer() const { return backBuffer_; }

    // Resizes frame, buffer and window.
    bool setSize(int width, int height);
    void setViewSize(const CRect& rect, bool invalidate = true) override;

    // Keyboard focus.
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView_; }

    // A view drawn above everything that takes all mouse input (splash screens).
    // The frame adds it as its topmost child; passing null removes it.
    void setModalView(CView* view);
    CView* getModalView() const { return modalView_; }

    // Views whose onIdle runs on every idle pass.
    void addIdleView(CView* view);
    void removeIdleView(CView* view);

    // Pointer state, read from the window.
    bool getCurrentMouseLocation(CPoint& where) const;
    int getCurrentMouseButtons() const;
    // Hides or shows the cursor and moves it (frame coordinates).
    void setCursorVisible(bool visible);
    bool isCursorVisible() const;
    void setCursorPosition(const CPoint& where);
    CView* getMouseCaptureView() const;
    CView* getHoverView() const { return hoverView_; }

    void setCallback(iVSTFrameCallbackInterface* cb) { callback_ = cb; }
    iVSTFrameCallbackInterface* getCallback() const { return callback_; }

    // Opens a pop-up window (menus) at frame coordinates; null when there is no window.
    std::unique_ptr<platform::PopupWindow> openPopup(const CRect& rect, platform::WindowClient* client);

    // A view is leaving the tree: drop every reference the frame holds to it.
    void viewWillGo(CView* view);

    bool isTypeOf(const char* className) const override;

    // platform::WindowClient (window coordinates = frame coordinates)
    void onMouseDown(int x, int y, int buttons) override;
    void onMouseUp(int x, int y, int buttons) override;
    void onMouseMoved(int x, int y, int buttons) override;
    void onWheel(int x, int y, float distance, int axis, int buttons) override;
    bool onKeyDown(const platform::KeyEvent& key) override;
    bool onKeyUp(const platform::KeyEvent& key) override;
    void onExposed() override;

    // Wheel notches that the host forwarded instead of the window: a plain
    // (vertical) wheel event at the pointer's current place with the keys held now.
    bool onHostWheel(float distance);

    // View-level entry points (the editor forwards host keys and wheel through these).
    using CViewContainer::onMouseDown;
    using CViewContainer::onMouseMoved;
    using CViewContainer::onMouseUp;
    using CViewContainer::onWheel;
    bool onKeyDown(const KeyCode& key) override;
    bool onKeyUp(const KeyCode& key) override;

    // Pixels drawn again in the last update (diagnostics and tests).
    int lastUpdateArea() const { return lastUpdateArea_; }

protected:
    ~CFrame() override;

private:
    void collectDirty(CView* view, std::vector<CRect>& rects);
    void updateHover(const CPoint& where, int buttons);

    std::unique_ptr<platform::EditorWindow> window_;
    CDIB* backBuffer_ = nullptr;
    std::vector<CRect> invalid_;
    CView* focusView_ = nullptr;
    CView* modalView_ = nullptr;
    CView* hoverView_ = nullptr;
    bool mouseCaptured_ = false;
    int captureButton_ = 0;
    bool popupOpened_ = false;
    std::vector<CView*> idleViews_;
    iVSTFrameCallbackInterface* callback_ = nullptr;
    int lastUpdateArea_ = 0;
};

}  // namespace hm::gui
