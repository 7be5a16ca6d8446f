// Option menu choices through injected pointer and key events, and text entry.
#include <gtest/gtest.h>

#include "gui/controls/COptionMenu.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/controls/MenuPopup.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {
namespace {

struct MenuRig {
    HeadlessFrame h{400, 300};
    Recorder rec;
    COptionMenu* menu = nullptr;
    MenuRig() {
        menu = new COptionMenu(CRect(20, 20, 120, 40), &rec, 11);
        for (const char* t : {"Linear", "Full Minimum", "-", "Analogue", "Free"}) menu->addEntry(t);
        h.frame->addView(menu);
    }
    CPoint centre(int level, int item) const {
        const CRect r = menu->getPopup()->itemRect(level, item);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
};

TEST(ControlMenu, ChoosingAnEntryByPointerSetsTheValueAndTellsTheListener) {
    MenuRig rig;
    EXPECT_FLOAT_EQ(rig.menu->getMax(), 4.f);
    rig.h.click(50, 30);
    ASSERT_TRUE(rig.menu->isPopupOpen());
    EXPECT_EQ(rig.h.window->openPopupCount(), 1);
    EXPECT_EQ(rig.rec.count('v'), 0) << "the opening click's release chooses nothing";
    // The list opens below the control.
    EXPECT_EQ(rig.menu->getPopup()->levelRect(0).top, 40);
    const CPoint p = rig.centre(0, 3);
    rig.h.window->move(p.x, p.y);
    rig.h.click(p.x, p.y);
    EXPECT_FALSE(rig.menu->isPopupOpen());
    EXPECT_EQ(rig.h.window->openPopupCount(), 0);
    EXPECT_EQ(rig.menu->getCurrent(), 3);
    EXPECT_STREQ(rig.menu->getEntry(rig.menu->getCurrent()), "Analogue");
    ASSERT_EQ(rig.rec.count('v'), 1);
    EXPECT_FLOAT_EQ(rig.rec.lastValue(), 3.f);
    EXPECT_TRUE(rig.rec.changesInsideEdits());
    int index = -1;
    EXPECT_EQ(rig.menu->getLastItemMenu(index), rig.menu);
    EXPECT_EQ(index, 3);
}

TEST(ControlMenu, SeparatorsAndOutsideClicksChooseNothing) {
    MenuRig rig;
    rig.menu->setCurrent(1);
    rig.h.click(50, 30);
    const CPoint sep = rig.centre(0, 2);
    rig.h.window->move(sep.x, sep.y);
    rig.h.click(sep.x, sep.y);
    EXPECT_TRUE(rig.menu->isPopupOpen()) << "a separator is not a choice";
    rig.h.click(390, 290);  // outside the list
    EXPECT_FALSE(rig.menu->isPopupOpen());
    EXPECT_EQ(rig.menu->getCurrent(), 1);
    EXPECT_EQ(rig.rec.count('v'), 0);
    EXPECT_EQ(rig.rec.count('b'), 0);
    // The frame takes clicks again once the list is gone.
    rig.h.click(50, 30);
    EXPECT_TRUE(rig.menu->isPopupOpen());
}

TEST(ControlMenu, KeyboardWorksTheList) {
    MenuRig rig;
    rig.h.click(50, 30);
    using platform::Key;
    rig.h.window->key({Key::kDown, 0, 0});  // Linear
    rig.h.window->key({Key::kDown, 0, 0});  // Full Minimum
    rig.h.window->key({Key::kDown, 0, 0});  // skips the separator: Analogue
    EXPECT_EQ(rig.menu->getPopup()->hoveredItem(0), 3);
    rig.h.window->key({Key::kReturn, 0, 0});
    EXPECT_EQ(rig.menu->getCurrent(), 3);
    rig.h.click(50, 30);
    rig.h.window->key({Key::kDown, 0, 0});
    rig.h.window->key({Key::kEscape, 0, 0});
    EXPECT_FALSE(rig.menu->isPopupOpen());
    EXPECT_EQ(rig.menu->getCurrent(), 3);
    EXPECT_EQ(rig.rec.count('v'), 1);
}

TEST(ControlMenu, SubMenuChoiceIsReportedWithItsMenu) {
    MenuRig rig;
    auto* sub = new COptionMenu(CRect(0, 0, 10, 10), nullptr, -1);
    sub->addEntry("x1");
    sub->addEntry("x2");
    rig.menu->addEntry(sub, "Pad");
    sub->release();  // the menu keeps its own reference
    rig.menu->setCurrent(0);
    rig.h.click(50, 30);
    const CPoint pad = rig.centre(0, 5);
    rig.h.window->move(pad.x, pad.y);
    ASSERT_EQ(rig.menu->getPopup()->levelCount(), 2) << "resting on the entry opens its sub-menu";
    EXPECT_GE(rig.menu->getPopup()->levelRect(1).left, rig.menu->getPopup()->levelRect(0).right - 2);
    const CPoint x2 = rig.centre(1, 1);
    rig.h.window->move(x2.x, x2.y);
    rig.h.click(x2.x, x2.y);
    EXPECT_FALSE(rig.menu->isPopupOpen());
    int index = -1;
    EXPECT_EQ(rig.menu->getLastItemMenu(index), sub);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(rig.menu->getCurrent(), 0) << "the control's own choice stays";
    EXPECT_EQ(rig.rec.count('v'), 1);
}

TEST(ControlMenu, RightClickOpensTooAndIsRemembered) {
    MenuRig rig;
    rig.h.click(50, 30, kRButton);
    EXPECT_TRUE(rig.menu->isPopupOpen());
    EXPECT_TRUE(rig.menu->getLastButton() & kRButton);
}

TEST(ControlMenu, RemovingTheMenuClosesItsList) {
    MenuRig rig;
    rig.h.click(50, 30);
    ASSERT_EQ(rig.h.window->openPopupCount(), 1);
    rig.h.frame->removeView(rig.menu);
    EXPECT_EQ(rig.h.window->openPopupCount(), 0);
}

TEST(ControlTextEdit, TypingThenReturnCommitsEscapeAbandons) {
    HeadlessFrame h(300, 100);
    Recorder rec;
    auto* edit = new CTextEdit(CRect(10, 10, 200, 30), &rec, 5, "EQ: 1");
    h.frame->addView(edit);
    h.click(50, 20);
    ASSERT_TRUE(edit->isEditing());
    EXPECT_TRUE(h.window->hasKeyboardFocus());
    using platform::Key;
    h.window->key({Key::kBackspace, 0, 0});
    h.window->typeText("Bass");
    h.window->key({Key::kHome, 0, 0});
    h.window->key({Key::kDelete, 0, 0});
    EXPECT_EQ(edit->editBuffer(), "Q: Bass");
    h.window->key({Key::kReturn, 0, 0});
    EXPECT_FALSE(edit->isEditing());
    EXPECT_FALSE(h.window->hasKeyboardFocus());
    EXPECT_EQ(edit->getText(), "Q: Bass");
    EXPECT_EQ(rec.count('v'), 1);

    h.click(50, 20);
    h.window->typeText("zzz");
    h.window->key({Key::kEscape, 0, 0});
    EXPECT_EQ(edit->getText(), "Q: Bass");
    EXPECT_EQ(rec.count('v'), 1);

    // Clicking elsewhere keeps what was typed.
    h.click(50, 20);
    h.window->typeText("!");
    h.click(250, 80);
    EXPECT_EQ(edit->getText(), "Q: Bass!");
    EXPECT_EQ(rec.count('v'), 2);
}

TEST(ControlTextEdit, LongInputIsCut) {
    HeadlessFrame h(300, 100);
    auto* edit = new CTextEdit(CRect(10, 10, 200, 30), nullptr, 5, "");
    edit->setMaxLength(31);
    h.frame->addView(edit);
    h.click(50, 20);
    h.window->typeText("0123456789012345678901234567890123456789");
    h.window->key({platform::Key::kReturn, 0, 0});
    EXPECT_EQ(edit->getText().size(), 31u);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(ControlMenu, WheelStepsToNeighbouringEntriesSkippingSeparatorsAndStopsAtTheEnds) {
    MenuRig rig;  // Linear, Full Minimum, -, Analogue, Free
    rig.menu->setCurrent(1);
    rig.h.window->wheel(50, 30, -1.f);  // towards the end of the list
    EXPECT_EQ(rig.menu->getCurrent(), 3);
    rig.h.window->wheel(50, 30, -1.f);
    EXPECT_EQ(rig.menu->getCurrent(), 4);
    rig.h.window->wheel(50, 30, -1.f);
    EXPECT_EQ(rig.menu->getCurrent(), 4);
    rig.h.window->wheel(50, 30, 1.f);
    rig.h.window->wheel(50, 30, 1.f);
    EXPECT_EQ(rig.menu->getCurrent(), 1);
    EXPECT_EQ(rig.rec.count('v'), 4);
    EXPECT_TRUE(rig.rec.changesInsideEdits());
}

TEST(ControlMenu, CheckStyleMarksTheCurrentEntryAndRangeFollowsTheEntries) {
    HeadlessFrame h(300, 300);
    auto* menu = new COptionMenu(CRect(0, 0, 100, 20), nullptr, 1, nullptr, nullptr, kCheckStyle);
    h.frame->addView(menu);
    EXPECT_EQ(menu->getCurrent(), -1);
    for (const char* t : {"x1", "x2", "x4", "x8"}) menu->addEntry(t);
    EXPECT_FLOAT_EQ(menu->getMax(), 3.f);
    menu->setCurrent(2);
    EXPECT_FALSE(menu->setCurrent(9));
    EXPECT_EQ(menu->getCurrent(), 2);
    h.click(10, 10);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(menu->isCheckEntry(i), i == 2) << i;
    menu->removeEntry(0);  // changing the list closes the open pop-up
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_EQ(h.window->openPopupCount(), 0);
    EXPECT_FLOAT_EQ(menu->getMax(), 2.f);
    EXPECT_STREQ(menu->getEntry(0), "x2");
    EXPECT_STREQ(menu->getEntry(7), "");
}

}  // namespace
}  // namespace hm::gui::test
