// Line and polygon coverage of CDIB against geometry worked out by hand:
// covered rows, exact areas, symmetry and clipping.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/draw/BaseObject.h"
#include "gui/draw/CDIB.h"

using namespace hm::gui;

namespace {

constexpr Rgb kWhite = 0xFFFFFF;

// Black opaque surface; coverage of white drawing reads back from the red channel.
SharedPointer<CDIB> blackSurface(int w, int h) {
    auto d = SharedPointer<CDIB>::adopt(new CDIB(w, h));
    d->clear(makePixel(0, 0, 0));
    return d;
}

float coverage(const CDIB& d, int x, int y) { return float((d.getPixel(x, y) >> 16) & 255) / 255.f; }

double totalCoverage(const CDIB& d) {
    double s = 0;
    for (int y = 0; y < d.getHeight(); ++y)
        for (int x = 0; x < d.getWidth(); ++x) s += coverage(d, x, y);
    return s;
}

}  // namespace

TEST(DrawLines, AxisAlignedLinesLightExactlyTheirRowsAndColumns) {
    struct Case { bool horizontal; int pos; int from; int to; float width; int firstLit; int lastLit; };
    // A w-pixel line centred on pos + 0.5 covers rows pos - (w-1)/2 .. pos + (w-1)/2 (odd w).
    const Case cases[] = {
        {true, 7, 2, 15, 1.f, 7, 7},
        {true, 0, 0, 20, 1.f, 0, 0},
        {true, 10, 3, 9, 3.f, 9, 11},
        {true, 5, 1, 18, 5.f, 3, 7},
        {false, 4, 2, 16, 1.f, 4, 4},
        {false, 12, 0, 20, 3.f, 11, 13},
    };
    for (const auto& c : cases) {
        auto d = blackSurface(20, 20);
        const float centre = float(c.pos) + 0.5f;
        if (c.horizontal)
            d->drawLine(float(c.from), centre, float(c.to), centre, kWhite, 1.f, c.width);
        else
            d->drawLine(centre, float(c.from), centre, float(c.to), kWhite, 1.f, c.width);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const int across = c.horizontal ? y : x;
                const int along = c.horizontal ? x : y;
                const bool lit = across >= c.firstLit && across <= c.lastLit && along >= c.from && along < c.to;
                ASSERT_EQ(d->getPixel(x, y), lit ? makePixel(255, 255, 255) : makePixel(0, 0, 0))
                    << "case pos " << c.pos << " width " << c.width << " pixel " << x << "," << y;
            }
    }
}

TEST(DrawLines, IntegerHelpersIncludeBothEndPoints) {
    auto d = blackSurface(10, 10);
    d->drawHLine(6, 2, 3, kWhite);
    d->drawVLine(8, 1, 4, kWhite);
    int lit = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) lit += coverage(*d, x, y) > 0.f;
    EXPECT_EQ(lit, 5 + 4);
    EXPECT_EQ(coverage(*d, 2, 3), 1.f);
    EXPECT_EQ(coverage(*d, 6, 3), 1.f);
    EXPECT_EQ(coverage(*d, 8, 1), 1.f);
    EXPECT_EQ(coverage(*d, 8, 4), 1.f);
}

TEST(DrawLines, DiagonalCoverageIsSymmetricAboutItsCentre) {
    for (float width : {1.f, 2.5f, 4.f}) {
        auto d = blackSurface(14, 14);
        d->drawLine(2.f, 2.f, 12.f, 12.f, kWhite, 1.f, width);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 14; ++x) {
                // Point reflection through (7, 7) and reflection in the diagonal.
                EXPECT_NEAR(coverage(*d, x, y), coverage(*d, 13 - x, 13 - y), 1.5f / 255) << x << "," << y;
                EXPECT_NEAR(coverage(*d, x, y), coverage(*d, y, x), 1.5f / 255) << x << "," << y;
            }
        EXPECT_GT(coverage(*d, 7, 7), 0.5f);
    }
}

TEST(DrawLines, CoveredAreaEqualsLengthTimesWidth) {
    struct Case { float x0, y0, x1, y1, w; };
    const Case cases[] = {
        {3.3f, 4.1f, 40.7f, 29.9f, 1.f}, {5.f, 40.f, 45.f, 8.f, 2.f},  {10.2f, 5.5f, 12.9f, 44.f, 3.5f},
        {4.f, 25.f, 46.f, 25.6f, 0.7f},  {25.f, 25.f, 30.f, 31.f, 6.f}, {7.5f, 9.25f, 44.5f, 9.25f, 1.5f},
    };
    for (const auto& c : cases) {
        auto d = blackSurface(50, 50);
        d->drawLine(c.x0, c.y0, c.x1, c.y1, kWhite, 1.f, c.w);
        const double len = std::hypot(double(c.x1 - c.x0), double(c.y1 - c.y0));
        // Each pixel rounds its 8-bit coverage by at most half a step.
        EXPECT_NEAR(totalCoverage(*d), len * c.w, 0.002 * len * c.w + 0.2) << c.x0 << "," << c.y0;
    }
}

