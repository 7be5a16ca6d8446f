// The instance's parameter behaviour: adjustments, gestures and undo entries, A/B switching.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "core/Plug.h"
#include "core/params/HostText.h"
#include "tests/core/FakeHost.h"

namespace hm {
namespace {

using test::countFakeHost;

std::unique_ptr<Plug> makePlug() { return std::make_unique<Plug>(&test::fakeHost); }

// The editor's text of a parameter's current value (with its unit).
std::string displayOf(Plug& plug, int index) {
    char text[64] = {};
    plug.formatParameter(index, text, 0);
    return text;
}

// What a host shows: the display text and the label beside it.
std::string hostTextOf(Plug& plug, int index) {
    char display[64] = {}, label[64] = {};
    plug.getParameterDisplay(index, display);
    plug.getParameterLabel(index, label);
    return std::string(display) + "|" + label;
}

TEST(PlugParams, BandGainFollowsTheScale) {
    auto plug = makePlug();
    const int gain = bandParam(0, kBandGain);
    plug->setParameter(gain, 0.75f);  // base 0.5 of the 18 dB scale
    EXPECT_NEAR(plug->normalisedToReal(gain, 0.75), 9.0, 1e-5);
    EXPECT_EQ(displayOf(*plug, gain), "9.00 dB");
    EXPECT_EQ(hostTextOf(*plug, gain), "9.00|dB");
    EXPECT_NEAR(plug->realToNormalised(gain, 9.0), 0.75, 1e-6);
    plug->setParameter(kScale, 0.5f);  // scale 0 dB: every gain reads back as normalised 0
    EXPECT_EQ(plug->realToNormalised(gain, 6.0), 0.0);
}

// A band's Groups read as the instance names its groups: the first pair's
// channels in stereo (as MS State has them), "Mono" alone, numbers with more.
TEST(PlugParams, HostTextsNameGroupsAsTheChannelLayoutDoes) {
    const int groups = bandParam(3, kBandGroups);
    const auto named = [&](int mask, bool midSide, int channels) {
        HostTextContext context;
        context.firstPairMidSide = midSide;
        context.channels = channels;
        return hostChoiceName(groups, mask, context);
    };
    EXPECT_EQ(named(128, false, 2), "Left");
    EXPECT_EQ(named(64, true, 2), "Side");
    EXPECT_EQ(named(192, true, 2), "Mid+Side");
    EXPECT_EQ(named(128, false, 1), "Mono");
    EXPECT_EQ(named(128, false, 8), "Group 1");
    EXPECT_EQ(named(128 | 32 | 1, true, 8), "Groups 1, 3, 8");
    EXPECT_EQ(named(255, false, 8), "All");
    EXPECT_EQ(named(0, true, 1), "None");
}

TEST(PlugParams, BandFrequencyFollowsTheGlobalShift) {
    auto plug = makePlug();
    const int freq = bandParam(4, kBandFrequency);
    const float x = static_cast<float>(plug->PlugBase::realToNormalised(freq, 15000.0));
    plug->setParameter(freq, x);
    plug->setParameter(kFShift, 1.0f);  // 200 %
    EXPECT_EQ(displayOf(*plug, freq), "30000 Hz");
    EXPECT_EQ(hostTextOf(*plug, freq), "30000|Hz");
    EXPECT_NEAR(plug->realToNormalised(freq, 30000.0), x, 1e-6);
    // The stored real value stays the base conversion.
    EXPECT_NEAR(plug->getParameterReal(freq), 15000.0, 0.05);
}

TEST(PlugParams, GestureThatChangesNothingLeavesNoUndoEntry) {
    auto plug = makePlug();
    const int q = bandParam(1, kBandQ);
    test::clearFakeHost();
    EXPECT_FALSE(plug->canUndo());
    plug->beginEdit(q);
    plug->setParameterAutomated(q, plug->getParameter(q));
    plug->endEdit(q);
    EXPECT_FALSE(plug->canUndo());
    EXPECT_EQ(countFakeHost(vst::audioMasterBeginEdit, q), 1);
    EXPECT_EQ(countFakeHost(vst::audioMasterEndEdit, q), 1);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate, q), 1);

    const float start = plug->getParameter(q);
    plug->setParameterAutomated(q, 0.9f);  // opens its own gesture
    EXPECT_EQ(countFakeHost(vst::audioMasterBeginEdit, q), 2);
    plug->endEdit(q);
    ASSERT_TRUE(plug->canUndo());
    ASSERT_EQ(plug->undoEntries().size(), 1u);
    EXPECT_EQ(plug->undoEntries()[0].index, q);
    EXPECT_EQ(plug->undoEntries()[0].value, start);

    EXPECT_TRUE(plug->undo());
    EXPECT_EQ(plug->getParameter(q), start);
    EXPECT_TRUE(plug->canRedo());
    EXPECT_TRUE(plug->redo());
    EXPECT_EQ(plug->getParameter(q), 0.9f);
}

