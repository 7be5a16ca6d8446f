#include <algorithm>

#include "gui/draw/BitmapCache.h"
#include "gui/draw/Fonts.h"
#include "gui/draw/PixelMath.h"

namespace hm::gui {

namespace {
constexpr int kLargeFontHeight = 11;
constexpr int kMinGlyphWidth = 2;
constexpr int kSpaceWidth = 3;
}  // namespace

StripFont::StripFont(int bitmapId) : StripFont(getSkinBitmap(bitmapId)) {}

StripFont::StripFont(CBitmap* strip) : strip_(strip) {
    if (strip_) {
        strip_->retain();
        measureGlyphs();
    }
}

StripFont::~StripFont() {
    if (strip_) strip_->release();
}

StripFont::StripFont(const StripFont& o)
    : strip_(o.strip_), large_(o.large_), glyphCount_(o.glyphCount_), widths_(o.widths_) {
    if (strip_) strip_->retain();
}

StripFont& StripFont::operator=(const StripFont& o) {
    if (this != &o) {
        if (o.strip_) o.strip_->retain();
        if (strip_) strip_->release();
        strip_ = o.strip_;
        large_ = o.large_;
        glyphCount_ = o.glyphCount_;
        widths_ = o.widths_;
    }
    return *this;
}

// Each glyph's width: its cell less the empty columns at the right (a column
// is empty when all its pixels sum to 0), never below 2.
void StripFont::measureGlyphs() {
    large_ = strip_->getHeight() == kLargeFontHeight;
    const int cell = cellWidth();
    glyphCount_ = std::min(kStripFontGlyphs, strip_->getWidth() / cell);
    const int rows = std::min(glyphRows(), strip_->getHeight());
    widths_.assign(glyphCount_, kMinGlyphWidth);
    for (int g = 0; g < glyphCount_; ++g) {
        int w = cell;
        for (; w > kMinGlyphWidth; --w) {
            long sum = 0;
            for (int y = 0; y < rows; ++y) sum += strip_->getPixel(g * cell + w - 1, y) & 0xFFFFFFu;
            if (sum != 0) break;
        }
        widths_[g] = w;
    }
}

int StripFont::glyphIndex(char c) const {
    const auto pos = kStripFontCharset.find(c);
    if (pos == std::string_view::npos || int(pos) >= glyphCount_) return -1;
    return int(pos);
}

int StripFont::glyphWidth(char c) const {
    const int g = glyphIndex(c);
    return g < 0 ? 0 : widths_[g];
}

int StripFont::advance(char c, bool centred) const {
    if (!strip_) return 0;
    if (c == ' ') return kSpaceWidth + spacing();
    const int g = glyphIndex(c);
    if (g < 0) return 0;
    return (centred ? cellWidth() : widths_[g]) + spacing();
}

int StripFont::measure(std::string_view text, bool centred) const {
    int w = 0;
    for (char c : text) w += advance(c, centred);
    return w;
}

int StripFont::draw(CDIB& dest, int x, int y, std::string_view text, Rgb colour, int opacity,
                    bool centred) const {
    if (!strip_) return x;
    const float k = float(std::clamp(opacity, 0, 255)) / 255.f;
    const int cell = cellWidth();
    const int rows = std::min(glyphRows(), strip_->getHeight());
    const CRect clip = dest.absoluteClip();
    const CPoint org = dest.getOrigin();
    const int cr = rgbRed(colour), cg = rgbGreen(colour), cb = rgbBlue(colour);
    for (char c : text) {
        const int g = glyphIndex(c);
        if (g >= 0 && k > 0.f) {
            const int w = widths_[g];
            const int gx = x + (centred ? (cell - w) / 2 : 0);
            for (int row = 0; row < rows; ++row) {
                const int py = y + row + org.y;
                if (py < clip.top || py >= clip.bottom) continue;
                Pixel* dp = dest.row(py);
                for (int col = 0; col < w; ++col) {
                    const int px = gx + col + org.x;
                    if (px < clip.left || px >= clip.right) continue;
                    const Pixel s = strip_->getPixel(g * cell + col, row);
                    if ((s & 0xFFFFFFu) == 0) continue;
                    // Per-channel coverage pulls each channel toward the text colour.
                    const Pixel d = dp[px];
                    auto mix = [&](int shift, int target) {
                        const float a = float(pixel::channel(s, shift)) / 255.f * k;
                        const float v = float(pixel::channel(d, shift)) +
                                        (float(target) - float(pixel::channel(d, shift))) * a;
                        return Pixel(int(v + 0.5f)) << shift;
                    };
                    const int cov = std::max({pixel::channel(s, 0), pixel::channel(s, 8),
                                              pixel::channel(s, 16)});
                    const int da = pixelAlpha(d);
                    const int na = da + int(float(255 - da) * float(cov) / 255.f * k + 0.5f);
                    dp[px] = mix(0, cb) | mix(8, cg) | mix(16, cr) | (Pixel(na) << 24);
                }
            }
        }
        x += advance(c, centred);
    }
    return x;
}

void StripFont::drawInRect(CDIB& dest, const CRect& r, std::string_view text, Rgb colour,
                           TextAlign align, int opacity, bool centred) const {
    if (!strip_) return;
    const int w = measure(text, centred) - (text.empty() ? 0 : spacing());
    int x = r.left;
    if (align == TextAlign::kCentre) x = r.left + (r.width() - w) / 2;
    if (align == TextAlign::kRight) x = r.right - w;
    const int y = r.top + (r.height() - glyphRows()) / 2;
    CDIB::StateSaver save(dest);
    CRect clip = dest.getClipRect();
    clip.bound(r);
    dest.setClipRect(clip);
    draw(dest, x, y, text, colour, opacity, centred);
}

}  // namespace hm::gui
