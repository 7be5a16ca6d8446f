// Strip-bitmap font metrics and blending on synthetic glyph strips, and the
// TrueType face: measuring, boxes, kerning.
#include <gtest/gtest.h>

#include "gui/draw/CDIB.h"
#include "gui/draw/Fonts.h"

#include <string>

using namespace hm::gui;

namespace {

// A strip whose glyph g is lit in columns 0..width(g)-1 of one row, so the
// trimmed widths are known by construction.
int syntheticWidth(int g, int cell) { return g % (cell + 1); }  // 0..cell; 0 and 1 trim to 2

CDIB* syntheticStrip(int cell, int height, int glyphs = kStripFontGlyphs) {
    auto* s = new CDIB(cell * glyphs, height);
    s->clear(makePixel(0, 0, 0));
    for (int g = 0; g < glyphs; ++g)
        for (int x = 0; x < syntheticWidth(g, cell); ++x) s->row(height / 2)[g * cell + x] = makePixel(255, 255, 255);
    return s;
}

int charIndex(char c) { return int(kStripFontCharset.find(c)); }

}  // namespace

TEST(StripFont, LargeAndSmallRulesFollowTheBitmapHeight) {
    struct Case { int height; bool large; int cell; int spacing; };
    const Case cases[] = {{11, true, 9, 2}, {9, false, 7, 1}, {12, false, 7, 1}};
    for (const auto& c : cases) {
        CDIB* strip = syntheticStrip(c.cell, c.height);
        StripFont f(strip);
        strip->release();  // the font keeps its own reference
        ASSERT_TRUE(f.valid());
        EXPECT_EQ(f.isLarge(), c.large);
        EXPECT_EQ(f.cellWidth(), c.cell);
        EXPECT_EQ(f.spacing(), c.spacing);
        EXPECT_EQ(f.glyphRows(), c.cell + 2);
        EXPECT_EQ(f.glyphCount(), 70);
        for (char ch : kStripFontCharset) {
            const int want = std::max(2, syntheticWidth(charIndex(ch), c.cell));
            EXPECT_EQ(f.glyphWidth(ch), want) << ch;
            EXPECT_EQ(f.advance(ch), want + c.spacing) << ch;
            EXPECT_EQ(f.advance(ch, true), c.cell + c.spacing) << ch;
        }
        EXPECT_EQ(f.advance(' '), 3 + c.spacing);
    }
}

TEST(StripFont, UnknownCharactersTakeNoRoomAndDrawNothing) {
    CDIB* strip = syntheticStrip(9, 11);
    StripFont f(strip);
    strip->release();
    const int a = f.advance('A'), b = f.advance('b'), sp = f.advance(' ');
    EXPECT_EQ(f.measure("A b"), a + sp + b);
    EXPECT_EQ(f.measure("A!? \xC3\xA9" "b"), a + sp + b);
    EXPECT_EQ(f.advance('!'), 0);
    auto* d = new CDIB(40, 11);
    d->clear(makePixel(0, 0, 0));
    EXPECT_EQ(f.draw(*d, 0, 0, "!?*", 0xFFFFFF), 0);
    for (int x = 0; x < 40; ++x) EXPECT_EQ(d->getPixel(x, 5), makePixel(0, 0, 0));
    d->release();
}

TEST(StripFont, GlyphCountComesFromTheBitmapWidth) {
    CDIB* strip = syntheticStrip(7, 9, 12);  // holds "0".."9", "A", "B"
    StripFont f(strip);
    strip->release();
    EXPECT_EQ(f.glyphCount(), 12);
    EXPECT_GT(f.advance('B'), 0);
    EXPECT_EQ(f.advance('C'), 0);
}

TEST(StripFont, CoverageBlendsEachChannelTowardTheColour) {
    // One glyph ('0') with a single pixel of per-channel coverage (255, 128, 0).
    auto* strip = new CDIB(9 * 70, 11);
    strip->clear(makePixel(0, 0, 0));
    strip->row(3)[1] = makePixel(255, 128, 0);
    StripFont f(strip);
    strip->release();
    auto* d = new CDIB(20, 11);
    d->clear(makePixel(100, 100, 100));
    const int end = f.draw(*d, 4, 0, "0", makeRgb(200, 0, 50), 128);
    EXPECT_EQ(end, 4 + 2 + 2);  // width trimmed to 2 (lit column 1), spacing 2
    const double k = 128 / 255.0;
    const Pixel p = d->getPixel(5, 3);
    EXPECT_NEAR(int((p >> 16) & 255), 100 + (200 - 100) * 1.0 * k, 0.51);
    EXPECT_NEAR(int((p >> 8) & 255), 100 + (0 - 100) * (128 / 255.0) * k, 0.51);
    EXPECT_EQ(int(p & 255), 100);  // no blue coverage: unchanged
    EXPECT_EQ(d->getPixel(4, 3), makePixel(100, 100, 100));

    // Centring: a 2-pixel glyph in a 9-pixel cell sits 3 pixels in.
    d->clear(makePixel(100, 100, 100));
    EXPECT_EQ(f.draw(*d, 0, 0, "0", 0xFFFFFF, 255, true), 9 + 2);
    EXPECT_EQ(d->getPixel(4, 3) & 0xFF0000, 0xFF0000u);
    // Clipped at the destination's edge without harm.
    d->clear(makePixel(100, 100, 100));
    f.draw(*d, 19, 0, "0000", 0xFFFFFF);
    f.draw(*d, -30, -4, "0000", 0xFFFFFF);
    EXPECT_EQ(d->getPixel(0, 3), makePixel(100, 100, 100));
    d->release();
}