TEST(DrawLines, PolygonEdgesGiveFractionalAreas) {
    auto d = blackSurface(8, 8);
    // Rectangle 1.25..4.75 × 2.5..3.5: partial columns 1 and 4, each half a row tall.
    const float rect[] = {1.25f, 2.5f, 4.75f, 2.5f, 4.75f, 3.5f, 1.25f, 3.5f};
    d->fillPolygon(rect, 4, kWhite);
    struct Px { int x, y; float cov; };
    const Px expect[] = {{0, 2, 0.f},      {1, 2, 0.375f}, {2, 2, 0.5f},  {3, 2, 0.5f}, {4, 2, 0.375f},
                         {5, 2, 0.f},      {1, 3, 0.375f}, {2, 3, 0.5f},  {4, 3, 0.375f}, {2, 4, 0.f}};
    for (const auto& p : expect) EXPECT_NEAR(coverage(*d, p.x, p.y), p.cov, 0.6f / 255) << p.x << "," << p.y;

    // A right triangle with legs 4: half of each diagonal pixel is inside.
    auto t = blackSurface(8, 8);
    const float tri[] = {2.f, 2.f, 6.f, 6.f, 2.f, 6.f};
    t->fillPolygon(tri, 3, kWhite);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(coverage(*t, 2 + i, 2 + i), 0.5f, 0.6f / 255);
    EXPECT_NEAR(coverage(*t, 2, 5), 1.f, 0.6f / 255);
    EXPECT_NEAR(coverage(*t, 5, 2), 0.f, 0.6f / 255);
    EXPECT_NEAR(totalCoverage(*t), 8.0, 0.02);
}

TEST(DrawLines, ClippingCutsButDoesNotChangeCoverage) {
    // The same lines drawn whole and with a clip must agree inside the clip
    // and leave everything outside it untouched.
    struct Case { float x0, y0, x1, y1, w; };
    const Case cases[] = {{-10.f, 3.f, 35.f, 27.f, 2.f}, {33.f, -4.f, 2.f, 33.f, 3.f}, {-5.f, 15.5f, 40.f, 15.5f, 1.f}};
    const CRect clip(6, 5, 22, 24);
    for (const auto& c : cases) {
        auto whole = blackSurface(30, 30);
        whole->drawLine(c.x0, c.y0, c.x1, c.y1, kWhite, 1.f, c.w);
        auto clipped = blackSurface(30, 30);
        clipped->setClipRect(clip);
        clipped->drawLine(c.x0, c.y0, c.x1, c.y1, kWhite, 1.f, c.w);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                const Pixel want = clip.pointInside({x, y}) ? whole->getPixel(x, y) : makePixel(0, 0, 0);
                ASSERT_EQ(clipped->getPixel(x, y), want)
                    << x << "," << y;
            }
    }
}

TEST(DrawLines, OriginMovesDrawingAndClipFollowsIt) {
    auto a = blackSurface(20, 20);
    a->drawLine(3.f, 4.5f, 9.f, 4.5f, kWhite);
    auto b = blackSurface(20, 20);
    b->setOrigin({5, 6});
    b->setClipRect(CRect(0, -6, 4, 20));  // absolute columns 5..8, rows 0..19
    b->drawLine(-2.f, -1.5f, 4.f, -1.5f, kWhite);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inClip = x >= 5 && x < 9;
            EXPECT_EQ(b->getPixel(x, y), inClip ? a->getPixel(x, y) : makePixel(0, 0, 0)) << x << "," << y;
        }
    EXPECT_EQ(b->getClipRect(), CRect(0, -6, 4, 14));
}

TEST(DrawLines, DegenerateInputDrawsNothing) {
    auto d = blackSurface(10, 10);
    const float nan = std::nanf("");
    d->drawLine(2.f, 2.f, 2.f, 2.f, kWhite, 1.f, 3.f);  // zero length
    d->drawLine(nan, 1.f, 5.f, 5.f, kWhite);
    d->drawLine(1.f, 1.f, 8.f, 8.f, kWhite, 1.f, 0.f);   // zero width
    d->drawLine(1.f, 1.f, 8.f, 8.f, kWhite, 1.f, -2.f);
    d->drawLine(1e30f, -1e30f, -1e30f, 1e30f, kWhite, 0.f);  // fully transparent
    d->fillPolygon(nullptr, 4, kWhite);
    d->drawArc(5.f, 5.f, 3.f, 0.f, nan, kWhite);
    EXPECT_EQ(totalCoverage(*d), 0.0);
    // Huge coordinates are survivable and still draw the visible part.
    d->drawLine(-1e9f, 5.5f, 1e9f, 5.5f, kWhite);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(coverage(*d, x, 5), 1.f);
}

