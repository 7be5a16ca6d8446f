// The tool bar's group menu, the band on/off buttons and the highlight sheet.
#include <gtest/gtest.h>

#include "gui/controls/MenuPopup.h"
#include "gui/draw/CDIB.h"
#include "gui/views/CBandButton.h"
#include "gui/views/SGroupMenu.h"
#include "gui/views/nHighlightSheet.h"
#include "views_BandEditorStub.h"

namespace hm::gui::test {
namespace {

void choose(HeadlessFrame& host, const COptionMenu* menu, int item) {
    ASSERT_NE(menu->getPopup(), nullptr);
    const CRect r = menu->getPopup()->itemRect(0, item);
    const CPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    host.window->move(p.x, p.y);
    host.click(p.x, p.y);
}

TEST(ToolbarGroupMenu, ItemsFollowTheInstancesGroups) {
    struct Case {
        int channels;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {1, {"None", "-", "Mono"}},
        {2, {"Both", "-", "Mid", "Side"}},  // the first pair is mid/side by default
        {4, {"None", "-", "1", "2", "3", "4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channels);
        BandEditorStub editor(c.channels);
        auto* menu = new SGroupMenu(CRect(10, 10, 44, 29), &editor, kGUIStereoMode, kGUIStereoMode2, nullptr);
        std::vector<std::string> items;
        for (int i = 0; i < menu->getNbEntries(); ++i) items.push_back(menu->getEntry(i));
        if (c.channels > 1) {
            EXPECT_EQ(items, c.items);
        }
        EXPECT_EQ(menu->isShown(), c.channels > 1) << "hidden with one group";
        EXPECT_EQ(menu->hitTest(CPoint(20, 20)), c.channels > 1);
        menu->release();
    }
}

TEST(ToolbarGroupMenu, TheRightButtonChoosesTheSecondValueWithMoreThanTwoGroups) {
    BandEditorStub editor(4);
    HeadlessFrame host(300, 200);
    auto* menu = new SGroupMenu(CRect(10, 10, 44, 29), &editor, kGUIStereoMode, kGUIStereoMode2, nullptr);
    host.frame->addView(menu);
    host.click(20, 20, kRButton);
    ASSERT_EQ(host.window->openPopupCount(), 1);
    choose(host, menu, 3);  // group "2"
    EXPECT_EQ(editor.lastValueOf(kGUIStereoMode2), 3.f);
    EXPECT_EQ(editor.lastValueOf(kGUIStereoMode), -999.f);
    EXPECT_EQ(menu->getCurrent(), 0) << "the main value stays";
    EXPECT_EQ(menu->getAltValue(), 3);
    host.click(20, 20);
    choose(host, menu, 4);  // group "3"
    EXPECT_EQ(editor.lastValueOf(kGUIStereoMode), 4.f);
    EXPECT_EQ(menu->getCurrent(), 4);
    EXPECT_EQ(menu->displayText(), "3/2");

    // A stereo instance has one value: the right button chooses it too.
    BandEditorStub stereo(2);
    auto* two = new SGroupMenu(CRect(60, 10, 94, 29), &stereo, kGUIStereoMode, kGUIStereoMode2, nullptr);
    host.frame->addView(two);
    host.click(70, 20, kRButton);
    choose(host, two, 2);
    EXPECT_EQ(stereo.lastValueOf(kGUIStereoMode), 2.f);
    EXPECT_EQ(stereo.lastValueOf(kGUIStereoMode2), -999.f);
}

struct ButtonRig {
    Recorder rec;
    HeadlessFrame host{400, 100};
    CDIB* strip = new CDIB(640, 64);
    CBandButton* a = nullptr;
    CBandButton* b = nullptr;
    ButtonRig() {
        // Band 3's pair of buttons, each the other's partner.
        a = new CBandButton(CRect(10, 10, 30, 26), &rec, bandParam(2, kBandState), 2, 900, strip);
        b = new CBandButton(CRect(50, 10, 70, 26), &rec, 900, 2, bandParam(2, kBandState), strip);
        host.frame->addView(a);
        host.frame->addView(b);
    }
    ~ButtonRig() { strip->release(); }
};

TEST(BandButton, RowsShowTheStateAndThePartner) {
    ButtonRig rig;
    EXPECT_EQ(rig.a->currentRow(), 1) << "off";
    rig.a->setValue(1.f);
    EXPECT_EQ(rig.a->currentRow(), 0) << "on";
    rig.b->setValue(1.f);
    EXPECT_EQ(rig.a->currentRow(), 2) << "on, partner on";
    EXPECT_TRUE(rig.a->isDirty()) << "redrawn when the partner changes";
    rig.a->setValue(0.f);
    EXPECT_EQ(rig.a->currentRow(), 3);
    // The picture comes from the button's column and row.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 640; ++x) rig.strip->row(y)[x] = makePixel(x / 20, y / 16, 0);
    rig.host.frame->invalidateAll();
    rig.host.frame->updateDirty();
    EXPECT_EQ(rig.host.pixel(15, 15), makeRgb(2, 3, 0));
}

TEST(BandButton, LeftPressTogglesWhileInsideOtherButtonsGoToThePartner) {
    ButtonRig rig;
    rig.host.window->press(20, 18, kLButton);
    EXPECT_TRUE(rig.a->isOn());
    rig.host.window->move(200, 80);
    EXPECT_FALSE(rig.a->isOn()) << "outside: the value from before the press";
    rig.host.window->move(22, 18);
    rig.host.window->release(22, 18, kLButton);
    EXPECT_TRUE(rig.a->isOn());
    EXPECT_TRUE(rig.rec.changesInsideEdits());
    EXPECT_EQ(rig.rec.count('b'), 1) << "one gesture";

    rig.rec.clear();
    rig.host.click(20, 18, kRButton);
    EXPECT_TRUE(rig.a->isOn()) << "the right button leaves this one";
    EXPECT_TRUE(rig.b->isOn()) << "and toggles the partner";
    ASSERT_EQ(rig.rec.count('v'), 1);
    EXPECT_EQ(rig.rec.events[1].tag, 900);
    rig.host.click(20, 18, kLButton | kControl);
    EXPECT_FALSE(rig.b->isOn());
    rig.host.click(20, 18, kLButton | kApple);
    EXPECT_TRUE(rig.a->isOn()) << "command presses are ignored";
}

TEST(HighlightSheet, PressesOnTheBareSheetGoToItsFirstChild) {
    HeadlessFrame host(300, 200);
    auto* sheet = new nHighlightSheet(CRect(20, 20, 220, 120), -1, 0, nullptr, 4, 5);
    auto* first = new ProbeView(CRect(10, 10, 40, 40), 0xFF0000);
    auto* second = new ProbeView(CRect(100, 10, 140, 40), 0x00FF00);
    sheet->addView(first);
    sheet->addView(second);
    host.frame->addView(sheet);
    EXPECT_EQ(sheet->getBand(), 4);
    host.click(130, 40);  // on the second child
    EXPECT_EQ(second->downs, 1);
    host.drag(200, 100, 210, 90);  // on the bare sheet
    EXPECT_EQ(first->downs, 1);
    EXPECT_EQ(first->ups, 1) << "the first child keeps the gesture";
    EXPECT_EQ(first->lastDown, CPoint(180, 80));
    host.window->wheel(200, 100, 2.f);
    EXPECT_EQ(first->wheels, 1);
    host.click(250, 150);  // outside the sheet
    EXPECT_EQ(first->downs, 1);
}

}  // namespace
}  // namespace hm::gui::test
