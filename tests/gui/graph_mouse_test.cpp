// The graph's mouse and wheel through a real frame: new bands, drags in
// normal and fine mode, the scroll bar, "Right-Click" actions, the wheel step,
// and that every change reaches the editor inside begin/end edit.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/editor/GraphFlags.h"
#include "gui/views/EQGraph.h"
#include "prefs/EditorPreferences.h"
#include "tests/gui/graph_Harness.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui {
namespace {

using test::InstanceFixture;

struct MouseFixture : InstanceFixture {
    test::HeadlessFrame frame{900, 420};
    EQGraph* graph = nullptr;
    prefs::EditorPreferences prefs = prefs::EditorPreferences::fromResources();

    MouseFixture() {
        graph = new EQGraph(CRect(0, 0, 900, 420), editor.get(), kGUIEQGraph);
        frame.frame->addView(graph);
        apply();
    }
    void pref(const char* page, const char* name, int value) {
        prefs.setUIPreference(page, name, value);
        apply();
    }
    void apply() {
        const GraphFlags g = packGraphFlags(prefs);
        graph->setGraphFlags(g.flags1, g.flags2);
    }
    CPoint handle(int band) {
        graph->recompute();
        return graph->handlePosition(band);
    }
    const graph::GraphView& view() { return graph->view(); }
    platform::HeadlessWindow& window() { return *frame.window; }
};

TEST(GraphMouse, DoubleClickOnEmptySpaceMakesTheBandTheRulesSay) {
    MouseFixture f;
    f.pref("Misc", "New Band Types", 1);  // By Freq
    f.pref("Graph", "New Band Q Follows Zoom", 0);
    const int x = static_cast<int>(std::lround(graph::xOfFrequency(f.view(), 50.0)));
    const int y = static_cast<int>(std::lround(graph::yOfDb(f.view(), 4.0)));
    f.window().press(x, y, kLButton | kDoubleClick);
    f.window().release(x, y, kLButton);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 2.0);
    EXPECT_EQ(f.real(bandParam(0, kBandType)), 3.0);  // low shelf below 100 Hz
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), 50.0, 1.0);
    EXPECT_NEAR(f.real(bandParam(0, kBandGain)), 4.0, 0.2);
    EXPECT_NEAR(f.real(bandParam(0, kBandQ)), 0.707, 0.01);
    EXPECT_EQ(f.real(bandParam(0, kBandGroups)), 128.0);  // the primary view's group
    EXPECT_TRUE(f.graph->isBandSelected(0));
    EXPECT_EQ(f.graph->dragBand(), 0);
    EXPECT_TRUE(f.editor->changesInsideEdits());
    // The frequency default is remembered before the band is switched on.
    EXPECT_EQ(f.editor->count('v', kGUIReloadFreqDefault), 1);
    // With every band in use a double click creates nothing.
    for (int b = 1; b < kNumBands; ++b) f.band(b, 1, 100.0 * (b + 1), 0.0);
    f.editor->events.clear();
    f.window().press(100, 100, kLButton | kDoubleClick);
    f.window().release(100, 100, kLButton);
    EXPECT_EQ(f.editor->count('v', bandParam(0, kBandState)), 0);
}

TEST(GraphMouse, DraggingAPeakSetsTheGainTheMappingPredicts) {
    MouseFixture f;
    f.band(0, 1, 1000.0, 0.0, 1.0);
    const CPoint h = f.handle(0);
    // Grabbing the handle 1 pixel above its centre and moving 60 pixels up:
    // the gain follows the pointer's level, less the grab offset.
    const int grabY = h.y - 1;
    const double expected = graph::dbOfY(f.view(), grabY - 60) - graph::dbOfY(f.view(), grabY);
    f.window().press(h.x, grabY, kLButton);
    f.window().move(h.x, grabY - 30);
    f.window().move(h.x, grabY - 60);
    f.window().release(h.x, grabY - 60, kLButton);
    EXPECT_NEAR(f.real(bandParam(0, kBandGain)), expected, 0.05);
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), 1000.0, 5.0);  // no horizontal move
    EXPECT_TRUE(f.editor->changesInsideEdits());
    EXPECT_GE(f.editor->count('b', bandParam(0, kBandGain)), 1);
}

