// The editor window on X11: a child of the host's window (or a top-level window
// when no parent is given), filled with XPutImage from the frame's pixel buffer.
// Hosts on Linux expect plug-ins to handle their own window's events on the
// editor-idle call, so nothing here runs on another thread.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/EditorWindow.h"
#include "platform/x11/X11Input.h"

namespace hm::platform {
namespace {

using x11::buttonBit;
using x11::heldButtonBits;
using x11::keyBits;

constexpr int kDouble = 0x400;

// Xlib's default error handler ends the process, and the process is the host's.
// Calls that can fail because of the host's windows (a stale parent id, a
// parent destroyed before the editor closed, focus on a window that is not
// viewable) run inside a trap that swallows the error instead.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : display_(d) {
        XSync(display_, False);
        failed_ = false;
        previous_ = XSetErrorHandler(&ErrorTrap::onError);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    bool failed() {
        XSync(display_, False);
        return failed_;
    }

private:
    static int onError(Display*, XErrorEvent*) {
        failed_ = true;
        return 0;
    }
    static inline bool failed_ = false;
    Display* display_;
    XErrorHandler previous_;
};

bool isViewable(Display* d, Window w) {
    XWindowAttributes a{};
    return w && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

KeyEvent translateKey(XKeyEvent& e) {
    char text[8] = {};
    KeySym sym = 0;
    const int n = XLookupString(&e, text, sizeof text, &sym, nullptr);
    KeyEvent k;
    k.modifiers = keyBits(e.state);
    switch (sym) {
        case XK_BackSpace: k.key = Key::kBackspace; return k;
        case XK_Delete: case XK_KP_Delete: k.key = Key::kDelete; return k;
        case XK_Return: case XK_KP_Enter: k.key = Key::kReturn; return k;
        case XK_Escape: k.key = Key::kEscape; return k;
        case XK_Tab: k.key = Key::kTab; return k;
        case XK_Left: case XK_KP_Left: k.key = Key::kLeft; return k;
        case XK_Right: case XK_KP_Right: k.key = Key::kRight; return k;
        case XK_Up: case XK_KP_Up: k.key = Key::kUp; return k;
        case XK_Down: case XK_KP_Down: k.key = Key::kDown; return k;
        case XK_Home: k.key = Key::kHome; return k;
        case XK_End: k.key = Key::kEnd; return k;
        default: break;
    }
    // Latin-1 keysyms equal their code points; that is all a value field needs.
    if (sym >= 0x20 && sym <= 0xFF) {
        k.key = Key::kCharacter;
        k.character = static_cast<char32_t>(sym);
    } else if (n == 1 && static_cast<unsigned char>(text[0]) >= 0x20) {
        k.key = Key::kCharacter;
        k.character = static_cast<unsigned char>(text[0]);
    }
    return k;
}

// Copies pixels to a drawable. When the visual stores 0x00RRGGBB words (the
// usual 24/32-bit TrueColor) the frame's buffer is handed over as it is;
// otherwise each pixel is converted through the visual's masks.
void putPixels(Display* d, Drawable target, GC gc, Visual* visual, int depth, const PixelSource& img,
               int x, int y, int w, int h, std::vector<std::uint32_t>& scratch) {
    if (w <= 0 || h <= 0 || !img.pixels) return;
    // Bits of the pixel that are no colour: the alpha channel of a 32-bit visual
    // (hosts that composite their windows), which must say opaque.
    const unsigned long colour = visual->red_mask | visual->green_mask | visual->blue_mask;
    const unsigned long alpha = (depth >= 32 ? 0xFFFFFFFFul : (1ul << depth) - 1) & ~colour;
    const bool ourWords = visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
    const bool direct = ourWords && depth == 24;
    const bool withAlpha = ourWords && depth == 32;  // the same words, alpha set opaque
    XImage* image = nullptr;
    if (direct) {
        image = XCreateImage(d, visual, depth, ZPixmap, 0,
                             reinterpret_cast<char*>(const_cast<std::uint32_t*>(img.pixels)),
                             img.width, img.height, 32, img.strideBytes);
    } else if (withAlpha) {
        scratch.resize(static_cast<std::size_t>(img.width) * img.height);
        for (int row = y; row < y + h; ++row) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(
                reinterpret_cast<const unsigned char*>(img.pixels) + row * img.strideBytes);
            std::uint32_t* dst = scratch.data() + static_cast<std::size_t>(row) * img.width;
            for (int col = x; col < x + w; ++col) dst[col] = src[col] | 0xFF000000u;
        }
        image = XCreateImage(d, visual, depth, ZPixmap, 0, reinterpret_cast<char*>(scratch.data()), img.width,
                             img.height, 32, img.width * 4);
    } else {
        scratch.assign(static_cast<std::size_t>(img.width) * img.height, 0);
        image = XCreateImage(d, visual, depth, ZPixmap, 0, reinterpret_cast<char*>(scratch.data()),
                             img.width, img.height, 32, img.width * 4);
        if (image) {
            for (int row = y; row < y + h; ++row) {
                const auto* src = reinterpret_cast<const std::uint32_t*>(
                    reinterpret_cast<const unsigned char*>(img.pixels) + row * img.strideBytes);
                for (int col = x; col < x + w; ++col) {
                    const std::uint32_t p = src[col];
                    const unsigned long r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
                    auto scale = [](unsigned long v, unsigned long mask) {
                        if (!mask) return 0ul;
                        int shift = 0;
                        while (!((mask >> shift) & 1)) ++shift;
                        const unsigned long max = mask >> shift;
                        return ((v * max + 127) / 255) << shift;
                    };
                    XPutPixel(image, col, row, scale(r, visual->red_mask) | scale(g, visual->green_mask) |
                                                   scale(b, visual->blue_mask) | alpha);
                }
            }
        }
    }
    if (!image) return;
    if (direct || withAlpha) {
        // Our words are in this machine's byte order; Xlib swaps for a server that differs.
        const std::uint32_t probe = 1;
        image->byte_order = *reinterpret_cast<const unsigned char*>(&probe) == 1 ? LSBFirst : MSBFirst;
    }
    XPutImage(d, target, gc, image, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    image->data = nullptr;  // the pixels are not Xlib's to free
    XDestroyImage(image);
}

class X11EditorWindow;

class X11Popup : public PopupWindow {
public:
    X11Popup(X11EditorWindow* owner, int x, int y, int w, int h, WindowClient* client);
    ~X11Popup() override;
    void present(const PixelSource& image) override;
    int x() const override { return x_; }
    int y() const override { return y_; }
    void detach();

    X11EditorWindow* owner_;
    Window window_ = 0;
    int x_, y_, w_, h_;
    WindowClient* client_;
};

class X11EditorWindow : public EditorWindow {
public:
    ~X11EditorWindow() override {
        close();
        if (display_) XCloseDisplay(display_);
    }

    bool connect() {
        display_ = XOpenDisplay(nullptr);
        return display_ != nullptr;
    }

    bool open(void* parent, int width, int height, WindowClient* client) override {
        close();
        const int screen = DefaultScreen(display_);
        visual_ = DefaultVisual(display_, screen);
        depth_ = DefaultDepth(display_, screen);
        Colormap colormap = DefaultColormap(display_, screen);
        topLevel_ = parent == nullptr;
        parent_ = topLevel_ ? RootWindow(display_, screen)
                            : static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
        width_ = std::max(width, 1);
        height_ = std::max(height, 1);
        {
            ErrorTrap trap(display_);  // a bad parent id must not take the host down
            if (!topLevel_) {
                // Embedded: the host's window may use another visual than the screen's
                // default (a 32-bit one for compositing, another 24-bit one); a child
                // of another depth or visual without a colormap of its own is refused
                // by the server. So the child takes the parent's visual, depth and
                // colormap, and the pixels are drawn in that format.
                XWindowAttributes pa{};
                if (XGetWindowAttributes(display_, parent_, &pa) && pa.visual) {
                    visual_ = pa.visual;
                    depth_ = pa.depth;
                    if (pa.colormap != None) colormap = pa.colormap;
                }
                if (trap.failed()) return false;
            }
            XSetWindowAttributes attrs{};
            attrs.background_pixel = 0;
            attrs.border_pixel = 0;
            attrs.colormap = colormap;
            attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                               KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
            window_ = XCreateWindow(display_, parent_, 0, 0, static_cast<unsigned>(width_),
                                    static_cast<unsigned>(height_), 0, depth_, InputOutput, visual_,
                                    CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attrs);
            if (trap.failed()) window_ = 0;
        }
        if (!window_) return false;
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        if (topLevel_) {
            XStoreName(display_, window_, "Harmoniform");
            deleteAtom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
            XSetWMProtocols(display_, window_, &deleteAtom_, 1);
            XSizeHints hints{};
            hints.flags = PMinSize | PMaxSize;
            hints.min_width = hints.max_width = width_;
            hints.min_height = hints.max_height = height_;
            XSetWMNormalHints(display_, window_, &hints);
        }
        // An invisible cursor for drags that hide the pointer.
        char empty[8] = {};
        Pixmap blank = XCreateBitmapFromData(display_, window_, empty, 8, 8);
        XColor black{};
        blankCursor_ = XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
        XFreePixmap(display_, blank);
        client_ = client;
        XMapWindow(display_, window_);
        XFlush(display_);
        return true;
    }

    void* nativeHandle() const override { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }

    void close() override {
        // Pop-ups still held by their callers lose their windows now and do nothing later.
        for (X11Popup* p : popups_) p->detach();
        popups_.clear();
        if (!display_ || !window_) return;
        {
            // Some hosts destroy their window (and ours with it) before closing the editor.
            ErrorTrap trap(display_);
            if (blankCursor_) XFreeCursor(display_, blankCursor_);
            XFreeGC(display_, gc_);
            XDestroyWindow(display_, window_);
        }
        window_ = 0;
        gc_ = nullptr;
        blankCursor_ = 0;
        client_ = nullptr;
        closeRequested_ = false;
    }

    bool isOpen() const override { return window_ != 0; }

    void resize(int width, int height) override {
        width_ = std::max(width, 1);
        height_ = std::max(height, 1);
        if (!window_) return;
        if (topLevel_) {
            XSizeHints hints{};
            hints.flags = PMinSize | PMaxSize;
            hints.min_width = hints.max_width = width_;
            hints.min_height = hints.max_height = height_;
            XSetWMNormalHints(display_, window_, &hints);
        }
        XResizeWindow(display_, window_, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
        XFlush(display_);
    }

    int width() const override { return width_; }
    int height() const override { return height_; }

    void pumpEvents() override {
        if (!window_) return;
        bool exposed = false;
        while (window_ && XPending(display_) > 0) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type == MotionNotify) {
                // Only the newest position of a burst matters, but never skip past a
                // press or release: moves after it belong to another gesture.
                XEvent next;
                while (XEventsQueued(display_, QueuedAlready) > 0) {
                    XPeekEvent(display_, &next);
                    if (next.type != MotionNotify || next.xmotion.window != e.xmotion.window) break;
                    XNextEvent(display_, &e);
                }
            }
            WindowClient* target = client_;
            if (e.xany.window != window_) {
                // A pop-up's event (every level of a menu, not only the topmost, may
                // need repainting after a sub-menu closes over it).
                X11Popup* popup = nullptr;
                for (X11Popup* p : popups_)
                    if (p->window_ == e.xany.window) popup = p;
                if (!popup) continue;
                target = popup->client_;
            }
            if (!target) continue;
            switch (e.type) {
                case Expose:
                    if (e.xexpose.count != 0) break;
                    if (e.xany.window == window_) exposed = true;
                    else target->onExposed();
                    break;
                case ConfigureNotify:
                    if (e.xany.window == window_ && (e.xconfigure.width != width_ || e.xconfigure.height != height_)) {
                        width_ = e.xconfigure.width;
                        height_ = e.xconfigure.height;
                        exposed = true;
                    }
                    break;
                case ButtonPress: handlePress(target, e.xbutton); break;
                case ButtonRelease: {
                    const int bit = buttonBit(e.xbutton.button);
                    if (bit) target->onMouseUp(e.xbutton.x, e.xbutton.y, bit | keyBits(e.xbutton.state));
                    break;
                }
                case MotionNotify:
                    target->onMouseMoved(e.xmotion.x, e.xmotion.y,
                                         heldButtonBits(e.xmotion.state) | keyBits(e.xmotion.state));
                    break;
                case KeyPress: {
                    KeyEvent k = translateKey(e.xkey);
                    if (k.key != Key::kNone) target->onKeyDown(k);
                    break;
                }
                case KeyRelease: {
                    KeyEvent k = translateKey(e.xkey);
                    if (k.key != Key::kNone) target->onKeyUp(k);
                    break;
                }
                case ClientMessage:
                    if (static_cast<Atom>(e.xclient.data.l[0]) == deleteAtom_) closeRequested_ = true;
                    break;
                default: break;
            }
        }
        if (exposed && client_) client_->onExposed();
    }

    void present(const PixelSource& image, int x, int y, int w, int h) override {
        if (!window_) return;
        const int left = std::max(x, 0), top = std::max(y, 0);
        const int right = std::min({x + w, image.width, width_});
        const int bottom = std::min({y + h, image.height, height_});
        putPixels(display_, window_, gc_, visual_, depth_, image, left, top, right - left, bottom - top,
                  scratch_);
        XFlush(display_);
    }

    void pointerState(int& x, int& y, int& buttons) override {
        x = y = buttons = 0;
        if (!window_) return;
        Window root, child;
        int rx, ry;
        unsigned state = 0;
        if (XQueryPointer(display_, window_, &root, &child, &rx, &ry, &x, &y, &state))
            buttons = heldButtonBits(state) | keyBits(state);
    }

    void setCursorVisible(bool visible) override {
        if (!window_ || visible == cursorVisible_) return;
        if (visible) XUndefineCursor(display_, window_);
        else XDefineCursor(display_, window_, blankCursor_);
        cursorVisible_ = visible;
        XFlush(display_);
    }
    bool cursorVisible() const override { return cursorVisible_; }

    void warpPointer(int x, int y) override {
        if (!window_) return;
        XWarpPointer(display_, None, window_, 0, 0, 0, 0, x, y);
        XFlush(display_);
    }

    void takeKeyboardFocus(bool take) override {
        if (!window_) return;
        // Hosts give the keyboard to their own windows; a text field asks for it
        // while it edits and hands it back to the host window afterwards.
        const Window target = take || topLevel_ ? window_ : parent_;
        ErrorTrap trap(display_);
        if (isViewable(display_, target)) XSetInputFocus(display_, target, RevertToParent, CurrentTime);
    }

    std::unique_ptr<PopupWindow> openPopup(int x, int y, int width, int height,
                                           WindowClient* client) override {
        if (!window_) return nullptr;
        return std::make_unique<X11Popup>(this, x, y, width, height, client);
    }

    bool closeRequested() const override { return closeRequested_; }

    bool desktopSize(int& width, int& height) const override {
        const int screen = DefaultScreen(display_);
        width = DisplayWidth(display_, screen);
        height = DisplayHeight(display_, screen);
        return true;
    }

    Display* display_ = nullptr;
    Window window_ = 0;
    Window parent_ = 0;
    Visual* visual_ = nullptr;
    int depth_ = 24;
    GC gc_ = nullptr;
    Cursor blankCursor_ = 0;
    Atom deleteAtom_ = 0;
    bool topLevel_ = false;
    bool closeRequested_ = false;
    bool cursorVisible_ = true;
    int width_ = 0, height_ = 0;
    WindowClient* client_ = nullptr;
    std::vector<X11Popup*> popups_;
    std::vector<std::uint32_t> scratch_;

    x11::DoubleClickDetector doubleClick_;

private:
    void handlePress(WindowClient* target, XButtonEvent& b) {
        const int mods = keyBits(b.state);
        float distance = 0.f;
        int axis = 0;
        if (x11::wheelNotch(b.button, distance, axis)) {
            target->onWheel(b.x, b.y, distance, axis, mods);
            return;
        }
        const int bit = buttonBit(b.button);
        if (!bit) return;
        int buttons = bit | mods;
        if (doubleClick_.press(b.button, b.time, b.x, b.y)) buttons |= kDouble;
        target->onMouseDown(b.x, b.y, buttons);
    }
};

X11Popup::X11Popup(X11EditorWindow* owner, int x, int y, int w, int h, WindowClient* client)
    : owner_(owner), w_(std::max(w, 1)), h_(std::max(h, 1)), client_(client) {
    Display* d = owner_->display_;
    const int screen = DefaultScreen(d);
    Window root = RootWindow(d, screen), child;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(d, owner_->window_, root, x, y, &rootX, &rootY, &child);
    // Stay on the screen: menus near the bottom open upwards as far as needed.
    rootX = std::max(0, std::min(rootX, DisplayWidth(d, screen) - w_));
    rootY = std::max(0, std::min(rootY, DisplayHeight(d, screen) - h_));
    int wx = 0, wy = 0;
    XTranslateCoordinates(d, root, owner_->window_, rootX, rootY, &wx, &wy, &child);
    x_ = wx;
    y_ = wy;
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.background_pixel = BlackPixel(d, screen);
    attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       KeyPressMask | KeyReleaseMask;
    // A pop-up is a window of the screen's own (the root's visual), whatever visual
    // the host gave the editor.
    window_ = XCreateWindow(d, root, rootX, rootY, static_cast<unsigned>(w_), static_cast<unsigned>(h_), 1,
                            DefaultDepth(d, screen), InputOutput, DefaultVisual(d, screen),
                            CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
    XMapRaised(d, window_);
    // Take the pointer and keyboard so that clicks anywhere reach the menu (a
    // click outside closes it) and Escape works.
    XGrabPointer(d, window_, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(d, window_, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XFlush(d);
    owner_->popups_.push_back(this);
}

void X11Popup::detach() {
    Display* d = owner_->display_;
    ErrorTrap trap(d);
    XUngrabPointer(d, CurrentTime);
    XUngrabKeyboard(d, CurrentTime);
    XDestroyWindow(d, window_);
    window_ = 0;
    owner_ = nullptr;
}

X11Popup::~X11Popup() {
    if (!owner_) return;
    auto& list = owner_->popups_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    Display* d = owner_->display_;
    if (list.empty()) {
        XUngrabPointer(d, CurrentTime);
        XUngrabKeyboard(d, CurrentTime);
    } else {
        XGrabPointer(d, list.back()->window_, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    }
    XDestroyWindow(d, window_);
    XFlush(d);
}

void X11Popup::present(const PixelSource& image) {
    if (!owner_) return;
    Display* d = owner_->display_;
    const int screen = DefaultScreen(d);
    putPixels(d, window_, DefaultGC(d, screen), DefaultVisual(d, screen), DefaultDepth(d, screen), image, 0, 0,
              std::min(w_, image.width), std::min(h_, image.height), owner_->scratch_);
    XFlush(owner_->display_);
}

}  // namespace

std::unique_ptr<EditorWindow> createX11EditorWindow() {
    auto w = std::make_unique<X11EditorWindow>();
    if (!w->connect()) return nullptr;
    return w;
}

}  // namespace hm::platform
