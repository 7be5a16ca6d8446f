// harmoniform-gui-gallery: lays out one of every control on a frame.
//   harmoniform-gui-gallery [--out gallery.png] [--menu menu.png]
//       renders without a display; --menu also renders the option menu opened.
//   harmoniform-gui-gallery --window [--seconds N] [--parent XID]
//       opens the frame in an X11 window (needs a display) until closed or N seconds pass;
//       with --parent the window is a child of that window, as inside a host.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "gui/controls/COptionMenu.h"
#include "gui/controls/MenuPopup.h"
#include "gui/draw/BitmapCache.h"
#include "gui/framework/HeadlessCapture.h"
#include "gui/framework/Modifiers.h"
#include "platform/HeadlessWindow.h"
#include "tools/gallery/GalleryLayout.h"

namespace {

using namespace hm;
using namespace hm::gui;

struct PrintingListener : CControlListener {
    CFrame* frame = nullptr;
    bool verbose = false;
    void valueChanged(CControl* c) override {
        if (verbose) {
            std::printf("tag %d = %.4f\n", c->getTag(), static_cast<double>(c->getValue()));
            std::fflush(stdout);
        }
        if (frame) gallery::distributeToPages(frame, c->getTag(), c->getValue());
    }
};

bool writeComposite(const platform::HeadlessWindow& window, const std::string& path) {
    const bool ok = writeHeadlessWindowPng(window, path);
    if (ok) std::printf("wrote %s (%dx%d)\n", path.c_str(), window.width(), window.height());
    else std::fprintf(stderr, "could not write %s\n", path.c_str());
    return ok;
}

COptionMenu* findMenu(CFrame* frame) {
    COptionMenu* menu = nullptr;
    frame->forEachDescendant([&](CView* v) {
        if (!menu) menu = dynamic_cast<COptionMenu*>(v);
    });
    return menu;
}

int runHeadless(const std::string& out, const std::string& menuOut) {
    PrintingListener listener;
    CFrame* frame = new CFrame(CRect(0, 0, gallery::kWidth, gallery::kHeight));
    auto window = std::make_unique<platform::HeadlessWindow>();
    platform::HeadlessWindow* win = window.get();
    frame->open(std::move(window));
    listener.frame = frame;
    gallery::buildGallery(frame, &listener);
    frame->idle();
    bool ok = writeComposite(*win, out);
    if (!menuOut.empty()) {
        if (COptionMenu* menu = findMenu(frame)) {
            const CRect r = menu->getFrameRect();
            win->press(r.left + 10, r.top + 5, kLButton);
            win->release(r.left + 10, r.top + 5, kLButton);
            if (MenuPopup* popup = menu->getPopup()) {
                const CRect item = popup->itemRect(0, 3);
                win->move(item.left + 20, item.top + 5);
            }
            frame->idle();
            ok = writeComposite(*win, menuOut) && ok;
        }
    }
    frame->release();
    clearSkinBitmaps();
    return ok ? 0 : 1;
}

int runWindow(double seconds, unsigned long parent) {
    PrintingListener listener;
    listener.verbose = true;
    CFrame* frame = new CFrame(CRect(0, 0, gallery::kWidth, gallery::kHeight));
    if (!frame->openNative(reinterpret_cast<void*>(parent))) {
        std::fprintf(stderr, "could not open the window (no display or no such parent)\n");
        frame->release();
        return 1;
    }
    listener.frame = frame;
    gallery::buildGallery(frame, &listener);
    const auto start = std::chrono::steady_clock::now();
    // The host would call idle about every 20 ms; the gallery does the same.
    while (!frame->getWindow()->closeRequested()) {
        frame->idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > 0 && elapsed >= seconds) break;
    }
    frame->release();
    clearSkinBitmaps();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out = "gallery.png", menuOut;
    bool window = false;
    double seconds = 0;
    unsigned long parent = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--out" && i + 1 < argc) out = argv[++i];
        else if (a == "--menu" && i + 1 < argc) menuOut = argv[++i];
        else if (a == "--window") window = true;
        else if (a == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
        else if (a == "--parent" && i + 1 < argc) parent = std::strtoul(argv[++i], nullptr, 0);
        else {
            std::fprintf(stderr,
                         "usage: harmoniform-gui-gallery [--out file.png] [--menu file.png] | --window [--seconds N] [--parent XID]\n");
            return 2;
        }
    }
    return window ? runWindow(seconds, parent) : runHeadless(out, menuOut);
}
