#pragma once
// The editor's window as the view tree sees it, without knowing which window
// system (if any) is behind it. Two backends: the X11 child window used inside
// hosts, and a headless one that keeps everything in memory for tests and for
// rendering documentation images. Pixels are 32-bit, bytes blue, green, red,
// alpha, top-down rows; coordinates are window pixels with (0, 0) at the top
// left. Mouse buttons and modifier keys arrive as the editor's bit mask
// (left 0x2, middle 0x4, right 0x8, shift 0x10, control 0x20, alt 0x40,
// extra buttons 0x100/0x200, double click 0x400).
//
// Everything here runs on the host's user-interface thread.
#include <cstdint>
#include <memory>

namespace hm::platform {

struct PixelSource {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int strideBytes = 0;
};

enum class Key : int {
    kNone = 0,
    kCharacter,  // `character` holds the Unicode code point
    kBackspace, kDelete, kReturn, kEscape, kTab,
    kLeft, kRight, kUp, kDown, kHome, kEnd,
};

struct KeyEvent {
    Key key = Key::kNone;
    char32_t character = 0;
    int modifiers = 0;  // shift / control / alt bits of the mask
};

// Receives the input of one window (the editor window or a pop-up).
class WindowClient {
public:
    virtual ~WindowClient() = default;
    virtual void onMouseDown(int x, int y, int buttons) = 0;
    virtual void onMouseUp(int x, int y, int buttons) = 0;
    virtual void onMouseMoved(int x, int y, int buttons) = 0;
    // distance in whole notches; axis 0 vertical, 1 horizontal; buttons carry modifier keys only
    virtual void onWheel(int x, int y, float distance, int axis, int buttons) = 0;
    virtual bool onKeyDown(const KeyEvent& key) = 0;
    virtual bool onKeyUp(const KeyEvent& key) = 0;
    // The window lost its contents (exposed, resized): everything must be presented again.
    virtual void onExposed() = 0;
};

// A window that floats above the editor (pop-up menus). It may reach beyond the
// editor's rectangle. While it is open it receives all mouse input, including
// clicks outside it (so a menu can close itself).
class PopupWindow {
public:
    virtual ~PopupWindow() = default;
    virtual void present(const PixelSource& image) = 0;
    // Where the pop-up ended up, in editor-window coordinates (it may have been
    // moved to stay on the screen).
    virtual int x() const = 0;
    virtual int y() const = 0;
};

class EditorWindow {
public:
    virtual ~EditorWindow() = default;

    // parent: the host's window handle (an X11 Window id), may be null for a top-level window.
    virtual bool open(void* parent, int width, int height, WindowClient* client) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void resize(int width, int height) = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;

    // Handles the window system's pending events (called from the host's idle).
    virtual void pumpEvents() = 0;

    // Copies the rectangle (x, y, w, h) of image (window-sized) to the window.
    virtual void present(const PixelSource& image, int x, int y, int w, int h) = 0;

    // Pointer position in window coordinates and the held buttons/modifiers.
    virtual void pointerState(int& x, int& y, int& buttons) = 0;

    // Cursor control for drags: hide/show the pointer, read and warp it (window coordinates).
    virtual void setCursorVisible(bool visible) = 0;
    virtual bool cursorVisible() const = 0;
    virtual void warpPointer(int x, int y) = 0;

    // Ask for the keyboard (a text field was clicked) or give it back.
    virtual void takeKeyboardFocus(bool take) = 0;

    // Opens a pop-up at (x, y) in window coordinates; input goes to client until closed
    // (destroy the returned object to close it).
    virtual std::unique_ptr<PopupWindow> openPopup(int x, int y, int width, int height,
                                                   WindowClient* client) = 0;

    // The window system's id of the window (an X11 Window id), null when there is none.
    virtual void* nativeHandle() const { return nullptr; }

    // A top-level window (no parent) whose close box was clicked.
    virtual bool closeRequested() const { return false; }

    // The size of the screen the window is on; false when there is no screen.
    virtual bool desktopSize(int& width, int& height) const {
        width = height = 0;
        return false;
    }
};

// The X11 child window; returns null when no display can be opened.
std::unique_ptr<EditorWindow> createX11EditorWindow();

}  // namespace hm::platform
