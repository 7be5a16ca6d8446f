// The editor's own commands: A/B toggling, Scale and Shift with the action
// modifier, kick buttons that act on press only, coalesced distribution.
#include <cmath>

#include "gui/controls/COptionMenu.h"
#include "gui/editor/iControlWrapper.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/MenuViews.h"
#include "prefs/GlobalPreferences.h"
#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

class ABToggle : public ::testing::Test {
protected:
    void SetUp() override {
        // A fresh settings folder has no values until the defaults are read in.
        prefs::loadGlobalSchemaFromResources();
        prefs::setGlobalPreference("A/B Toggle", 2);  // "Nonempty"
    }
    void TearDown() override { prefs::setGlobalPreference("A/B Toggle", 1); }
};

TEST_F(ABToggle, NonemptyStaysWhenEverySlotIsEmpty) {
    EditorRig rig;
    rig.plug->loadPreferences();
    rig.change(kGUIABMenu, 2.f);
    ASSERT_EQ(rig.plug->getCurrentABSlot(), 2);
    rig.change(kGUIABMenuAlt, 1.f);
    EXPECT_EQ(rig.plug->getCurrentABSlot(), 2);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->shownValue(kGUIABMenu), 2.f);
}

TEST_F(ABToggle, NonemptySkipsEmptySlots) {
    EditorRig rig;
    rig.plug->loadPreferences();
    rig.change(kGUIABMenu, 5.f);
    const int state = bandParam(4, kBandState);
    rig.change(state, rig.normalised(state, 2.0));
    rig.change(kGUIABMenu, 2.f);
    ASSERT_EQ(rig.plug->getParameterReal(state), 0.0);  // slot 2 has no band on
    rig.clearCalls();
    rig.change(kGUIABMenuAlt, 1.f);
    EXPECT_EQ(rig.plug->getCurrentABSlot(), 5);
    EXPECT_EQ(rig.plug->getParameterReal(state), 2.0);
    // Looking for the slot loads no other slot on the way: one load, a restore
    // the host hears of once, with the one parameter it changed.
    EXPECT_EQ(rig.countCalls(vst::audioMasterUpdateDisplay), 1);
    EXPECT_EQ(rig.countCalls(vst::audioMasterAutomate, state), 1);
    EXPECT_EQ(rig.countCalls(vst::audioMasterAutomate, bandParam(0, kBandGain)), 0);
}

TEST(EditorCommands, LinkedScaleRefusedWhenABandWouldLeaveTheRange) {
    EditorRig rig;
    const int gain = bandParam(0, kBandGain);
    rig.change(gain, rig.normalised(gain, 16.2));  // 0.9 of the default Scale of 18 dB
    const float scaleBefore = rig.value(kScale);
    const float gainBefore = rig.value(gain);
    rig.holdKeys(modifierRoles().actionModifier);
    // Scale 18 -> 12 dB would need a base gain of 1.35.
    rig.drag(kScale, {rig.normalised(kScale, 12.0)});
    EXPECT_EQ(rig.value(kScale), scaleBefore);
    EXPECT_EQ(rig.value(gain), gainBefore);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->shownValue(kScale), scaleBefore);
}

TEST(EditorCommands, LinkedScaleKeepsEveryRealGain) {
    EditorRig rig;
    const int g0 = bandParam(0, kBandGain), g1 = bandParam(1, kBandGain);
    rig.change(g0, rig.normalised(g0, 9.0));
    rig.change(g1, rig.normalised(g1, -4.5));
    rig.holdKeys(modifierRoles().actionModifier);
    rig.drag(kScale, {rig.normalised(kScale, 24.0)});
    EXPECT_NEAR(rig.real(kScale), 24.0, 1e-4);
    EXPECT_NEAR(rig.real(g0), 9.0, 1e-3);
    EXPECT_NEAR(rig.real(g1), -4.5, 1e-3);
    // Without the modifier the real gains follow the scale.
    rig.holdKeys(0);
    rig.drag(kScale, {rig.normalised(kScale, 12.0)});
    EXPECT_NEAR(rig.real(g0), 4.5, 1e-3);
}

TEST(EditorCommands, LinkedShiftKeepsEveryRealFrequency) {
    EditorRig rig;
    const int f0 = bandParam(0, kBandFrequency);
    rig.change(f0, rig.normalised(f0, 1000.0));
    rig.holdKeys(modifierRoles().actionModifier);
    rig.drag(kFShift, {rig.normalised(kFShift, 150.0)});
    EXPECT_NEAR(rig.real(kFShift), 150.0, 0.01);
    EXPECT_NEAR(rig.real(f0), 1000.0, 0.1);
}

TEST(EditorCommands, KickButtonsActOnPressOnly) {
    EditorRig rig;
    rig.change(kGUISetup, 1.f);
    EXPECT_TRUE(rig.editor->panelOpen(kGUISetup));
    rig.change(kGUISetup, 0.f);  // the release
    EXPECT_TRUE(rig.editor->panelOpen(kGUISetup));
    rig.change(kGUISetup, 1.f);
    EXPECT_FALSE(rig.editor->panelOpen(kGUISetup));

    rig.change(kGUIPresetPage, 1.f);
    rig.change(kGUIPresetPage, 0.f);
    EXPECT_TRUE(rig.editor->panelOpen(kGUIPresetPage));
}

