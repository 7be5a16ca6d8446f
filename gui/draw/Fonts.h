#pragma once
// The two text renderers of the editor.
//
// StripFont: a skin bitmap holding 70 glyph cells side by side for
// kStripFontCharset. An 11-pixel-high bitmap is the large font (cells 9 wide,
// 2 pixels between glyphs); any other height the small one (cells 7 wide,
// 1 pixel). Rows drawn per glyph = cell width + 2. Each glyph advances by its
// width (empty columns trimmed from the right, at least 2) plus the spacing;
// a space by 3 + spacing; characters outside the set draw nothing and take
// no room. Glyph pixels give per-channel coverage that blends the
// destination toward the text colour, scaled by an opacity 0..255. In
// centring mode every glyph takes its whole cell and sits centred in it
// (columns of figures line up).
//
// TrueTypeFont: the face "FUTURAB" (resource type "TTF"), opened once per
// process; UTF-8 text at a pixel height (scale = height ÷ (ascent − descent)),
// kerning applied, rendered as 8-bit coverage and blended in a colour.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gui/draw/CDIB.h"

namespace hm::gui {

inline constexpr std::string_view kStripFontCharset =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.%-,+#:/";
inline constexpr int kStripFontGlyphs = 70;
inline constexpr int kStripFontLargeId = 101;
inline constexpr int kStripFontSmallId = 102;

enum class TextAlign { kLeft, kCentre, kRight };

class StripFont {
public:
    StripFont() = default;
    // From the skin bitmap cache (101 or 102); invalid when missing.
    explicit StripFont(int bitmapId);
    // From any glyph strip (retained while the font lives).
    explicit StripFont(CBitmap* strip);
    ~StripFont();
    StripFont(const StripFont&);
    StripFont& operator=(const StripFont&);

    bool valid() const { return strip_ != nullptr; }
    bool isLarge() const { return large_; }
    int cellWidth() const { return large_ ? 9 : 7; }
    int spacing() const { return large_ ? 2 : 1; }
    int glyphRows() const { return cellWidth() + 2; }
    int glyphCount() const { return glyphCount_; }

    // Index of c in the charset that this strip holds, −1 when none.
    int glyphIndex(char c) const;
    // Trimmed glyph width (columns), 0 for unknown characters.
    int glyphWidth(char c) const;
    // Pixels the pen moves for c: glyph width + spacing, 3 + spacing for a
    // space, 0 for characters outside the set.
    int advance(char c, bool centred = false) const;
    int measure(std::string_view text, bool centred = false) const;

    // Draws with the glyphs' top-left row at (x, y); returns the pen
    // position after the last glyph. Glyphs are clipped to the destination.
    int draw(CDIB& dest, int x, int y, std::string_view text, Rgb colour, int opacity = 255,
             bool centred = false) const;
    // Aligned horizontally inside r, vertically centred.
    void drawInRect(CDIB& dest, const CRect& r, std::string_view text, Rgb colour,
                    TextAlign align = TextAlign::kLeft, int opacity = 255,
                    bool centred = false) const;

private:
    void measureGlyphs();

    CBitmap* strip_ = nullptr;
    bool large_ = false;
    int glyphCount_ = 0;
    std::vector<int> widths_;
};

class TrueTypeFont {
public:
    // The shared face from the resource "FUTURAB" of type "TTF".
    static const TrueTypeFont& futura();
    // From font bytes that outlive the object.
    TrueTypeFont(const unsigned char* data, std::size_t size);
    ~TrueTypeFont();
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    bool valid() const;
    float scaleFor(float pixelHeight) const;
    // Above (positive) and below (negative) the baseline, in pixels.
    float ascent(float pixelHeight) const;
    float descent(float pixelHeight) const;
    // Kerning between two code points in pixels (usually negative or 0).
    float kerning(char32_t left, char32_t right, float pixelHeight) const;
    // Advance width of the string in pixels, kerning included (rounded up).
    int measure(std::string_view utf8, float pixelHeight) const;

    // 8-bit coverage of a string: width × height, row stride = width; the
    // baseline lies `baseline` rows below the top. Line box: ascent − descent.
    struct Coverage {
        int width = 0;
        int height = 0;
        int baseline = 0;
        std::vector<std::uint8_t> pixels;
    };
    Coverage render(std::string_view utf8, float pixelHeight) const;
    // One glyph for building bitmap fonts: its ink starts exactly at column
    // 0, its baseline is row `baseline`; xScale < 1 condenses it. Width is
    // the ink width.
    Coverage renderGlyph(char32_t cp, float pixelHeight, float xScale = 1.f) const;
    // Ink bounds of a glyph in pixels at that height, y growing upwards from
    // the baseline. False when the glyph has no ink or the face is invalid.
    bool glyphBounds(char32_t cp, float pixelHeight, float& x0, float& y0, float& x1,
                     float& y1) const;

    // Draws with the top-left of the line box at (x, y). Returns the width.
    int draw(CDIB& dest, int x, int y, std::string_view utf8, float pixelHeight, Rgb colour,
             float opacity = 1.f) const;
    // Aligned horizontally inside r and centred vertically on its line box.
    void drawInRect(CDIB& dest, const CRect& r, std::string_view utf8, float pixelHeight,
                    Rgb colour, TextAlign align = TextAlign::kLeft, float opacity = 1.f) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace hm::gui