TEST(DrawLines, CirclesAndArcsCoverTheirAreas) {
    auto d = blackSurface(40, 40);
    d->fillCircle(20.f, 20.f, 12.f, kWhite);
    EXPECT_NEAR(totalCoverage(*d), M_PI * 144.0, 0.01 * M_PI * 144.0);
    auto a = blackSurface(40, 40);
    // Half a ring, radius 10, width 4 (0 = up, clockwise: the right half).
    a->drawArc(20.f, 20.f, 10.f, 0.f, float(M_PI), kWhite, 1.f, 4.f);
    EXPECT_NEAR(totalCoverage(*a), 0.5 * M_PI * (144.0 - 64.0), 0.02 * M_PI * 40.0);
    EXPECT_GT(coverage(*a, 30, 20), 0.9f);
    EXPECT_EQ(coverage(*a, 9, 20), 0.f);
}

TEST(DrawLines, RoundRectFrameLeavesTheInsideAlone) {
    auto d = blackSurface(30, 30);
    d->frameRoundRect(CRect(5, 5, 25, 25), 4.f, kWhite, 1.f, 2.f);
    EXPECT_EQ(coverage(*d, 15, 5), 1.f);
    EXPECT_EQ(coverage(*d, 15, 6), 1.f);
    EXPECT_EQ(coverage(*d, 15, 7), 0.f);
    EXPECT_EQ(coverage(*d, 15, 15), 0.f);
    EXPECT_LT(coverage(*d, 5, 5), 0.5f);  // rounded corner
    auto f = blackSurface(30, 30);
    f->fillRoundRect(CRect(5, 5, 25, 25), 0.f, kWhite);
    EXPECT_NEAR(totalCoverage(*f), 400.0, 0.01);
}

TEST(DrawLines, TranslucentPolylineBlendsEachPixelOnce) {
    // Overlapping segments and joins of one stroke must not darken twice.
    auto d = blackSurface(40, 40);
    const float zigzag[] = {3.f, 35.f, 12.f, 5.f, 20.f, 35.f, 28.f, 5.f, 37.f, 35.f, 20.f, 20.f, 3.f, 20.f};
    d->drawPolyline(zigzag, 7, kWhite, 0.5f, 4.f);
    float maxCov = 0.f;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) maxCov = std::max(maxCov, coverage(*d, x, y));
    EXPECT_NEAR(maxCov, 0.5f, 1.f / 255);
}

TEST(DrawLines, WideCornersAreBevelled) {
    // A right-angle corner of width 6 at (20, 20): the outer square
    // 20..23 × 17..20 is cut by the bevel from (20, 17) to (23, 20).
    auto d = blackSurface(40, 40);
    const float corner[] = {5.f, 20.f, 20.f, 20.f, 20.f, 35.f};
    d->drawPolyline(corner, 3, kWhite, 1.f, 6.f);
    struct Px { int x, y; float cov; };
    const Px expect[] = {{20, 18, 1.f}, {21, 18, 0.5f}, {22, 18, 0.f}, {20, 17, 0.5f},
                         {22, 19, 0.5f}, {19, 17, 1.f}, {22, 21, 1.f}, {23, 21, 0.f}};
    for (const auto& p : expect) EXPECT_NEAR(coverage(*d, p.x, p.y), p.cov, 1.f / 255) << p.x << "," << p.y;
}

TEST(DrawLines, RandomShapesNeverReachOutsideTheClip) {
    // Guards the rasteriser's buffer edges: shapes crossing the clip on every
    // side at awkward fractions stay inside it and keep coverage in 0..1.
    unsigned seed = 12345;
    auto rnd = [&seed](float lo, float hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * float(seed >> 8) / float(1u << 24);
    };
    const CRect clip(7, 5, 31, 27);
    for (int round = 0; round < 200; ++round) {
        auto d = blackSurface(40, 32);
        d->setClipRect(clip);
        float pts[12];
        for (int k = 0; k < 6; ++k) {
            pts[2 * k] = rnd(-5.f, 45.f);
            pts[2 * k + 1] = rnd(-5.f, 37.f);
        }
        if (round % 2) d->fillPolygon(pts, 6, kWhite, 0.7f);
        else d->drawPolyline(pts, 6, kWhite, 0.7f, rnd(0.3f, 6.f));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 40; ++x) {
                const float c = coverage(*d, x, y);
                if (!clip.pointInside({x, y})) {
                    ASSERT_EQ(c, 0.f) << "round " << round << " at " << x << "," << y;
                }
                ASSERT_LE(c, 0.7f + 1.f / 255);
            }
    }
}