TEST(TrueType, FaceIsEmbeddedAndScalesToPixelHeight) {
    const auto& f = TrueTypeFont::futura();
    ASSERT_TRUE(f.valid());
    for (float px : {12.f, 15.f, 40.f}) {
        EXPECT_NEAR(f.ascent(px) - f.descent(px), px, 1e-3);
        EXPECT_GT(f.ascent(px), 0.f);
        EXPECT_LT(f.descent(px), 0.f);
    }
    TrueTypeFont broken(reinterpret_cast<const unsigned char*>("not a font at all"), 17);
    EXPECT_FALSE(broken.valid());
    EXPECT_EQ(broken.measure("abc", 12.f), 0);
    EXPECT_EQ(broken.render("abc", 12.f).width, 0);
}

TEST(TrueType, StringsRenderInsideTheirBoxes) {
    const auto& f = TrueTypeFont::futura();
    const char* texts[] = {"Harmoniform", "Peaks and Shelves Parallel", "Zero-latency Analogue", "Q", "\xC3\x84g"};
    for (float px : {12.f, 15.f, 18.f}) {
        for (const char* t : texts) {
            auto* d = new CDIB(400, 40);
            d->clear(makePixel(0, 0, 0));
            const int w = f.measure(t, px);
            EXPECT_GT(w, 0);
            // Longer strings are wider; every glyph advances by something.
            const CRect box(10, 5, 10 + w + 2, 5 + int(px) + 2);
            f.drawInRect(*d, box, t, px, 0xFFFFFF, TextAlign::kLeft);
            int inside = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 400; ++x) {
                    const bool lit = (d->getPixel(x, y) & 0xFFFFFF) != 0;
                    if (!box.pointInside({x, y})) {
                        ASSERT_FALSE(lit) << t << " at " << x << "," << y;
                    }
                    inside += lit;
                }
            EXPECT_GT(inside, w) << t;  // a visible amount of ink
            d->release();
        }
    }
    EXPECT_GT(f.measure("Peaks and Shelves Parallel", 12.f), f.measure("Peaks", 12.f) * 3);
}

TEST(TrueType, KerningTightensPairsByTheFaceKerningValue) {
    const auto& f = TrueTypeFont::futura();
    const float px = 40.f;
    // "AV" and "To" are kerned in this face; the measured pair is narrower
    // than its two letters by the kerning amount (rounding up to 1 pixel).
    for (const char* pair : {"AV", "To", "LT"}) {
        const float k = f.kerning(char32_t(pair[0]), char32_t(pair[1]), px);
        EXPECT_LT(k, -1.f) << pair;
        const char a[2] = {pair[0], 0}, b[2] = {pair[1], 0};
        const int separate = f.measure(a, px) + f.measure(b, px);
        EXPECT_NEAR(float(f.measure(pair, px)), float(separate) + k, 2.f) << pair;
        EXPECT_LT(f.measure(pair, px), separate) << pair;
    }
    EXPECT_EQ(f.kerning('H', 'H', px), 0.f);
}

TEST(TrueType, AlignmentPlacesTextInTheRectangle) {
    const auto& f = TrueTypeFont::futura();
    auto inkSpan = [&](TextAlign align, int& first, int& last) {
        auto* d = new CDIB(200, 30);
        d->clear(makePixel(0, 0, 0));
        f.drawInRect(*d, CRect(20, 0, 180, 30), "SHIFT", 15.f, 0xFFFFFF, align);
        first = 200;
        last = -1;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 200; ++x)
                if (d->getPixel(x, y) & 0xFFFFFF) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        d->release();
    };
    int l0, l1, c0, c1, r0, r1;
    inkSpan(TextAlign::kLeft, l0, l1);
    inkSpan(TextAlign::kCentre, c0, c1);
    inkSpan(TextAlign::kRight, r0, r1);
    EXPECT_LE(std::abs(l0 - 20), 2);
    EXPECT_LE(std::abs(r1 - 179), 2);
    EXPECT_LE(std::abs((c0 + c1) / 2 - 100), 2);
}

TEST(StripFont, OnlyCellWidthPlusTwoRowsAreDrawn) {
    // A 12-row strip is a small font: 9 rows per glyph, rows 9..11 ignored.
    auto* strip = new CDIB(7 * 70, 12);
    strip->clear(makePixel(0, 0, 0));
    strip->row(8)[0] = makePixel(255, 255, 255);
    strip->row(10)[1] = makePixel(255, 255, 255);
    StripFont f(strip);
    strip->release();
    EXPECT_EQ(f.glyphWidth('0'), 2);  // column 1 is empty within the drawn rows
    auto* d = new CDIB(10, 14);
    d->clear(makePixel(0, 0, 0));
    f.draw(*d, 0, 0, "0", 0xFFFFFF);
    EXPECT_EQ(d->getPixel(0, 8), makePixel(255, 255, 255));
    EXPECT_EQ(d->getPixel(1, 10), makePixel(0, 0, 0));
    d->release();
}

TEST(TrueType, MalformedUtf8IsHarmless) {
    const auto& f = TrueTypeFont::futura();
    const std::string bad[] = {"\xFF\xFE", "ab\xC3", "\xE2\x82", "\xF0\x9F\x8E\xB5 ok", std::string("a\0b", 3)};
    for (const auto& t : bad) {
        const int w = f.measure(t, 14.f);
        EXPECT_GE(w, 0);
        auto cov = f.render(t, 14.f);
        EXPECT_EQ(cov.pixels.size(), std::size_t(cov.width) * cov.height);
    }
    EXPECT_EQ(f.measure("", 14.f), 0);
    EXPECT_EQ(f.measure("abc", 0.f), 0);
    EXPECT_EQ(f.measure("abc", -3.f), 0);
}
