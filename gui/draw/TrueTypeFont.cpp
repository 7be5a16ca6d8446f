#include <algorithm>
#include <cmath>

#include "gui/draw/Fonts.h"
#include "platform/Resources.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>
#pragma GCC diagnostic pop

namespace hm::gui {

struct TrueTypeFont::Impl {
    stbtt_fontinfo info{};
    bool ok = false;
    int ascent = 0, descent = 0, lineGap = 0;
};

namespace {

// Decodes one code point and advances i; malformed bytes give U+FFFD.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; }
    else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; }
    else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; }
    else return 0xFFFD;
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size()) return 0xFFFD;
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
    }
    return cp;
}

struct PlacedGlyph {
    int glyph;
    float x;  // pen position in pixels
};

}  // namespace

const TrueTypeFont& TrueTypeFont::futura() {
    static const platform::ResourceView res = platform::findResource("FUTURAB", "TTF");
    static const TrueTypeFont face(res.data, res.size);
    return face;
}

TrueTypeFont::TrueTypeFont(const unsigned char* data, std::size_t size) : impl_(new Impl) {
    if (!data || size < 12) return;
    const int offset = stbtt_GetFontOffsetForIndex(data, 0);
    if (offset < 0 || std::size_t(offset) >= size) return;
    if (!stbtt_InitFont(&impl_->info, data, offset)) return;
    stbtt_GetFontVMetrics(&impl_->info, &impl_->ascent, &impl_->descent, &impl_->lineGap);
    impl_->ok = impl_->ascent - impl_->descent > 0;
}

TrueTypeFont::~TrueTypeFont() = default;

bool TrueTypeFont::valid() const { return impl_ && impl_->ok; }

float TrueTypeFont::scaleFor(float px) const {
    if (!valid() || !(px > 0.f)) return 0.f;
    return px / float(impl_->ascent - impl_->descent);
}

float TrueTypeFont::ascent(float px) const { return float(valid() ? impl_->ascent : 0) * scaleFor(px); }
float TrueTypeFont::descent(float px) const { return float(valid() ? impl_->descent : 0) * scaleFor(px); }

float TrueTypeFont::kerning(char32_t left, char32_t right, float px) const {
    if (!valid()) return 0.f;
    const int a = stbtt_FindGlyphIndex(&impl_->info, int(left));
    const int b = stbtt_FindGlyphIndex(&impl_->info, int(right));
    return float(stbtt_GetGlyphKernAdvance(&impl_->info, a, b)) * scaleFor(px);
}

namespace {

// Pen positions of every glyph and the final advance.
float layout(const stbtt_fontinfo& info, std::string_view text, float scale,
             std::vector<PlacedGlyph>* out) {
    float pen = 0.f;
    int prev = -1;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = nextCodePoint(text, i);
        if (cp == '\n' || cp == '\r') continue;
        const int g = stbtt_FindGlyphIndex(&info, int(cp));
        if (prev >= 0) pen += float(stbtt_GetGlyphKernAdvance(&info, prev, g)) * scale;
        if (out) out->push_back({g, pen});
        int adv = 0, lsb = 0;
        stbtt_GetGlyphHMetrics(&info, g, &adv, &lsb);
        pen += float(adv) * scale;
        prev = g;
    }
    return pen;
}

}  // namespace

int TrueTypeFont::measure(std::string_view utf8, float px) const {
    const float scale = scaleFor(px);
    if (scale <= 0.f) return 0;
    return int(std::ceil(layout(impl_->info, utf8, scale, nullptr) - 1e-3f));
}

TrueTypeFont::Coverage TrueTypeFont::render(std::string_view utf8, float px) const {
    Coverage cov;
    const float scale = scaleFor(px);
    if (scale <= 0.f) return cov;
    std::vector<PlacedGlyph> glyphs;
    const float advance = layout(impl_->info, utf8, scale, &glyphs);
    cov.baseline = int(std::ceil(float(impl_->ascent) * scale));
    cov.height = cov.baseline + int(std::ceil(float(-impl_->descent) * scale));
    // Wide enough for the advance and for the last glyph's overhang.
    int right = int(std::ceil(advance));
    for (const auto& g : glyphs) {
        int x0, y0, x1, y1;
        const float frac = g.x - std::floor(g.x);
        stbtt_GetGlyphBitmapBoxSubpixel(&impl_->info, g.glyph, scale, scale, frac, 0.f, &x0, &y0, &x1, &y1);
        right = std::max(right, int(std::floor(g.x)) + x1);
    }
    cov.width = std::max(right, 0);
    cov.pixels.assign(static_cast<std::size_t>(cov.width) * cov.height, 0);
    std::vector<unsigned char> glyphBuf;
    for (const auto& g : glyphs) {
        int x0, y0, x1, y1;
        const float whole = std::floor(g.x);
        const float frac = g.x - whole;
        stbtt_GetGlyphBitmapBoxSubpixel(&impl_->info, g.glyph, scale, scale, frac, 0.f, &x0, &y0, &x1, &y1);
        const int gw = x1 - x0, gh = y1 - y0;
        if (gw <= 0 || gh <= 0) continue;
        glyphBuf.assign(static_cast<std::size_t>(gw) * gh, 0);
        stbtt_MakeGlyphBitmapSubpixel(&impl_->info, glyphBuf.data(), gw, gh, gw, scale, scale, frac,
                                      0.f, g.glyph);
        // Neighbouring glyphs may share a pixel column: coverage adds up.
        for (int y = 0; y < gh; ++y) {
            const int ty = cov.baseline + y0 + y;
            if (ty < 0 || ty >= cov.height) continue;
            for (int x = 0; x < gw; ++x) {
                const int tx = int(whole) + x0 + x;
                if (tx < 0 || tx >= cov.width) continue;
                auto& d = cov.pixels[static_cast<std::size_t>(ty) * cov.width + tx];
                d = std::uint8_t(std::min(255, int(d) + glyphBuf[static_cast<std::size_t>(y) * gw + x]));
            }
        }
    }
    return cov;
}

