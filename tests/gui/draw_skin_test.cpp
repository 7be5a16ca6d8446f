// The embedded skin: the bitmap cache, the sizes the editor's views rely
// on, and the real strip fonts.
#include <gtest/gtest.h>

#include "gui/draw/BitmapCache.h"
#include "gui/draw/Fonts.h"
#include "gui/draw/SkinIds.h"

using namespace hm::gui;

TEST(SkinCache, SameObjectPerIdUntilCleared) {
    clearSkinBitmaps();
    CDIB* a = getSkinBitmap(skin::kKnob);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(getSkinBitmap(skin::kKnob), a);
    EXPECT_EQ(skinBitmapCacheSize(), 1);
    EXPECT_EQ(a->getNbReference(), 1);  // the cache's own reference
    a->retain();                        // a view keeps it
    clearSkinBitmaps();
    EXPECT_EQ(skinBitmapCacheSize(), 0);
    EXPECT_EQ(a->getNbReference(), 1);  // still alive for the view
    EXPECT_EQ(a->getWidth(), 30);
    CDIB* b = getSkinBitmap(skin::kKnob);  // a fresh load after clearing
    EXPECT_NE(b, nullptr);
    a->release();
    EXPECT_EQ(getSkinBitmap(0), nullptr);
    EXPECT_EQ(skinBitmapCacheSize(), 1);  // id 0 is never cached
    clearSkinBitmaps();
}

TEST(SkinCache, BitmapsHaveTheGeometryTheViewsNeed) {
    // Widths and heights fixed by the editor's layout rules; 0 = any.
    struct Case { int id; int width; int height; int frameHeight; };
    const Case cases[] = {
        {skin::kFontLarge, 9 * 70, 11, 0},
        {skin::kKnob, 30, 0, 30},
        {skin::kMeterBody, 0, 310 + 104, 0},
        {skin::kMeterBodyLarge, 0, 313 + 107, 0},
        {skin::kWizardBack, 632, 428, 0},
        {skin::kWizardPreview, 244, 0, 144},
        {skin::kSetupWindow, 632, 403, 0},
        {skin::kStripMenuBack, 59, 17, 0},
        {skin::kStripTextFrame, 59, 17, 0},
        {skin::kKnobWell, 34, 41, 0},
        {skin::kTypeIcons, 62, 192, 32},
        {skin::kMuteButton, 28, 38, 19},
        {skin::kSoloButton, 28, 38, 19},
        {skin::kPhaseButton, 28, 38, 19},
        {skin::kLinkButton, 25, 38, 19},
        {skin::kMeterSeparator, 6, 264, 0},
    };
    for (const auto& c : cases) {
        CDIB* b = getSkinBitmap(c.id);
        ASSERT_NE(b, nullptr) << c.id;
        if (c.width) {
            EXPECT_EQ(b->getWidth(), c.width) << c.id;
        }
        if (c.height) {
            EXPECT_EQ(b->getHeight(), c.height) << c.id;
        }
        if (c.frameHeight) {
            EXPECT_EQ(b->getHeight() % c.frameHeight, 0) << c.id;
        }
    }
    EXPECT_EQ(getSkinBitmap(skin::kKnob)->getHeight(), 30 * skin::kKnobFrames);
    EXPECT_NE(getSkinBitmap(skin::kFontSmall)->getHeight(), 11);
    clearSkinBitmaps();
}

TEST(SkinFonts, EmbeddedStripFontsFollowTheirRules) {
    struct ClearCache {
        ~ClearCache() { clearSkinBitmaps(); }
    } clearAfterFonts;  // destroyed after the fonts below
    StripFont large(skin::kFontLarge), small(skin::kFontSmall);
    ASSERT_TRUE(large.valid());
    ASSERT_TRUE(small.valid());
    EXPECT_TRUE(large.isLarge());
    EXPECT_FALSE(small.isLarge());
    EXPECT_EQ(large.glyphCount(), 70);
    EXPECT_EQ(small.glyphCount(), 70);
    for (const StripFont* f : {&large, &small}) {
        EXPECT_EQ(f->advance(' '), 3 + f->spacing());
        // Proportional: a narrow figure is narrower than a wide capital.
        EXPECT_LT(f->glyphWidth('1'), f->glyphWidth('M'));
        for (char c : kStripFontCharset) {
            EXPECT_GE(f->glyphWidth(c), 2) << c;
            EXPECT_LE(f->glyphWidth(c), f->cellWidth()) << c;
        }
        // Every glyph has ink (the strip is not blank).
        auto* d = new CDIB(200, 20);
        d->clear(makePixel(0, 0, 0));
        f->draw(*d, 0, 0, "0123456789", 0xFFFFFF);
        int lit = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 200; ++x) lit += (d->getPixel(x, y) & 0xFFFFFF) != 0;
        EXPECT_GT(lit, 10 * 8);
        d->release();
    }
    EXPECT_EQ(large.measure("1k5 Hz"), large.advance('1') + large.advance('k') + large.advance('5') +
                                           large.advance(' ') + large.advance('H') + large.advance('z'));
}

TEST(SkinCache, EveryNamedSkinBitmapIsEmbedded) {
    const int ids[] = {
        skin::kFontLarge, skin::kFontSmall, skin::kTitleTile, skin::kTitleLogo, skin::kToolbarBack,
        skin::kPresetPageButton, skin::kUndoButton, skin::kRedoButton, skin::kABMenu,
        skin::kCopyToMenu, skin::kGroupMenu, skin::kSetupButton, skin::kSetupWindow,
        skin::kPresetBox, skin::kStripTextFrame, skin::kAnalyserButton, skin::kBypassButton,
        skin::kClipLight, skin::kPresetPrev, skin::kPresetNext, skin::kScaleTray,
        skin::kScaleTrayArrows, skin::kPresetMenuBack, skin::kPresetEQ, skin::kPresetDSP,
        skin::kPresetUI, skin::kPresetBankToggle, skin::kLoadButton, skin::kSaveButton,
        skin::kSliderHandle, skin::kSliderTrack, skin::kBandButtons, skin::kTypeIcons,
        skin::kTypeButtonRing, skin::kStripBody, skin::kStripBodySelected, skin::kStripHeader,
        skin::kKnobWell, skin::kStripMenuBack, skin::kMeterBody, skin::kMeterBodyLarge,
        skin::kFaderHandle, skin::kMeterSeparator, skin::kMuteButton, skin::kLinkButton,
        skin::kPhaseButton, skin::kMeterPointButton, skin::kSoloButton, skin::kKnob,
        skin::kMeterFade, skin::kWizardRadio, skin::kWizardBack, skin::kWizardPicture,
        skin::kWizardPreview
    };
    for (int id : ids) {
        EXPECT_NE(getSkinBitmap(id), nullptr) << id;
    }
    clearSkinBitmaps();
}
