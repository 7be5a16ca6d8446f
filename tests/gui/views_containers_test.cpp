// The editor's own containers, menus, buttons and texts.
#include <gtest/gtest.h>

#include "core/params/ParamIds.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/CBitmap.h"
#include "gui/views/ButtonViews.h"
#include "gui/views/MenuViews.h"
#include "gui/views/PageViews.h"
#include "gui/views/TextViews.h"
#include "gui/views/nDarken.h"
#include "gui/views/nScrollBox.h"
#include "gui/views/nTiled.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {
namespace {

TEST(OptionMenus, RightClickOnTheABMenuReportsTheAlternateTagWithoutOpening) {
    HeadlessFrame h(200, 200);
    Recorder editor;
    auto* menu = new SOptionMenu(CRect(10, 10, 38, 29), &editor, kGUIABMenu, kGUIABMenuAlt, getSkinBitmap(206));
    setMenuItems(menu, {"A", "B", "C"});
    menu->setValue(2.f);
    h.frame->addView(menu);

    h.click(20, 20, kRButton);
    EXPECT_EQ(h.window->openPopupCount(), 0);
    ASSERT_EQ(editor.count('v'), 1);
    EXPECT_EQ(editor.events.back().tag, kGUIABMenuAlt);
    EXPECT_EQ(editor.events.back().value, 2.f);
    EXPECT_EQ(menu->getTag(), kGUIABMenu);

    h.click(20, 20, kLButton);
    EXPECT_EQ(h.window->openPopupCount(), 1);
    clearSkinBitmaps();
}

TEST(OptionMenus, CellMenusDrawTheRowOfTheirValueAndTheOpenColumn) {
    CDIB* cells = getSkinBitmap(206);  // 2 columns × 8 rows of 28 × 19
    ASSERT_NE(cells, nullptr);
    auto drawn = [&](bool open, int row) {
        CDIB* d = new CDIB(28, 19);
        drawMenuCell(d, cells, CRect(0, 0, 28, 19), open, row);
        std::vector<Pixel> out(d->pixels(), d->pixels() + 28 * 19);
        d->release();
        return out;
    };
    auto cell = [&](int column, int row) {
        CDIB* d = new CDIB(28, 19);
        cells->drawAlphaBlend(*d, CRect(0, 0, 28, 19), CPoint(column * 28, row * 19));
        std::vector<Pixel> out(d->pixels(), d->pixels() + 28 * 19);
        d->release();
        return out;
    };
    EXPECT_EQ(drawn(false, 3), cell(0, 3));
    EXPECT_EQ(drawn(true, 3), cell(1, 3));
    EXPECT_NE(drawn(false, 3), drawn(false, 4));
    EXPECT_EQ(drawn(false, 99), cell(0, 7));  // past the last row: the last row
    clearSkinBitmaps();
}

TEST(Darken, CoversAndSwallowsClicksOnlyWhileItsValueIsSet) {
    HeadlessFrame h(100, 100);
    Recorder editor;
    auto* below = new ProbeView(CRect(0, 0, 100, 100), 0x808080);
    auto* cover = new nDarken(CRect(0, 0, 100, 100), &editor, kGUISetup);
    h.frame->addView(below);
    h.frame->addView(cover);
    h.frame->invalidateAll();
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(50, 50), 0x808080u);
    h.click(50, 50);
    EXPECT_EQ(below->downs, 1);

    cover->setValue(1.f);
    h.frame->updateDirty();
    const int expected = static_cast<int>(0x80 * (255 - nDarken::kOpacity) / 255.f + 0.5f);
    EXPECT_NEAR(static_cast<int>(h.pixel(50, 50) & 0xFF), expected, 1);
    EXPECT_TRUE(h.frame->onWheel(CPoint(50, 50), 1.f, 0));
    h.click(50, 50);
    EXPECT_EQ(below->downs, 1);
    EXPECT_EQ(cover->getValue(), 0.f);
    EXPECT_EQ(editor.lastValue(), 0.f);
    EXPECT_EQ(editor.events.back().tag, kGUISetup);
}