bool TrueTypeFont::glyphBounds(char32_t cp, float px, float& x0, float& y0, float& x1,
                               float& y1) const {
    const float scale = scaleFor(px);
    if (scale <= 0.f) return false;
    int bx0, by0, bx1, by1;
    const int g = stbtt_FindGlyphIndex(&impl_->info, int(cp));
    if (!stbtt_GetGlyphBox(&impl_->info, g, &bx0, &by0, &bx1, &by1)) return false;
    x0 = float(bx0) * scale;
    y0 = float(by0) * scale;
    x1 = float(bx1) * scale;
    y1 = float(by1) * scale;
    return bx1 > bx0 && by1 > by0;
}

TrueTypeFont::Coverage TrueTypeFont::renderGlyph(char32_t cp, float px, float xScale) const {
    Coverage cov;
    const float scale = scaleFor(px);
    if (scale <= 0.f || !(xScale > 0.f)) return cov;
    const float sx = scale * xScale;
    const int g = stbtt_FindGlyphIndex(&impl_->info, int(cp));
    int bx0, by0, bx1, by1;
    if (!stbtt_GetGlyphBox(&impl_->info, g, &bx0, &by0, &bx1, &by1)) return cov;
    // Shift the outline so that its left edge falls on a pixel boundary.
    const float left = float(bx0) * sx;
    const float shift = std::ceil(left) - left;
    int x0, y0, x1, y1;
    stbtt_GetGlyphBitmapBoxSubpixel(&impl_->info, g, sx, scale, shift, 0.f, &x0, &y0, &x1, &y1);
    cov.baseline = int(std::ceil(float(impl_->ascent) * scale));
    cov.height = cov.baseline + int(std::ceil(float(-impl_->descent) * scale));
    cov.width = std::max(0, x1 - x0);
    const int gh = y1 - y0;
    if (cov.width == 0 || gh <= 0) return cov;
    std::vector<unsigned char> buf(static_cast<std::size_t>(cov.width) * gh, 0);
    stbtt_MakeGlyphBitmapSubpixel(&impl_->info, buf.data(), cov.width, gh, cov.width, sx, scale,
                                  shift, 0.f, g);
    cov.pixels.assign(static_cast<std::size_t>(cov.width) * cov.height, 0);
    for (int y = 0; y < gh; ++y) {
        const int ty = cov.baseline + y0 + y;
        if (ty < 0 || ty >= cov.height) continue;
        std::copy_n(buf.data() + static_cast<std::size_t>(y) * cov.width, cov.width,
                    cov.pixels.data() + static_cast<std::size_t>(ty) * cov.width);
    }
    return cov;
}

int TrueTypeFont::draw(CDIB& dest, int x, int y, std::string_view utf8, float px, Rgb colour,
                       float opacity) const {
    const Coverage c = render(utf8, px);
    dest.blendCoverage(x, y, c.pixels.data(), c.width, c.height, c.width, colour, opacity);
    return c.width;
}

void TrueTypeFont::drawInRect(CDIB& dest, const CRect& r, std::string_view utf8, float px,
                              Rgb colour, TextAlign align, float opacity) const {
    const Coverage c = render(utf8, px);
    if (c.width == 0) return;
    const int w = measure(utf8, px);
    int x = r.left;
    if (align == TextAlign::kCentre) x = r.left + (r.width() - w) / 2;
    if (align == TextAlign::kRight) x = r.right - w;
    const int y = r.top + (r.height() - c.height) / 2;
    CDIB::StateSaver save(dest);
    CRect clip = dest.getClipRect();
    clip.bound(r);
    dest.setClipRect(clip);
    dest.blendCoverage(x, y, c.pixels.data(), c.width, c.height, c.width, colour, opacity);
}

}  // namespace hm::gui
