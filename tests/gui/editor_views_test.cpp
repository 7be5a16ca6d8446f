// What the editor does for views and with host input: band colours, modifier
// roles from the global preferences, the channel-count text, keys and the
// wheel as a host forwards them.
#include <cmath>

#include "gui/editor/BandColour.h"
#include "gui/editor/iControlWrapper.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "prefs/GlobalPreferences.h"
#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

TEST(BandColours, HueFollowsNumberOrFrequencyAndStartsAtViolet) {
    // Hue 0 (before the 270 degree turn) is violet-ish magenta-blue: 270 degrees.
    EXPECT_EQ(bandColour(BandColouring::ByNumber, 0, 1000.0, 48000.0), hueColour(270.0));
    EXPECT_EQ(hueColour(270.0), makeRgb(128, 0, 255));
    // Band 2 by number: 90 + 270 = 0 degrees, pure red.
    EXPECT_EQ(bandColour(BandColouring::ByNumber, 2, 1000.0, 48000.0), makeRgb(255, 0, 0));
    // By frequency: 10 Hz is the bottom of the scale, half the rate its top (a full turn).
    EXPECT_EQ(bandColour(BandColouring::ByFrequency, 5, 10.0, 48000.0), hueColour(270.0));
    EXPECT_EQ(bandColour(BandColouring::ByFrequency, 5, 24000.0, 48000.0), hueColour(270.0));
    // Halfway up in log frequency: 180 + 270 = 90 degrees, yellow-green.
    const double mid = 10.0 * std::sqrt(2400.0);
    EXPECT_EQ(bandColour(BandColouring::ByFrequency, 5, mid, 48000.0), hueColour(90.0));
    EXPECT_EQ(hueColour(90.0), makeRgb(128, 255, 0));
}

TEST(EditorViews, ModifierRolesFollowTheGlobalPreference) {
    prefs::setGlobalPreference("ProTools Opt/Shift", 1);
    {
        EditorRig rig;
        EXPECT_EQ(modifierRoles().actionModifier, kShift);
        EXPECT_EQ(modifierRoles().fineModifier, kControl);
        EXPECT_EQ(modifierRoles().resetModifier, kAlt);
        prefs::setGlobalPreference("ProTools Opt/Shift", 0);
        rig.change(kGUIPrefsChange, 1.f);
        EXPECT_EQ(modifierRoles().actionModifier, kAlt);
    }
    prefs::setGlobalPreference("ProTools Opt/Shift", 0);
}

TEST(EditorViews, ChannelCountTextHasTheNumberAndThePlural) {
    EditorRig stereo(2);
    EXPECT_EQ(stereo.editor->channelCountText(), "This instance has 2 channels.");
    EditorRig mono(1);
    EXPECT_EQ(mono.editor->channelCountText(), "This instance has 1 channel.");
    // One channel needs no stereo menu: page 0 of the surround group.
    EXPECT_EQ(mono.editor->shownValue(kGUISurround), 0.f);
    EXPECT_EQ(stereo.editor->shownValue(kGUISurround), 2.f);
}

TEST(EditorViews, HostKeysTypeIntoTheFocusedField) {
    EditorRig rig;
    rig.change(kGUISetup, 1.f);
    rig.editor->forceIdlePass();
    CControl* name = rig.editor->findControl(kGUIInstanceName);
    ASSERT_NE(name, nullptr);
    const CRect r = name->getFrameRect();
    rig.window()->press(r.left + 5, r.top + 5, kLButton | kDoubleClick);
    rig.window()->release(r.left + 5, r.top + 5, kLButton);
    ASSERT_NE(rig.editor->getFrame()->getFocusView(), nullptr);
    // The host forwards keys through the dispatcher: select all by deleting, type, return.
    for (int i = 0; i < 40; ++i) rig.plug->dispatcher(vst::effEditKeyDown, 0, vst::VKEY_BACK, nullptr, 0.f);
    for (char c : std::string("Vox")) rig.plug->dispatcher(vst::effEditKeyDown, c, 0, nullptr, 0.f);
    EXPECT_EQ(rig.plug->dispatcher(vst::effEditKeyDown, 0, vst::VKEY_RETURN, nullptr, 0.f), 1);
    EXPECT_STREQ(rig.plug->instanceName(), "Vox");
    // Without a focused field the host keeps its keys.
    EXPECT_EQ(rig.plug->dispatcher(vst::effEditKeyDown, 'a', 0, nullptr, 0.f), 0);
}

