// Band strips under the pointer: scrolling by bar and wheel, drag selection,
// the re-sort command, and the type button with its on/off button.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/controls/MenuPopup.h"
#include "gui/views/CTypeButton.h"
#include "gui/views/nStripBack.h"
#include "views_StripFixture.h"

namespace hm::gui::test {
namespace {

constexpr int kTop = 10;  // the fixture's strips start 10 pixels down the frame

CPoint firstPopupItem(const HeadlessFrame& host, int item) {
    const auto r = host.window->topPopupRect();
    return CPoint((r.left + r.right) / 2, r.top + MenuPopup::kPadding + item * MenuPopup::kItemHeight + 10);
}

TEST(StripScroll, BarAndWheelMoveTheStripsUnderTheFixedLabels) {
    StripFixture f(kStripsText | kLayoutStripLabels, 300);
    for (int b = 0; b < 6; ++b) f.editor.addBand(b, 1);
    f.rebuild();
    // Labels 66, six strips of 66 (the last one's background ends a pixel short), then 20.
    ASSERT_EQ(f.strips->contentWidth(), 66 + 6 * 66 - 1 + 20);
    const int overflow = f.strips->contentWidth() - 300;
    const auto left0 = [&] { return f.strips->stripBack(0)->getViewSize().left; };
    EXPECT_EQ(left0(), 66);

    // The bar: position = (x − left − 4) / (width − 8).
    const int barY = kTop + f.strips->getHeight() - 5;
    f.host.click(4 + 146, barY);
    EXPECT_FLOAT_EQ(f.strips->getScroll(), 0.5f);
    EXPECT_EQ(left0(), 66 - static_cast<int>(std::lround(0.5 * overflow)));
    f.host.drag(150, barY, 400, barY);
    EXPECT_FLOAT_EQ(f.strips->getScroll(), 1.f) << "clamped at the end";
    EXPECT_EQ(f.strips->stripBack(5)->getViewSize().right + 20, 300);

    // The wheel over a strip's bare background: 0.01 per notch, away from the user scrolls back.
    const int y = kTop + 40;
    f.host.window->wheel(200, y, 3.f);
    EXPECT_NEAR(f.strips->getScroll(), 0.97f, 1e-6);
    f.host.window->wheel(30, y, 2.f);  // over the labels column too
    EXPECT_NEAR(f.strips->getScroll(), 0.95f, 1e-6);
    EXPECT_EQ(left0(), 66 - static_cast<int>(std::lround(0.95 * overflow)));

    // A rebuild keeps the position; with fewer strips than room it is 0.
    f.rebuild();
    EXPECT_NEAR(f.strips->getScroll(), 0.95f, 1e-6);
    for (int b = 2; b < 6; ++b) f.editor.removeBand(b);
    f.rebuild();
    EXPECT_EQ(f.strips->getScroll(), 0.f);
    EXPECT_EQ(left0(), 66);
    f.host.window->wheel(200, y, -3.f);
    EXPECT_EQ(f.strips->getScroll(), 0.f);
}

TEST(StripSelection, DraggingOverStripsSelectsTheirBands) {
    StripFixture f(kStripsText, 400);
    for (int b : {3, 4, 8, 9}) f.editor.addBand(b, 1);
    f.rebuild();
    const auto selected = [&](int b) { return f.editor.lastValueOf(kGUISelectedBand + b) == 1.f; };
    // From the first strip's bare background (left of its texts) to the middle of the third.
    f.host.window->press(1, kTop + 100, kLButton);
    f.host.window->move(150, kTop + 120);
    EXPECT_TRUE(f.strips->isSelecting());
    EXPECT_TRUE(selected(3) && selected(4) && selected(8));
    EXPECT_EQ(f.editor.lastValueOf(kGUISelectedBand + 9), -999.f) << "untouched strip not reported";
    f.host.window->move(100, kTop + 120);  // back over two strips: the third is let go
    EXPECT_EQ(f.editor.lastValueOf(kGUISelectedBand + 8), 0.f);
    f.host.window->release(100, kTop + 120, kLButton);
    EXPECT_FALSE(f.strips->isSelecting());

    // With shift the box adds to what was selected.
    for (int b : {3, 4}) f.strips->stripBack(b)->setValue(1.f);
    f.editor.clear();
    f.host.window->press(263, kTop + 100, kLButton | kShift);
    f.host.window->move(240, kTop + 110);
    f.host.window->release(240, kTop + 110, kLButton | kShift);
    EXPECT_TRUE(selected(9));
    EXPECT_EQ(f.editor.lastValueOf(kGUISelectedBand + 3), -999.f) << "kept, so not reported again";
}

TEST(StripSort, TheRightClickMenuSortsByFrequencyAtTheNextRebuild) {
    StripFixture f(kStripsText, 400);
    f.editor.addBand(0, 1, 0, 3000.0);
    f.editor.addBand(1, 1, 0, 100.0);
    f.rebuild();
    f.host.click(1, kTop + 100, kRButton);
    ASSERT_EQ(f.host.window->openPopupCount(), 1);
    const CPoint item = firstPopupItem(f.host, 0);
    f.host.window->move(item.x, item.y);
    f.host.click(item.x, item.y);
    EXPECT_EQ(f.host.window->openPopupCount(), 0);
    EXPECT_TRUE(f.strips->resortPending());
    EXPECT_EQ(f.editor.lastValueOf(kGUIPleaseRebuildStrips), 1.f) << "the editor is asked for a rebuild";
    f.rebuild();
    EXPECT_EQ(f.order[0], 1);
    EXPECT_EQ(f.order[1], 0);
}

TEST(StripTypeButton, LeftClickTogglesBypassOtherPressesOpenTheTypeMenu) {
    StripFixture f(kStripsText | kLayoutStripSubtypeMenu, 400);
    f.editor.addBand(2, 1);  // a peak, on
    f.rebuild();
    const int stateTag = bandParam(2, kBandState), typeTag = bandParam(2, kBandType);
    auto* button = f.withTag<CTypeButton>(typeTag);
    ASSERT_NE(button, nullptr);
    const CRect r = button->getViewSize();
    const int x = (r.left + r.right) / 2, y = kTop + (r.top + r.bottom) / 2;

    f.host.click(x, y);
    EXPECT_EQ(f.editor.real(stateTag), 1.0) << "on -> bypassed";
    EXPECT_EQ(f.editor.lastValueOf(kGUIBandPressed), 2.f) << "the press names its band";
    button->bypassButton()->setValue(f.editor.value(stateTag));  // as the editor distributes it
    f.host.click(x, y);
    EXPECT_EQ(f.editor.real(stateTag), 2.0) << "bypassed -> on";
    EXPECT_TRUE(f.editor.parameterChangesInsideEdits());

    // Control-click: the type menu with the subtypes as sub-menus; choose "Low shelf" / "First Order".
    f.host.click(x, y, kLButton | kControl);
    ASSERT_TRUE(button->isMenuOpen());
    ASSERT_EQ(button->typeMenu()->getNbEntries(), 6);
    EXPECT_TRUE(button->typeMenu()->isCheckEntry(0)) << "the band's type is checked";
    const CPoint lowShelf = firstPopupItem(f.host, 2);
    f.host.window->move(lowShelf.x, lowShelf.y);
    ASSERT_EQ(f.host.window->openPopupCount(), 2) << "the sub-menu opens beside its entry";
    const CPoint firstOrder = firstPopupItem(f.host, 6);
    f.host.window->move(firstOrder.x, firstOrder.y);
    f.host.click(firstOrder.x, firstOrder.y);
    EXPECT_FALSE(button->isMenuOpen());
    EXPECT_EQ(f.editor.real(typeTag), 3.0);
    EXPECT_EQ(f.editor.real(bandParam(2, kBandSubtype)), 7.0);
    EXPECT_TRUE(f.editor.parameterChangesInsideEdits());

    // Without the subtypes: right click, a flat list of the six types.
    f.flags = kStripsText;
    f.rebuild();
    button = f.withTag<CTypeButton>(typeTag);
    f.host.click(x, y, kRButton);
    ASSERT_TRUE(button->isMenuOpen());
    EXPECT_EQ(button->typeMenu()->getSubMenu(0), nullptr);
    const CPoint notch = firstPopupItem(f.host, 5);
    f.host.window->move(notch.x, notch.y);
    f.host.click(notch.x, notch.y);
    EXPECT_EQ(f.editor.real(typeTag), 6.0);
}

}  // namespace
}  // namespace hm::gui::test
