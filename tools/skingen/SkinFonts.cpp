// Strip fonts 101 (large: 11 rows, 9-pixel cells) and 102 (small: 9 rows,
// 7-pixel cells), rasterised from the FUTURAB face: white coverage on black,
// each glyph's ink starting at the left edge of its cell so that trimming
// the empty right columns gives proportional advances.
#include <algorithm>
#include <cmath>

#include "gui/draw/SkinIds.h"
#include "tools/skingen/Painter.h"
#include "tools/skingen/Skin.h"

namespace hm::skingen {

using namespace gui;

namespace {

struct FontSpec {
    int cell;
    int rows;
    int capHeight;  // rows of a capital letter
    int baseline;   // row of the baseline
};

CDIB* stripFont(const FontSpec& spec) {
    const auto& face = TrueTypeFont::futura();
    CDIB* d = newOpaque(spec.cell * kStripFontGlyphs, spec.rows, 0x000000);
    if (!face.valid()) return d;
    // Pixel height that makes capitals exactly capHeight rows tall, so their
    // tops and bottoms fall on pixel edges.
    float x0, y0, x1, y1;
    float px = 20.f;
    if (face.glyphBounds('H', 20.f, x0, y0, x1, y1)) px = 20.f * float(spec.capHeight) / y1;
    for (int g = 0; g < kStripFontGlyphs; ++g) {
        const char32_t cp = char32_t(kStripFontCharset[g]);
        auto cov = face.renderGlyph(cp, px);
        if (cov.width > spec.cell) cov = face.renderGlyph(cp, px, float(spec.cell) / float(cov.width) - 0.01f);
        const int w = std::min(cov.width, spec.cell);
        for (int y = 0; y < spec.rows; ++y) {
            const int sy = y - spec.baseline + cov.baseline;
            if (sy < 0 || sy >= cov.height) continue;
            for (int x = 0; x < w; ++x) {
                int c = cov.pixels[static_cast<std::size_t>(sy) * cov.width + x];
                // A little extra contrast keeps small bold glyphs from smearing.
                c = std::clamp(int(std::lround((c - 24) * 1.2)), 0, 255);
                d->row(y)[g * spec.cell + x] = makePixel(c, c, c);
            }
        }
    }
    return d;
}

CDIB* fontLarge() { return stripFont({9, 11, 8, 8}); }
CDIB* fontSmall() { return stripFont({7, 9, 6, 6}); }

}  // namespace

void addFonts(std::vector<SkinEntry>& out) {
    out.push_back({skin::kFontLarge, fontLarge});
    out.push_back({skin::kFontSmall, fontSmall});
}

}  // namespace hm::skingen