TEST(EditorViews, HostWheelMovesTheControlUnderThePointer) {
    EditorRig rig;
    rig.change(kGUIOpenScaleTray, 1.f);
    for (int i = 0; i < 10; ++i) rig.editor->forceIdlePass();
    CControl* shift = rig.editor->findControl(kFShift);
    ASSERT_NE(shift, nullptr);
    const CRect r = shift->getFrameRect();
    rig.window()->move((r.left + r.right) / 2, (r.top + r.bottom) / 2, 0);
    const float before = rig.value(kFShift);
    const vst::VstIntPtr used = rig.plug->dispatcher(vst::effVendorSpecific, vst::fourCC('s', 't', 'C', 'A'),
                                                     vst::fourCC('W', 'h', 'e', 'e'), nullptr, 2.f);
    EXPECT_EQ(used, 1);
    EXPECT_GT(rig.value(kFShift), before);
    // Over empty space the wheel is not used.
    rig.window()->move(rig.window()->width() - 5, rig.window()->height() - 5, 0);
    const float after = rig.value(kFShift);
    rig.plug->dispatcher(vst::effVendorSpecific, vst::fourCC('s', 't', 'C', 'a'), vst::fourCC('W', 'h', 'e', 'e'),
                         nullptr, 2.f);
    EXPECT_EQ(rig.value(kFShift), after);
}

TEST(EditorViews, ClosedEditorAnswersEverythingHarmlessly) {
    EditorRig rig(2, false);
    EXPECT_FALSE(rig.editor->isOpen());
    rig.plug->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.f);
    EXPECT_EQ(rig.plug->dispatcher(vst::effEditKeyDown, 'a', 0, nullptr, 0.f), 0);
    EXPECT_EQ(rig.plug->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.f), 0);
    rig.plug->setParameter(bandParam(0, kBandGain), 0.7f);  // stored for the next opening
    ASSERT_TRUE(rig.editor->openHeadless());
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->shownValue(bandParam(0, kBandGain)), 0.7f);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(EditorViews, SizeBeforeOpeningIsTheSizeItOpensWith) {
    EditorRig rig(2, false);
    rig.plug->editorPreferenceTree().setUIPreference("Layout", "UI Size", 0);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(rig.plug->dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.f), 1);
    ASSERT_NE(rect, nullptr);
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    EXPECT_EQ(width, 555);
    ASSERT_TRUE(rig.editor->openHeadless());
    EXPECT_EQ(rig.window()->width(), width);
    EXPECT_EQ(rig.window()->height(), height);
}

TEST(EditorViews, ClickHandlerSeesTheTagUnderThePointerFirst) {
    EditorRig rig;
    CControl* bypass = rig.editor->findControl(kBypass);
    ASSERT_NE(bypass, nullptr);
    const CRect r = bypass->getFrameRect();
    int seenTag = -1;
    rig.editor->setClickHandler([&](int, int tag) {
        seenTag = tag;
        return true;  // swallowed
    });
    rig.window()->press(r.left + 3, r.top + 3, kLButton);
    rig.window()->release(r.left + 3, r.top + 3, kLButton);
    EXPECT_EQ(seenTag, kBypass);
    EXPECT_EQ(rig.value(kBypass), 0.f);
    rig.editor->setClickHandler(nullptr);
    rig.window()->press(r.left + 3, r.top + 3, kLButton);
    rig.window()->release(r.left + 3, r.top + 3, kLButton);
    EXPECT_EQ(rig.value(kBypass), 1.f);
}

}  // namespace
}  // namespace hm::gui::test
