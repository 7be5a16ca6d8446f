// harmoniform-skingen: draws the editor's skin.
//   harmoniform-skingen OUTDIR           write OUTDIR/<id>.png for every skin bitmap
//   harmoniform-skingen --check DIR      compare DIR/<id>.png with what is drawn now
//   harmoniform-skingen --sheet OUT.png ZOOM [FROM TO]   enlarged overview of the skin
// The check decodes both sides, so it compares pixels, not compressed bytes.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gui/draw/PngIO.h"
#include "tools/skingen/Skin.h"

using namespace hm;

namespace {

std::vector<skingen::SkinEntry> catalogue() {
    std::vector<skingen::SkinEntry> all;
    skingen::addFonts(all);
    skingen::addControls(all);
    skingen::addButtons(all);
    skingen::addPanels(all);
    skingen::addWizard(all);
    return all;
}

std::string pathFor(const std::string& dir, int id) { return dir + "/" + std::to_string(id) + ".png"; }

bool samePixels(const gui::CBitmap& a, const gui::CBitmap& b) {
    if (a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight() || a.hasAlpha() != b.hasAlpha())
        return false;
    return std::memcmp(a.pixels(), b.pixels(), std::size_t(a.getWidth()) * a.getHeight() * 4) == 0;
}

int check(const std::string& dir) {
    int bad = 0;
    for (const auto& e : catalogue()) {
        gui::CDIB* drawn = e.draw();
        // Through the encoder and back, as the build's copy went.
        const auto bytes = gui::encodePng(*drawn);
        gui::CDIB* expected = gui::decodePng(bytes.data(), bytes.size());
        std::ifstream in(pathFor(dir, e.id), std::ios::binary);
        std::vector<char> file((std::istreambuf_iterator<char>(in)), {});
        gui::CDIB* stored = file.empty() ? nullptr : gui::decodePng(file.data(), file.size());
        if (!stored || !expected || !samePixels(*stored, *expected)) {
            std::fprintf(stderr, "skin bitmap %d differs from %s\n", e.id, pathFor(dir, e.id).c_str());
            ++bad;
        }
        for (gui::CDIB* b : {drawn, expected, stored})
            if (b) b->release();
    }
    return bad == 0 ? 0 : 1;
}

int generate(const std::string& dir) {
    int bad = 0;
    for (const auto& e : catalogue()) {
        gui::CDIB* drawn = e.draw();
        if (!gui::writePngFile(*drawn, pathFor(dir, e.id))) {
            std::fprintf(stderr, "cannot write %s\n", pathFor(dir, e.id).c_str());
            ++bad;
        }
        drawn->release();
    }
    return bad == 0 ? 0 : 1;
}

// Every bitmap enlarged `zoom` times on the editor's background, in rows,
// for looking at the skin as a whole.
int contactSheet(const std::string& path, int zoom, int fromId, int toId) {
    auto all = catalogue();
    std::erase_if(all, [&](const skingen::SkinEntry& e) { return e.id < fromId || e.id > toId; });
    const int sheetW = 1800;
    std::vector<gui::CDIB*> drawn;
    int x = 8, y = 8, rowH = 0;
    std::vector<gui::CPoint> at;
    for (const auto& e : all) {
        gui::CDIB* b = e.draw();
        int w = b->getWidth() * zoom, h = b->getHeight() * zoom;
        if (h > 900) { w = b->getWidth(); h = b->getHeight(); }  // tall strips at 1:1
        if (x + w > sheetW - 8) { x = 8; y += rowH + 8; rowH = 0; }
        at.push_back({x, y});
        drawn.push_back(b);
        x += w + 8;
        rowH = std::max(rowH, h);
    }
    auto* sheet = new gui::CDIB(sheetW, y + rowH + 8);
    sheet->clear(0xFF000000u | 0x16181C);
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        gui::CDIB* b = drawn[i];
        const int z = b->getHeight() * zoom > 900 ? 1 : zoom;
        auto* big = new gui::CDIB(b->getWidth() * z, b->getHeight() * z);
        big->setHasAlpha(b->hasAlpha());
        for (int yy = 0; yy < big->getHeight(); ++yy)
            for (int xx = 0; xx < big->getWidth(); ++xx) big->row(yy)[xx] = b->getPixel(xx / z, yy / z);
        big->draw(*sheet, gui::CRect::fromSize(at[i].x, at[i].y, big->getWidth(), big->getHeight()));
        big->release();
        b->release();
    }
    const bool ok = gui::writePngFile(*sheet, path);
    sheet->release();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0) return check(argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "--sheet") == 0)
        return contactSheet(argv[2], std::atoi(argv[3]), argc > 4 ? std::atoi(argv[4]) : 0,
                            argc > 5 ? std::atoi(argv[5]) : 1 << 30);
    if (argc == 2 && argv[1][0] != '-') return generate(argv[1]);
    std::fprintf(stderr, "usage: %s OUTDIR | --check DIR\n", argv[0]);
    return 2;
}