TEST(GraphMouse, FineModeMovesOneTenth) {
    MouseFixture f;
    f.band(0, 1, 1000.0, 0.0, 1.0);
    const CPoint h = f.handle(0);
    f.window().press(h.x, h.y, kLButton | kShift);
    f.window().move(h.x + 100, h.y - 100, kShift);
    f.window().release(h.x + 100, h.y - 100, kLButton | kShift);
    // A tenth of 100 pixels: 10 columns to the right, 10 rows up.
    const double hz = graph::frequencyOfX(f.view(), graph::xOfFrequency(f.view(), 1000.0) + 10.0);
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), hz, hz * 0.01);
    const double db = graph::dbOfY(f.view(), h.y - 10) - graph::dbOfY(f.view(), h.y) ;
    EXPECT_NEAR(f.real(bandParam(0, kBandGain)), db, 0.1);
}

TEST(GraphMouse, AltDragsQAndPassFiltersDragSlope) {
    MouseFixture f;
    f.band(0, 1, 1000.0, 3.0, 1.0);
    f.band(1, 2, 100.0, 0.0, 0.707);
    const CPoint h = f.handle(0);
    const float q0 = f.plug->getParameter(bandParam(0, kBandQ));
    f.window().press(h.x, h.y, kLButton | kAlt);
    f.window().move(h.x, h.y - 40, kAlt);
    f.window().release(h.x, h.y - 40, kLButton | kAlt);
    // Upward raises Q by half its range per plot height.
    EXPECT_NEAR(f.plug->getParameter(bandParam(0, kBandQ)), q0 + 0.5f * 40.f / f.view().plotHeight, 1e-3);
    EXPECT_NEAR(f.real(bandParam(0, kBandGain)), 3.0, 1e-3);
    const CPoint p = f.handle(1);
    const float slope0 = f.plug->getParameter(bandParam(1, kBandSlope));
    f.window().press(p.x, p.y, kLButton);
    f.window().move(p.x, p.y - 40);
    f.window().release(p.x, p.y - 40, kLButton);
    EXPECT_GT(f.plug->getParameter(bandParam(1, kBandSlope)), slope0);
    EXPECT_TRUE(f.editor->changesInsideEdits());
}

TEST(GraphMouse, ScrollBarLeftEdgeStopsAtHalfTheRightEdge) {
    MouseFixture f;
    f.graph->setVisibleRange(100.0, 2000.0);
    const graph::ScrollThumb t = graph::scrollThumb(f.view());
    const int y = f.view().plotHeight + 9;
    f.window().press(static_cast<int>(t.x1), y, kLButton);
    f.window().move(static_cast<int>(t.x2) + 50, y);
    f.window().release(static_cast<int>(t.x2) + 50, y, kLButton);
    EXPECT_DOUBLE_EQ(f.view().fMin, 1000.0);
    EXPECT_DOUBLE_EQ(f.view().fMax, 2000.0);
    // A right click on the bar shows the whole range again.
    f.window().press(400, y, kRButton);
    f.window().release(400, y, kRButton);
    EXPECT_EQ(f.view().fMin, 10.0);
    EXPECT_EQ(f.view().fMax, 22050.0);
}

TEST(GraphMouse, RightClickBypassTogglesAndMovesNothing) {
    MouseFixture f;
    f.pref("Graph", "Right-Click", 2);  // Bypass
    f.band(0, 1, 1000.0, 6.0, 1.0);
    f.band(1, 1, 3000.0, -4.0, 1.0);
    const CPoint h = f.handle(0);
    f.window().press(h.x, h.y, kRButton);
    f.window().release(h.x, h.y, kRButton);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 1.0);
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), 1000.0, 1.0);
    EXPECT_NEAR(f.real(bandParam(0, kBandGain)), 6.0, 1e-3);
    for (int field : {kBandFrequency, kBandGain, kBandQ}) EXPECT_EQ(f.editor->count('v', bandParam(0, field)), 0);
    EXPECT_TRUE(f.editor->changesInsideEdits());
    // Again: back to active. "Invert" turns the gain over instead.
    f.window().press(h.x, h.y, kRButton);
    f.window().release(h.x, h.y, kRButton);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 2.0);
    f.pref("Graph", "Right-Click", 1);
    f.window().press(h.x, h.y, kRButton);
    f.window().release(h.x, h.y, kRButton);
    EXPECT_NEAR(f.real(bandParam(0, kBandGain)), -6.0, 0.05);
}