struct ScrollRig {
    HeadlessFrame h{200, 200};
    nScrollBox* box = nullptr;
    ProbeView* tall = nullptr;
    ScrollRig() {
        box = new nScrollBox(CRect(0, 0, 100, 100), -1, 0);
        tall = new ProbeView(CRect(0, 0, 80, 300), 0x406080);
        box->addView(tall);
        h.frame->addView(box);
    }
};

TEST(ScrollBox, WheelBarAndResizeMoveTheContent) {
    ScrollRig r;
    EXPECT_EQ(r.box->contentHeight(), 320);  // 300 + the margin
    r.h.window->wheel(50, 50, -1.f);          // towards the user: down by a tenth
    EXPECT_FLOAT_EQ(r.box->getScroll(), 0.1f);
    EXPECT_EQ(r.tall->getViewSize().top, -22);
    r.h.window->wheel(50, 50, 5.f);
    EXPECT_FLOAT_EQ(r.box->getScroll(), 0.f);
    EXPECT_EQ(r.tall->getViewSize().top, 0);

    // The bar: position = (y − top − 4) / (height − 8), dragged.
    r.h.drag(95, 4, 95, 96);
    EXPECT_FLOAT_EQ(r.box->getScroll(), 1.f);
    EXPECT_EQ(r.tall->getViewSize().top, -220);
    EXPECT_EQ(r.tall->downs, 0);

    r.box->setViewSize(CRect(0, 0, 100, 150));
    EXPECT_FLOAT_EQ(r.box->getScroll(), 0.f);
    EXPECT_EQ(r.tall->getViewSize().top, 0);
}

TEST(ScrollBox, ContentThatFitsDoesNotScroll) {
    HeadlessFrame h(200, 200);
    auto* box = new nScrollBox(CRect(0, 0, 100, 100), -1, 0);
    auto* small = new ProbeView(CRect(0, 0, 80, 50), 0x406080);
    box->addView(small);
    h.frame->addView(box);
    h.window->wheel(50, 50, -3.f);
    EXPECT_FLOAT_EQ(box->getScroll(), 0.f);
    h.click(95, 40);
    EXPECT_EQ(small->getViewSize().top, 0);
}

TEST(PageR, StretchesTheChildrenThatReachItsBottom) {
    HeadlessFrame h(200, 400);
    auto* pane = new nPageR(CRect(0, 0, 100, 100), kGUISetupPage, 0);
    auto* filler = new ProbeView(CRect(0, 0, 100, 100), 1);
    auto* label = new ProbeView(CRect(0, 10, 100, 30), 2);
    pane->addView(filler);
    pane->addView(label);
    h.frame->addView(pane);
    auto* inset = new ProbeView(CRect(10, 40, 90, 84), 3);  // 16 pixels above the bottom
    pane->addView(inset);
    pane->setViewSize(CRect(0, 0, 100, 250));
    EXPECT_EQ(filler->getViewSize(), CRect(0, 0, 100, 250));
    EXPECT_EQ(label->getViewSize(), CRect(0, 10, 100, 30));
    EXPECT_EQ(inset->getViewSize(), CRect(10, 40, 90, 234));
    // Smaller than the layout and back: everything returns to its place.
    pane->setViewSize(CRect(0, 0, 100, 60));
    EXPECT_EQ(inset->getViewSize(), CRect(10, 40, 90, 44));
    pane->setViewSize(CRect(0, 0, 100, 100));
    EXPECT_EQ(filler->getViewSize(), CRect(0, 0, 100, 100));
    EXPECT_EQ(inset->getViewSize(), CRect(10, 40, 90, 84));
}

TEST(Tiled, RepeatsItsPictureAndLetsClicksThroughOnlyWhenAsked) {
    for (bool clickThrough : {false, true}) {
        HeadlessFrame h(100, 40);
        auto* below = new ProbeView(CRect(0, 0, 100, 40), 0x123456);
        auto* strip = new nTiled(CRect(0, 0, 50, 25), kGUIBox1, getSkinBitmap(200), clickThrough);
        h.frame->addView(below);
        h.frame->addView(strip);
        h.frame->invalidateAll();
        h.frame->updateDirty();
        for (int y : {0, 12, 24}) {
            EXPECT_EQ(h.pixel(3, y), h.pixel(19, y));  // the 16-pixel tile repeats
            EXPECT_EQ(h.pixel(3, y), h.pixel(35, y));
            EXPECT_NE(h.pixel(3, y), 0x123456u);
        }
        EXPECT_EQ(h.pixel(60, 12), 0x123456u);
        h.click(10, 10);
        EXPECT_EQ(below->downs, clickThrough ? 1 : 0);
        clearSkinBitmaps();
    }
}

