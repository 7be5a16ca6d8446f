#pragma once
// Band strips in a headless frame, driven by the editor stand-in.
#include <cstdlib>
#include <ostream>
#include <string>

#include "gui/draw/CDIB.h"
#include "gui/draw/PngIO.h"
#include "gui/editor/WindowSize.h"
#include "gui/views/bandStrips.h"
#include "views_BandEditorStub.h"

namespace hm::gui {
// Rectangles in failure messages.
inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
}  // namespace hm::gui

namespace hm::gui::test {

// Flags of a strip area as the editor builds them.
constexpr int kStripsKnobs = kLayoutStrips;
constexpr int kStripsText = kLayoutStrips | kLayoutStripsText;

struct StripFixture {
    BandEditorStub editor;
    HeadlessFrame host;
    bandStrips* strips = nullptr;
    int order[32];
    int count = 0;
    int flags = 0;

    StripFixture(int layoutFlags, int width = 700, int channels = 2)
        : editor(channels), host(width, stripAreaHeight(layoutFlags) + 10), flags(layoutFlags) {
        strips = new bandStrips(CRect(0, 10, width, 10 + stripAreaHeight(layoutFlags)), -1, &editor);
        host.frame->addView(strips);
        for (int& b : order) b = -1;
    }
    // Rebuilds from the order kept so far, as the editor's idle pass does.
    int rebuild() {
        count = strips->rebuild(order, count, flags);
        return count;
    }
    void draw() { host.frame->updateDirty(); }
    // Children of the strips container of a class, in build order.
    template <class T>
    std::vector<T*> all() const {
        std::vector<T*> found;
        for (CView* v : strips->children())
            if (auto* t = dynamic_cast<T*>(v)) found.push_back(t);
        return found;
    }
    template <class T>
    T* withTag(int tag) const {
        for (T* t : all<T>())
            if (t->getTag() == tag) return t;
        return nullptr;
    }
    // Writes the frame's picture when HM_SNAPSHOT_DIR names a folder (for the eye).
    void snapshot(const std::string& name) {
        draw();
        const char* dir = std::getenv("HM_SNAPSHOT_DIR");
        if (!dir) return;
        const auto pixels = host.window->composite();
        auto* image = new CDIB(host.window->width(), host.window->height());
        for (int y = 0; y < image->getHeight(); ++y)
            for (int x = 0; x < image->getWidth(); ++x)
                image->row(y)[x] = pixels[static_cast<std::size_t>(y) * image->getWidth() + x] | 0xFF000000u;
        writePngFile(*image, std::string(dir) + "/" + name + ".png");
        image->release();
    }
};

}  // namespace hm::gui::test