TEST(GraphMouse, ARightButtonDragListensToTheBand) {
    MouseFixture f;
    f.band(0, 1, 1000.0, 6.0, 1.0);
    const CPoint h = f.handle(0);
    f.window().press(h.x, h.y, kRButton);
    f.window().move(h.x + 20, h.y);
    EXPECT_EQ(f.plug->auditionedBand(), 0);
    f.window().release(h.x + 20, h.y, kRButton);
    EXPECT_EQ(f.plug->auditionedBand(), -1);
    f.window().press(h.x + 20, h.y, kLButton);
    f.window().move(h.x, h.y);
    EXPECT_EQ(f.plug->auditionedBand(), -1);
    f.window().release(h.x, h.y, kLButton);
}

TEST(GraphMouse, ControlClickBypassesAndAltControlSwitchesOff) {
    MouseFixture f;
    f.band(0, 1, 1000.0, 6.0, 1.0);
    const CPoint h = f.handle(0);
    f.window().press(h.x, h.y, kLButton | kControl);
    f.window().release(h.x, h.y, kLButton | kControl);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 1.0);
    f.window().press(h.x, h.y, kLButton | kControl | kAlt);
    f.window().release(h.x, h.y, kLButton | kControl | kAlt);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 0.0);
    EXPECT_TRUE(f.editor->changesInsideEdits());
}

TEST(GraphMouse, RubberBandSelectsTheHandlesInside) {
    MouseFixture f;
    f.band(0, 1, 100.0, 3.0, 1.0);
    f.band(1, 1, 1000.0, 3.0, 1.0);
    f.band(2, 1, 10000.0, 3.0, 1.0);
    const CPoint a = f.handle(0), b = f.handle(1);
    f.window().press(a.x - 20, a.y - 30, kLButton);
    f.window().move(b.x + 20, b.y + 30);
    f.window().release(b.x + 20, b.y + 30, kLButton);
    EXPECT_EQ(f.graph->selection(), 0b011u);
    EXPECT_EQ(f.editor->lastValue(kGUISelectedBand + 1), 1.f);
    const CPoint c = f.handle(2);
    f.window().press(c.x - 10, c.y - 10, kLButton | kShift);  // shift adds
    f.window().move(c.x + 10, c.y + 10, kShift);
    f.window().release(c.x + 10, c.y + 10, kLButton | kShift);
    EXPECT_EQ(f.graph->selection(), 0b111u);
}

TEST(GraphMouse, WheelOnABandStepsByTheFormulaInOneEdit) {
    MouseFixture f;
    f.pref("Misc", "MouseWheel Sensitivity", 1);  // the editor gives the graph 1 as increment
    f.graph->setWheelInc(1.f);
    f.band(0, 1, 1000.0, 6.0, 1.0);
    const CPoint h = f.handle(0);
    const float q0 = f.plug->getParameter(bandParam(0, kBandQ));
    f.window().wheel(h.x, h.y, 1.f);
    f.window().wheel(h.x, h.y, 1.f);
    const double step = -1.5 / f.view().plotHeight;
    EXPECT_NEAR(f.plug->getParameter(bandParam(0, kBandQ)), q0 + 2.0 * step, 1e-5);
    EXPECT_EQ(f.editor->count('b', bandParam(0, kBandQ)), 1);  // one edit across the steps
    EXPECT_EQ(f.editor->count('e', bandParam(0, kBandQ)), 0);
    // Control: the gain, which ends the Q edit.
    const float g0 = f.plug->getParameter(bandParam(0, kBandGain));
    f.window().wheel(h.x, h.y, 1.f, kControl);
    EXPECT_EQ(f.editor->count('e', bandParam(0, kBandQ)), 1);
    EXPECT_NEAR(f.plug->getParameter(bandParam(0, kBandGain)), g0 + 1.5 / f.view().plotHeight, 1e-5);
}