TEST(PlugParams, GesturesInsideOneUndoStepAreUndoneAndRedoneTogether) {
    auto plug = makePlug();
    const int a = bandParam(1, kBandQ), b = bandParam(2, kBandQ), c = bandParam(3, kBandQ), d = bandParam(4, kBandQ);
    const float a0 = plug->getParameter(a), b0 = plug->getParameter(b), c0 = plug->getParameter(c);
    const auto gesture = [&](int index, float value) {
        plug->beginEdit(index);
        plug->setParameterAutomated(index, value);
        plug->endEdit(index);
    };
    gesture(a, 0.1f);  // a step of its own
    plug->beginUndoStep();
    gesture(d, plug->getParameter(d));  // changes nothing: leaves no entry and does not head the step
    plug->beginUndoStep();              // nested: still the same step
    gesture(b, 0.2f);
    plug->endUndoStep();
    gesture(c, 0.3f);
    plug->endUndoStep();
    gesture(a, 0.4f);  // after the step: a step of its own again

    ASSERT_TRUE(plug->undo());
    EXPECT_EQ(plug->getParameter(a), 0.1f);
    EXPECT_EQ(plug->getParameter(c), 0.3f);
    ASSERT_TRUE(plug->undo());  // b and c together
    EXPECT_EQ(plug->getParameter(b), b0);
    EXPECT_EQ(plug->getParameter(c), c0);
    EXPECT_EQ(plug->getParameter(a), 0.1f);
    ASSERT_TRUE(plug->undo());
    EXPECT_EQ(plug->getParameter(a), a0);
    EXPECT_FALSE(plug->canUndo());

    ASSERT_TRUE(plug->redo());
    EXPECT_EQ(plug->getParameter(a), 0.1f);
    EXPECT_EQ(plug->getParameter(b), b0);
    ASSERT_TRUE(plug->redo());  // b and c together again
    EXPECT_EQ(plug->getParameter(b), 0.2f);
    EXPECT_EQ(plug->getParameter(c), 0.3f);
    EXPECT_EQ(plug->getParameter(a), 0.1f);
}

TEST(PlugParams, SecondBeginEditOnAnOpenGestureIsRefused) {
    auto plug = makePlug();
    EXPECT_FALSE(plug->beginEdit(400));
    plug->beginEdit(kGain);
    EXPECT_FALSE(plug->beginEdit(kGain));
    plug->setParameter(kGain, 0.6f);
    plug->endEdit(kGain);
    EXPECT_EQ(plug->undoEntries().size(), 1u);
    EXPECT_FALSE(plug->endEdit(kGain));  // no gesture open any more
}

TEST(PlugParams, AutoListenAuditionsTheDraggedBandUntilTheGestureEnds) {
    auto plug = makePlug();
    const int freq = bandParam(6, kBandFrequency), gain = bandParam(6, kBandGain);
    plug->beginEdit(freq);
    EXPECT_FALSE(plug->isAuditioning());  // not armed
    plug->endEdit(freq);
    EXPECT_TRUE(plug->armAutoListen(true));
    plug->beginEdit(gain);
    EXPECT_FALSE(plug->isAuditioning());  // gain drags are not auditioned
    plug->endEdit(gain);
    plug->beginEdit(freq);
    EXPECT_EQ(plug->auditionedBand(), 6);
    plug->endEdit(freq);
    EXPECT_FALSE(plug->isAuditioning());
}

TEST(PlugParams, ABParameterSwitchesSlotsAndWritesThrough) {
    auto plug = makePlug();
    plug->setParameter(kGain, 0.25f);  // into slot A and program 0
    plug->setParameter(kABBank, 3.0f / 8.0f);
    EXPECT_EQ(plug->getCurrentABSlot(), 3);
    EXPECT_EQ(plug->getParameter(kGain), 0.5f);  // slot D still holds the default
    plug->setParameter(kGain, 0.8f);
    EXPECT_EQ(plug->abSlot(3).get(kGain), 0.8f);
    EXPECT_EQ(plug->abSlot(0).get(kGain), 0.25f);
    plug->selectABSlot(0);
    EXPECT_EQ(plug->getParameter(kGain), 0.25f);
    plug->selectABSlot(9);  // ignored
    EXPECT_EQ(plug->getCurrentABSlot(), 0);
}

TEST(PlugParams, StepCountsAndSizes) {
    auto plug = makePlug();
    EXPECT_EQ(plug->getParameterStepCount(bandParam(0, kBandSlope)), 8);
    EXPECT_EQ(plug->getParameterStepSize(bandParam(0, kBandSlope)), 6);
    EXPECT_EQ(plug->getParameterStepCount(bandParam(0, kBandType)), 6);
    EXPECT_EQ(plug->getParameterStepCount(kBypass), 1);
    EXPECT_EQ(plug->getParameterStepCount(kGain), 0);
    EXPECT_EQ(plug->getParameterStepCount(500), 0);
    EXPECT_TRUE(plug->isParameterSwitch(channelParam(2, kChannelMute)));
    EXPECT_FALSE(plug->isParameterSwitch(kMode));
    EXPECT_EQ(plug->getParameterDefault(bandParam(0, kBandGroups)), 255.0f / 256.0f);
    EXPECT_EQ(plug->getParameterDefault(366), 0.0f);
}

TEST(PlugParams, InstancesAreNamedByRegistryPosition) {
    auto a = makePlug();
    auto b = makePlug();
    EXPECT_NE(a->instanceName(), b->instanceName());
    EXPECT_EQ(b->instanceName().rfind("EQ: ", 0), 0u);
}

}  // namespace
}  // namespace hm
