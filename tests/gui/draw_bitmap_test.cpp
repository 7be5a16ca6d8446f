// Bitmap drawing, blending arithmetic, reference counting and PNG coding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gui/draw/BitmapCache.h"
#include "gui/draw/CDIB.h"
#include "gui/draw/PngIO.h"

#include <zlib.h>

using namespace hm::gui;

namespace {

int ch(Pixel p, int shift) { return int((p >> shift) & 255); }

// Straight colour over destination with coverage a, rounded: the blending
// rule written out independently of the drawing code.
int over(int c, int d, double a) { return int(std::floor(c * a + d * (1 - a) + 0.5)); }

struct CountingDIB : CDIB {
    static inline int destroyed = 0;
    CountingDIB() : CDIB(4, 4) {}
    ~CountingDIB() override { ++destroyed; }
};

}  // namespace

TEST(DrawBlend, FillWithOpacityMatchesHandComputedValues) {
    struct Case { Pixel dst; Rgb colour; float opacity; };
    const Case cases[] = {
        {makePixel(10, 20, 30), makeRgb(200, 100, 50), 0.25f},
        {makePixel(255, 0, 128), makeRgb(0, 255, 64), 0.5f},
        {makePixel(0, 0, 0), makeRgb(255, 255, 255), 0.6f},
        {makePixel(90, 91, 92), makeRgb(7, 8, 9), 1.f},
        {makePixel(90, 91, 92), makeRgb(7, 8, 9), 0.f},
    };
    for (const auto& c : cases) {
        auto* d = new CDIB(3, 3);
        d->clear(c.dst);
        d->fillRect(CRect(1, 1, 2, 2), c.colour, c.opacity);
        const Pixel p = d->getPixel(1, 1);
        EXPECT_EQ(ch(p, 16), over(rgbRed(c.colour), ch(c.dst, 16), c.opacity));
        EXPECT_EQ(ch(p, 8), over(rgbGreen(c.colour), ch(c.dst, 8), c.opacity));
        EXPECT_EQ(ch(p, 0), over(rgbBlue(c.colour), ch(c.dst, 0), c.opacity));
        EXPECT_EQ(ch(p, 24), 255);
        EXPECT_EQ(d->getPixel(0, 0), c.dst);  // only the rectangle changes
        d->release();
    }
}

TEST(DrawBlend, AlphaBitmapGoesSourceOverWithConstantOpacity) {
    // Source pixels given straight (colour, alpha); stored premultiplied.
    struct Case { int r, g, b, a; int opacity; Pixel dst; };
    const Case cases[] = {
        {200, 100, 50, 128, 255, makePixel(10, 20, 30)},
        {255, 255, 255, 255, 128, makePixel(0, 0, 0)},
        {40, 80, 120, 64, 200, makePixel(250, 200, 150)},
        {0, 0, 0, 0, 255, makePixel(33, 44, 55)},
    };
    for (const auto& c : cases) {
        auto* src = new CDIB(1, 1);
        src->setHasAlpha(true);
        auto pm = [&](int v) { return int(std::lround(v * c.a / 255.0)); };
        src->row(0)[0] = makePixel(pm(c.r), pm(c.g), pm(c.b), c.a);
        auto* dst = new CDIB(1, 1);
        dst->clear(c.dst);
        src->drawAlphaBlend(*dst, CRect(0, 0, 1, 1), {}, c.opacity);
        const double k = c.opacity / 255.0;
        const double sa = c.a / 255.0 * k;
        auto want = [&](int straight, int d) { return straight * c.a / 255.0 * k + d * (1 - sa); };
        const Pixel p = dst->getPixel(0, 0);
        EXPECT_NEAR(ch(p, 16), want(c.r, ch(c.dst, 16)), 1.01);
        EXPECT_NEAR(ch(p, 8), want(c.g, ch(c.dst, 8)), 1.01);
        EXPECT_NEAR(ch(p, 0), want(c.b, ch(c.dst, 0)), 1.01);
        EXPECT_EQ(ch(p, 24), 255);
        src->release();
        dst->release();
    }
}