TEST(GraphMouse, WheelElsewhereZoomsTowardThePointer) {
    MouseFixture f;
    const double before = f.view().fMax / f.view().fMin;
    f.window().wheel(450, 100, 2.f);
    EXPECT_LT(f.view().fMax / f.view().fMin, before);
    f.pref("Graph", "Mousewheel Zoom", 1);  // Disabled
    const double zoomed = f.view().fMax / f.view().fMin;
    f.window().wheel(450, 100, 2.f);
    EXPECT_EQ(f.view().fMax / f.view().fMin, zoomed);
}

}  // namespace
}  // namespace hm::gui

#include "gui/controls/MenuPopup.h"
#include "gui/views/GraphSubControls.h"

namespace hm::gui {
namespace {

struct PanelFixture : MouseFixture {
    PanelFixture() {
        band(0, 1, 1000.0, 6.0, 1.0);
        const CPoint h = handle(0);
        frame.click(h.x, h.y);  // selects the band; the panel shows it
        graph->compose();
    }
    CPoint centreOf(int area) {
        graph->compose();
        const CRect r = graph->panelAreas()[static_cast<std::size_t>(area)];
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    GraphSubControls* layer() {
        GraphSubControls* found = nullptr;
        frame.frame->forEachDescendant([&](CView* v) {
            if (!found) found = dynamic_cast<GraphSubControls*>(v);
        });
        return found;
    }
};

TEST(GraphPanel, AreasBypassAndSwitchOff) {
    PanelFixture f;
    ASSERT_FALSE(f.graph->panelAreas()[kAreaBypass].isEmpty());
    EXPECT_EQ(f.graph->tagUnderPoint(f.centreOf(kAreaQ)), bandParam(0, kBandQ));
    EXPECT_EQ(f.graph->tagUnderPoint(f.centreOf(kAreaFrequency)), bandParam(0, kBandFrequency));
    CPoint p = f.centreOf(kAreaBypass);
    f.frame.click(p.x, p.y);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 1.0);
    p = f.centreOf(kAreaOff);
    f.frame.click(p.x, p.y);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 0.0);
    EXPECT_TRUE(f.editor->changesInsideEdits());
}

TEST(GraphPanel, TypeMenuChoiceSetsTheType) {
    PanelFixture f;
    f.pref("Graph", "Tooltip type menu", 0);  // flat
    const CPoint p = f.centreOf(kAreaType);
    f.frame.click(p.x, p.y);
    ASSERT_EQ(f.window().openPopupCount(), 1);
    MenuPopup* popup = f.layer()->typeMenu()->getPopup();
    ASSERT_NE(popup, nullptr);
    const CRect item = popup->itemRect(0, 2);  // "Low Shelf"
    f.window().move((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    f.frame.click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    EXPECT_EQ(f.window().openPopupCount(), 0);
    EXPECT_EQ(f.real(bandParam(0, kBandType)), 3.0);
    EXPECT_TRUE(f.editor->changesInsideEdits());
}

TEST(GraphPanel, TypedValueSetsTheFrequency) {
    PanelFixture f;
    const CPoint p = f.centreOf(kAreaFrequency);
    f.frame.click(p.x, p.y);
    GraphValueField* field = f.layer()->valueField();
    ASSERT_TRUE(field->isEditing());
    for (int i = 0; i < 10; ++i) f.window().key({platform::Key::kBackspace, 0, 0});
    f.window().typeText("2k");
    f.window().key({platform::Key::kReturn, 0, 0});
    EXPECT_FALSE(field->isEditing());
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), 2000.0, 2.0);
    EXPECT_TRUE(f.layer()->isHidden());
}

TEST(GraphMouse, ButtonsChangedMidDragRestartFromWhereThePointerIs) {
    MouseFixture f;
    f.band(0, 1, 1000.0, 0.0, 1.0);
    const CPoint h = f.handle(0);
    f.window().press(h.x, h.y, kLButton);
    f.window().move(h.x + 50, h.y);
    const double coarse = f.real(bandParam(0, kBandFrequency));
    // Shift from here on: fine mode continues from this point, no jump back.
    f.window().move(h.x + 50, h.y, kShift);
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), coarse, coarse * 0.002);
    f.window().move(h.x + 150, h.y, kShift);
    f.window().release(h.x + 150, h.y, kLButton | kShift);
    const double expected = graph::frequencyOfX(f.view(), graph::xOfFrequency(f.view(), coarse) + 10.0);
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), expected, expected * 0.01);
    EXPECT_TRUE(f.editor->changesInsideEdits());
}

