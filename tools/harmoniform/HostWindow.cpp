#include "tools/harmoniform/HostWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace hm::host {

struct HostWindow::Impl {
    Display* display = nullptr;
    Window window = 0;
    Colormap colormap = None;  // ours, for a visual other than the default
    Atom deleteAtom = 0;
    bool closeRequested = false;
};

HostWindow::~HostWindow() {
    if (!impl_ || !impl_->display) return;
    if (impl_->window) XDestroyWindow(impl_->display, impl_->window);
    if (impl_->colormap != None) XFreeColormap(impl_->display, impl_->colormap);
    XCloseDisplay(impl_->display);
}

namespace {

// A TrueColor visual of `depth` on the screen, other than `avoid`; null when none.
Visual* findVisual(Display* d, int screen, int depth, Visual* avoid, int& foundDepth) {
    XVisualInfo wanted{};
    wanted.screen = screen;
    wanted.depth = depth;
    wanted.c_class = TrueColor;
    int count = 0;
    XVisualInfo* list = XGetVisualInfo(d, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
    Visual* found = nullptr;
    for (int i = 0; i < count && !found; ++i)
        if (list[i].visual != avoid) {
            found = list[i].visual;
            foundDepth = list[i].depth;
        }
    if (list) XFree(list);
    return found;
}

}  // namespace

std::unique_ptr<HostWindow> HostWindow::open(int width, int height, const std::string& title, std::string& error,
                                             HostVisual kind) {
    std::unique_ptr<HostWindow> w(new HostWindow);
    w->impl_ = std::make_unique<Impl>();
    Impl& x = *w->impl_;
    x.display = XOpenDisplay(nullptr);
    if (!x.display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return nullptr;
    }
    const int screen = DefaultScreen(x.display);
    XSetWindowAttributes attrs{};
    attrs.background_pixel = BlackPixel(x.display, screen);
    attrs.event_mask = StructureNotifyMask;
    if (kind == HostVisual::Default) {
        x.window = XCreateWindow(x.display, RootWindow(x.display, screen), 0, 0, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWBackPixel | CWEventMask, &attrs);
    } else {
        int depth = 0;
        Visual* visual = findVisual(x.display, screen, kind == HostVisual::Argb32 ? 32 : 24,
                                    DefaultVisual(x.display, screen), depth);
        if (!visual) {
            error = kind == HostVisual::Argb32 ? "the X server offers no 32-bit TrueColor visual"
                                               : "the X server offers no second 24-bit TrueColor visual";
            return nullptr;
        }
        // A visual of its own needs a colormap of its own (and a border pixel).
        x.colormap = XCreateColormap(x.display, RootWindow(x.display, screen), visual, AllocNone);
        attrs.colormap = x.colormap;
        attrs.background_pixel = 0;
        attrs.border_pixel = 0;
        x.window = XCreateWindow(x.display, RootWindow(x.display, screen), 0, 0, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, depth, InputOutput, visual,
                                 CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attrs);
    }
    XStoreName(x.display, x.window, title.c_str());
    x.deleteAtom = XInternAtom(x.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(x.display, x.window, &x.deleteAtom, 1);
    w->width_ = width;
    w->height_ = height;
    w->resize(width, height);
    XMapWindow(x.display, x.window);
    XFlush(x.display);
    return w;
}

void* HostWindow::handle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(impl_->window)); }

void HostWindow::resize(int width, int height) {
    Impl& x = *impl_;
    width_ = width;
    height_ = height;
    // The editor decides the size; the user does not.
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(x.display, x.window, &hints);
    XResizeWindow(x.display, x.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(x.display);
}

bool HostWindow::pump() {
    Impl& x = *impl_;
    while (XPending(x.display) > 0) {
        XEvent e;
        XNextEvent(x.display, &e);
        if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == x.deleteAtom) x.closeRequested = true;
    }
    return !x.closeRequested;
}

bool HostWindow::waitMapped(int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < until) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(impl_->display, impl_->window, &a) && a.map_state == IsViewable) return true;
        pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void HostWindow::sync() { XSync(impl_->display, False); }

int HostWindow::childCount() {
    Impl& x = *impl_;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(x.display, x.window, &root, &parent, &children, &count)) return -1;
    if (children) XFree(children);
    return static_cast<int>(count);
}

bool HostWindow::capture(std::vector<std::uint32_t>& pixels, int& width, int& height) {
    if (!captureWords(pixels, width, height)) return false;
    for (std::uint32_t& p : pixels) p &= 0xFFFFFFu;
    return true;
}

bool HostWindow::captureWords(std::vector<std::uint32_t>& pixels, int& width, int& height) {
    Impl& x = *impl_;
    XSync(x.display, False);
    XImage* image = XGetImage(x.display, x.window, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_),
                              AllPlanes, ZPixmap);
    if (!image) return false;
    width = width_;
    height = height_;
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int yy = 0; yy < height; ++yy)
        for (int xx = 0; xx < width; ++xx)
            pixels[static_cast<std::size_t>(yy) * width + xx] = static_cast<std::uint32_t>(XGetPixel(image, xx, yy));
    XDestroyImage(image);
    return true;
}

bool HostWindow::moveTo(int x0, int y0) {
    Impl& x = *impl_;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(x.display, &eventBase, &errorBase, &major, &minor)) return false;
    Window child = 0;
    int rootX = 0, rootY = 0;
    const int screen = DefaultScreen(x.display);
    XTranslateCoordinates(x.display, x.window, RootWindow(x.display, screen), x0, y0, &rootX, &rootY, &child);
    XTestFakeMotionEvent(x.display, screen, rootX, rootY, CurrentTime);
    XSync(x.display, False);
    return true;
}

bool HostWindow::click(int x0, int y0, int button) { return press(x0, y0, button) && release(button); }

bool HostWindow::press(int x0, int y0, int button) {
    if (!moveTo(x0, y0)) return false;
    Impl& x = *impl_;
    XTestFakeButtonEvent(x.display, static_cast<unsigned>(button), True, CurrentTime);
    XSync(x.display, False);
    return true;
}

bool HostWindow::release(int button) {
    Impl& x = *impl_;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(x.display, &eventBase, &errorBase, &major, &minor)) return false;
    XTestFakeButtonEvent(x.display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(x.display, False);
    return true;
}

}  // namespace hm::host