TEST(DrawBlend, PlainBitmapsCopyAndAlphaBitmapsBlend) {
    auto* dst = new CDIB(2, 1);
    dst->clear(makePixel(100, 100, 100));
    auto* plain = new CDIB(2, 1);  // an empty DIB counts as having no alpha
    plain->row(0)[0] = makePixel(1, 2, 3, 0);
    plain->row(0)[1] = makePixel(4, 5, 6, 0);
    plain->draw(*dst, CRect(0, 0, 2, 1));
    EXPECT_EQ(dst->getPixel(0, 0) & 0xFFFFFF, makeRgb(1, 2, 3));
    EXPECT_EQ(dst->getPixel(1, 0) & 0xFFFFFF, makeRgb(4, 5, 6));
    plain->setHasAlpha(true);  // same pixels, now fully transparent
    dst->clear(makePixel(100, 100, 100));
    plain->row(0)[0] = 0;
    plain->row(0)[1] = 0;
    plain->draw(*dst, CRect(0, 0, 2, 1));
    EXPECT_EQ(dst->getPixel(0, 0), makePixel(100, 100, 100));
    plain->release();
    dst->release();
}

TEST(DrawBlend, TransparentKeyColourIsSkipped) {
    auto* src = new CDIB(3, 1);
    src->row(0)[0] = makePixel(255, 0, 255);
    src->row(0)[1] = makePixel(255, 0, 254);
    src->row(0)[2] = makePixel(255, 0, 255, 17);  // alpha does not matter for the key
    auto* dst = new CDIB(3, 1);
    dst->clear(makePixel(9, 9, 9));
    src->drawTransparent(*dst, CRect(0, 0, 3, 1), {}, makeRgb(255, 0, 255));
    EXPECT_EQ(dst->getPixel(0, 0), makePixel(9, 9, 9));
    EXPECT_EQ(dst->getPixel(1, 0), makePixel(255, 0, 254));
    EXPECT_EQ(dst->getPixel(2, 0), makePixel(9, 9, 9));
    src->release();
    dst->release();
}

TEST(DrawBlend, FilmStripFramesComeFromTheSourceOffset) {
    // Four 2×2 frames stacked; frame k filled with grey 10·(k+1).
    auto* strip = new CDIB(2, 8);
    for (int k = 0; k < 4; ++k) strip->fillRect(CRect(0, 2 * k, 2, 2 * k + 2), makeRgb(10 * (k + 1), 0, 0));
    auto* dst = new CDIB(6, 6);
    dst->clear(makePixel(0, 0, 0));
    strip->draw(*dst, CRect(3, 1, 5, 3), {0, 4});           // frame 2
    strip->draw(*dst, CRect(4, 4, 7, 7), {0, 6});           // frame 3, clipped by dest and source
    EXPECT_EQ(dst->getPixel(3, 1), makePixel(30, 0, 0));
    EXPECT_EQ(dst->getPixel(4, 2), makePixel(30, 0, 0));
    EXPECT_EQ(dst->getPixel(5, 2), makePixel(0, 0, 0));
    EXPECT_EQ(dst->getPixel(4, 4), makePixel(40, 0, 0));
    EXPECT_EQ(dst->getPixel(5, 5), makePixel(40, 0, 0));
    EXPECT_EQ(dst->getPixel(3, 4), makePixel(0, 0, 0));
    strip->release();
    dst->release();
}