TEST(GraphMouse, StickySelectionEndsAControlClickAtTheBypass) {
    MouseFixture f;
    f.pref("Graph", "Sticky Selection", 1);
    f.band(0, 1, 1000.0, 3.0, 1.0);
    const CPoint h = f.handle(0);
    f.window().press(h.x, h.y, kLButton | kControl);
    f.window().move(h.x + 40, h.y - 40, kControl);
    f.window().release(h.x + 40, h.y - 40, kLButton | kControl);
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 1.0);
    EXPECT_EQ(f.editor->count('b', bandParam(0, kBandFrequency)), 0);  // no drag began
    EXPECT_NEAR(f.real(bandParam(0, kBandFrequency)), 1000.0, 1.0);
}

TEST(GraphMouse, WheelWithTheAlternateKeyListensToTheBand) {
    MouseFixture f;
    f.band(0, 1, 1000.0, 3.0, 1.0);
    const CPoint h = f.handle(0);
    f.window().wheel(h.x, h.y, 1.f, kAlt);
    EXPECT_EQ(f.plug->auditionedBand(), 0);
    // Leaving the graph ends the open wheel edit, and with it the listening.
    CPoint away(0, 0);
    f.graph->onMouseExited(away, 0);
    EXPECT_EQ(f.plug->auditionedBand(), -1);
    EXPECT_EQ(f.editor->count('e', bandParam(0, kBandQ)), 1);
}

}  // namespace
}  // namespace hm::gui

namespace hm::gui {
namespace {

// The band menu a right click on a handle opens by default: pick an item by its text.
void chooseFromBandMenu(PanelFixture& f, const char* text) {
    const CPoint h = f.handle(0);
    f.window().press(h.x, h.y, kRButton);
    f.window().release(h.x, h.y, kRButton);
    ASSERT_EQ(f.window().openPopupCount(), 1) << "a right click opens the band menu";
    GraphMenu* menu = f.layer()->bandMenu();
    MenuPopup* popup = menu->getPopup();
    ASSERT_NE(popup, nullptr);
    int index = -1;
    for (int i = 0; i < menu->getNbEntries(); ++i)
        if (menu->getEntry(i) && std::string(menu->getEntry(i)) == text) index = i;
    ASSERT_GE(index, 0) << text;
    const CRect item = popup->itemRect(0, index);
    f.window().move((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    f.frame.click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    EXPECT_EQ(f.window().openPopupCount(), 0);
}

TEST(GraphBandMenu, ARightClickOnAHandleOffersTheBandsCommands) {
    PanelFixture f;
    GraphMenu* menu = f.layer()->bandMenu();
    chooseFromBandMenu(f, "Bypass");
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 1.0);
    ASSERT_GE(menu->getNbEntries(), 4);
    EXPECT_STREQ(menu->getEntry(0), "Type");
    EXPECT_NE(menu->getSubMenu(0), nullptr);
    EXPECT_NEAR(f.real(bandParam(0, kBandGain)), 6.0, 1e-3) << "the click moved nothing";
    chooseFromBandMenu(f, "Bypass");
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 2.0);
    chooseFromBandMenu(f, "Delete");
    EXPECT_EQ(f.real(bandParam(0, kBandState)), 0.0);
    EXPECT_TRUE(f.editor->changesInsideEdits());
}

}  // namespace
}  // namespace hm::gui