TEST(Buttons, MovieButton4ReportsEachToggleAtThePress) {
    HeadlessFrame h(100, 100);
    Recorder editor;
    auto* clip = new CMovieButton4(CRect(0, 0, 34, 19), &editor, kGUIClip, 19, getSkinBitmap(215));
    h.frame->addView(clip);
    h.window->press(10, 10, kLButton);
    EXPECT_EQ(editor.lastValue(), 1.f);
    h.window->move(80, 80);  // dragging away takes nothing back
    h.window->release(80, 80, kLButton);
    EXPECT_EQ(clip->getValue(), 1.f);
    h.click(10, 10);
    EXPECT_EQ(clip->getValue(), 0.f);
    EXPECT_EQ(editor.count('v'), 2);
    EXPECT_TRUE(editor.changesInsideEdits());
    h.click(10, 10, kRButton);
    EXPECT_EQ(editor.count('v'), 2);
    clearSkinBitmaps();
}

TEST(Buttons, DisabledKickButtonLetsClicksThrough) {
    HeadlessFrame h(100, 100);
    Recorder editor;
    auto* below = new ProbeView(CRect(0, 0, 100, 100), 1);
    auto* kick = new nKickButton2(CRect(0, 0, 50, 17), &editor, kGUILoad, 17, getSkinBitmap(234));
    h.frame->addView(below);
    h.frame->addView(kick);
    kick->setEnabled(false);
    h.click(10, 10);
    EXPECT_EQ(editor.count('v'), 0);
    EXPECT_EQ(below->downs, 1);
    kick->setEnabled(true);
    h.click(10, 10);
    EXPECT_EQ(editor.count('v'), 2);  // press and release
    clearSkinBitmaps();
}

TEST(Buttons, ScaleTrayTabKicksAndShowsTheTrayState) {
    HeadlessFrame h(100, 100);
    Recorder editor;
    auto* tab = new SpecialArrows(CRect(0, 0, 14, 40), &editor, kGUIOpenScaleTray, 40, getSkinBitmap(222));
    h.frame->addView(tab);
    h.click(7, 20);
    EXPECT_TRUE(tab->isOpen());
    ASSERT_EQ(editor.count('v'), 2);
    EXPECT_EQ(editor.events[1].value, 1.f);
    EXPECT_EQ(editor.lastValue(), 0.f);
    h.click(7, 20);
    EXPECT_FALSE(tab->isOpen());
    clearSkinBitmaps();
}

TEST(Texts, StaticTextsBreakLinesAtBackslashes) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(nTextDisplay::lines("one"), (Lines{"one"}));
    EXPECT_EQ(nTextDisplay::lines(R"(a\b\\c)"), (Lines{"a", "b", "", "c"}));
    EXPECT_EQ(nTextDisplay::lines(R"(end\)"), (Lines{"end", ""}));
}

TEST(Texts, StaticTextDrawsOneLineEvery25Pixels) {
    HeadlessFrame h(200, 100);
    h.frame->setBackgroundColor(0);
    h.frame->setDrawBackgroundColor(true);
    auto* text = new nTextDisplay(CRect(0, 0, 200, 100), -1, R"(HHHH\\HHHH)", false);
    h.frame->addView(text);
    h.frame->invalidateAll();
    h.frame->updateDirty();
    auto inkInRows = [&](int top, int bottom) {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 60; ++x) ink += (h.pixel(x, y) & 0xFF) > 0x80;
        return ink;
    };
    EXPECT_GT(inkInRows(0, 25), 20);
    EXPECT_EQ(inkInRows(25, 50), 0);  // the empty line
    EXPECT_GT(inkInRows(50, 75), 20);
    EXPECT_EQ(inkInRows(75, 100), 0);
}

}  // namespace
}  // namespace hm::gui::test