TEST(DrawBitmap, ReferenceCountingFreesExactlyOnce) {
    CountingDIB::destroyed = 0;
    auto* b = new CountingDIB;
    EXPECT_EQ(b->getNbReference(), 1);
    {
        SharedPointer<CDIB> a(b), c = a;  // two shares
        EXPECT_EQ(b->getNbReference(), 3);
        b->retain();
        b->release();
    }
    EXPECT_EQ(b->getNbReference(), 1);
    EXPECT_EQ(CountingDIB::destroyed, 0);
    b->release();
    EXPECT_EQ(CountingDIB::destroyed, 1);

    auto owned = SharedPointer<CDIB>::adopt(new CountingDIB);
    auto moved = std::move(owned);
    EXPECT_FALSE(owned);
    moved.reset();
    EXPECT_EQ(CountingDIB::destroyed, 2);
}

TEST(DrawBitmap, IdZeroAndUnknownIdsGiveNoBitmap) {
    EXPECT_EQ(getSkinBitmap(0), nullptr);
    EXPECT_EQ(getSkinBitmap(-5), nullptr);
    EXPECT_EQ(getSkinBitmap(99999), nullptr);
    EXPECT_EQ(CDIB::fromResource(0), nullptr);
}

TEST(DrawBitmap, PngRoundTripKeepsPixelsExactly) {
    auto* opaque = new CDIB(5, 3);
    auto* alpha = new CDIB(5, 3);
    alpha->setHasAlpha(true);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            opaque->row(y)[x] = makePixel(x * 50, y * 100, 7 * x + y);
            const int a = (x * 63 + y * 20) % 256;
            auto pm = [a](int v) { return v * a / 255; };  // any premultiplied value <= a
            alpha->row(y)[x] = makePixel(pm(255 - x * 40), pm(y * 120), pm(200), a);
        }
    for (CDIB* src : {opaque, alpha}) {
        const auto bytes = encodePng(*src);
        ASSERT_FALSE(bytes.empty());
        CDIB* back = decodePng(bytes.data(), bytes.size());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->hasAlpha(), src->hasAlpha());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const Pixel want = src->hasAlpha() ? src->getPixel(x, y) : (src->getPixel(x, y) | 0xFF000000u);
                EXPECT_EQ(back->getPixel(x, y), want) << x << "," << y;
            }
        back->release();
    }
    // A file written atomically reads back the same.
    const auto path = std::filesystem::temp_directory_path() / "hm_draw_png_test.png";
    ASSERT_TRUE(writePngFile(*alpha, path.string()));
    std::ifstream in(path, std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(file.size(), encodePng(*alpha).size());
    std::filesystem::remove(path);
    opaque->release();
    alpha->release();
}

TEST(DrawBitmap, CorruptPngGivesNothing) {
    auto* src = new CDIB(4, 4);
    auto bytes = encodePng(*src);
    src->release();
    EXPECT_EQ(decodePng(nullptr, 10), nullptr);
    EXPECT_EQ(decodePng(bytes.data(), 7), nullptr);
    EXPECT_EQ(decodePng(bytes.data(), bytes.size() / 2), nullptr);  // truncated
    auto flipped = bytes;
    flipped[20] ^= 0x55;  // damaged header (CRC no longer matches)
    CDIB* d = decodePng(flipped.data(), flipped.size());
    EXPECT_EQ(d, nullptr);
    if (d) d->release();
}

TEST(DrawBitmap, ImageClaimingHugeSizeIsRefused) {
    // A well-formed header announcing 100000 × 100000 pixels must not make
    // the decoder allocate 40 GB.
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const unsigned char ihdr[] = {'I', 'H', 'D', 'R', 0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 6, 0, 0, 0};
    auto put32 = [&](unsigned long v) {
        for (int s = 24; s >= 0; s -= 8) png.push_back((unsigned char)((v >> s) & 255));
    };
    put32(13);
    png.insert(png.end(), std::begin(ihdr), std::end(ihdr));
    put32(crc32(0, ihdr, sizeof ihdr));
    const unsigned char iend[] = {'I', 'E', 'N', 'D'};
    put32(0);
    png.insert(png.end(), std::begin(iend), std::end(iend));
    put32(crc32(0, iend, sizeof iend));
    EXPECT_EQ(decodePng(png.data(), png.size()), nullptr);
}