TEST(EditorCommands, PresetBoxSlidesTenPixelsAPass) {
    EditorRig rig;
    auto* wrapper = dynamic_cast<iControlWrapper*>(rig.editor->findControl(kGUIPresetBox));
    ASSERT_NE(wrapper, nullptr);
    const CView* box = wrapper->pageView();
    const int closed = box->getViewSize().top;
    EXPECT_EQ(closed, -29);
    rig.change(kGUIPresetPage, 1.f);
    // From -29 to 25: five steps of 10 and one of 4.
    std::vector<int> tops;
    for (int pass = 0; pass < 8; ++pass) {
        rig.editor->forceIdlePass();
        tops.push_back(box->getViewSize().top);
    }
    EXPECT_EQ(tops, (std::vector<int>{-19, -9, 1, 11, 21, 25, 25, 25}));
    // Closing slides it back up the same way.
    rig.change(kGUIPresetPage, 1.f);
    rig.editor->forceIdlePass();
    EXPECT_EQ(box->getViewSize().top, 15);
}

TEST(EditorCommands, ScaleTrayStaysVerticallyCentredInTheGraph) {
    EditorRig rig;
    auto* wrapper = dynamic_cast<iControlWrapper*>(rig.editor->findControl(kGUIScaleTray));
    ASSERT_NE(wrapper, nullptr);
    const CView* tray = wrapper->pageView();
    rig.change(kGUIOpenScaleTray, 1.f);
    for (int pass = 0; pass < 10; ++pass) rig.editor->forceIdlePass();
    EXPECT_EQ(tray->getViewSize().left, 0);
    // Graph area (with the scroll bar) less 35 pixels, 25 down from the top.
    const int graph = rig.editor->currentWindowSize().graphHeight;
    EXPECT_EQ(tray->getViewSize().top, 25 + (graph - 35 - tray->getViewSize().height()) / 2);
}

TEST(EditorCommands, ManyValuesInOnePassDistributeOnlyTheLast) {
    EditorRig rig;
    const int index = bandParam(7, kBandQ);
    // Opening leaves values and a strip rebuild for the first passes.
    rig.editor->forceIdlePass();
    rig.editor->forceIdlePass();
    const long before = rig.editor->distributedCount(index);
    for (int i = 1; i <= 50; ++i) rig.plug->setParameter(index, i / 100.f);
    EXPECT_EQ(rig.editor->distributedCount(index), before);  // nothing until the idle pass
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->distributedCount(index), before + 1);
    EXPECT_EQ(rig.editor->shownValue(index), 0.5f);
}

TEST(EditorCommands, IdlePassesFollowTheRefreshRate) {
    static std::uint64_t now = 0;
    EditorRig rig;
    rig.editor->setClockForTesting([] { return now; });
    const int rate = rig.editor->refreshRate();
    ASSERT_GT(rate, 0);
    now = 1000000;
    rig.editor->idle();
    const int first = rig.editor->idlePasses();
    rig.editor->idle();  // same period: nothing
    EXPECT_EQ(rig.editor->idlePasses(), first);
    now += 1000 / rate + 1;
    rig.editor->idle();
    EXPECT_EQ(rig.editor->idlePasses(), first + 1);
}

TEST(EditorCommands, ParameterValuesFromAnyThreadOnlyMarkThem) {
    EditorRig rig;
    const int index = bandParam(2, kBandGain);
    rig.editor->forceIdlePass();
    std::thread audio([&] {
        for (int i = 0; i < 10000; ++i) rig.editor->setParameter(index, (i % 100) / 100.f);
        rig.editor->setParameter(index, 0.25f);
    });
    audio.join();
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->shownValue(index), 0.25f);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(EditorMenus, TheSlotAndPresetMenusTickTheItemInForce) {
    EditorRig rig;
    for (int p = 0; p < kNumPrograms; ++p) rig.plug->setProgramNameAt(p < 3 ? "Prog" : "-", p);
    rig.editor->close();
    ASSERT_TRUE(rig.editor->openHeadless());
    rig.change(kGUIABMenu, 2.f);
    rig.editor->forceIdlePass();
    auto* slots = rig.editor->findView<SOptionMenu>();
    ASSERT_NE(slots, nullptr);
    ASSERT_EQ(slots->getTag(), kGUIABMenu);
    ASSERT_TRUE(slots->openPopup(kLButton));
    for (int i = 0; i < slots->getNbEntries(); ++i) EXPECT_EQ(slots->isCheckEntry(i), i == 2) << i;
    slots->closePopup();

    COptionMenu* presets = rig.editor->presetMenu();
    ASSERT_NE(presets, nullptr);
    presets->popupChosen(presets, 1);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.plug->getProgram(), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(presets->isCheckEntry(i), i == 1) << i;
}

}  // namespace
}  // namespace hm::gui::test
