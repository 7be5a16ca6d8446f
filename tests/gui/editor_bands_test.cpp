// Linked editing: a change to one selected band carries over to the other
// selected bands, by the rule of each band setting; linked channel pairs.
#include <cmath>

#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

constexpr int kOn = 2;  // band "State" real value of an active band

class LinkedBands : public ::testing::Test {
protected:
    void SetUp() override {
        for (int b = 0; b < 3; ++b) rig.change(bandParam(b, kBandState), rig.normalised(bandParam(b, kBandState), kOn));
    }
    void select(std::initializer_list<int> bands) {
        for (int b : bands) rig.change(kGUISelectedBand + b, 1.f);
    }
    int f(int band) const { return bandParam(band, kBandFrequency); }
    int g(int band) const { return bandParam(band, kBandGain); }

    EditorRig rig;
};

TEST_F(LinkedBands, FrequencyMovesOthersByTheSameDistanceFromTheLastEditsEnd) {
    rig.change(f(0), 0.30f);
    rig.change(f(1), 0.50f);
    rig.change(f(2), 0.95f);
    select({0, 1, 2});
    ASSERT_EQ(rig.editor->selectedBands(), 0b111u);

    rig.drag(f(0), {0.35f, 0.40f});
    EXPECT_FLOAT_EQ(rig.value(f(1)), 0.60f);
    EXPECT_FLOAT_EQ(rig.value(f(2)), 1.0f);  // clamped at the top of the range

    // The next drag measures from where the bands were when this one ended,
    // so the clamped band does not spring back to where it started.
    rig.drag(f(0), {0.30f});
    EXPECT_FLOAT_EQ(rig.value(f(1)), 0.50f);
    EXPECT_NEAR(rig.value(f(2)), 0.90f, 1e-6);
}

TEST_F(LinkedBands, GainScalesOthersByTheRatioOrAddsTheStepFromZero) {
    rig.change(g(0), rig.normalised(g(0), 6.0));
    rig.change(g(1), rig.normalised(g(1), 3.0));
    rig.change(g(2), rig.normalised(g(2), -2.0));
    select({0, 1, 2});

    rig.drag(g(0), {rig.normalised(g(0), 12.0)});
    EXPECT_NEAR(rig.real(g(1)), 6.0, 1e-3);
    EXPECT_NEAR(rig.real(g(2)), -4.0, 1e-3);

    // Down to 0 dB: a ratio of 0 takes the others to 0 as well.
    rig.drag(g(0), {rig.normalised(g(0), 0.0)});
    EXPECT_NEAR(rig.real(g(1)), 0.0, 1e-3);
    // From 0 dB there is no ratio: the others move by the same step.
    rig.drag(g(0), {rig.normalised(g(0), 4.0)});
    EXPECT_NEAR(rig.real(g(1)), 4.0, 1e-3);
    EXPECT_NEAR(rig.real(g(2)), 4.0, 1e-3);
}

TEST_F(LinkedBands, QAndShiftMoveByTheSameNormalisedStepClamped) {
    const int q0 = bandParam(0, kBandQ), q1 = bandParam(1, kBandQ), q2 = bandParam(2, kBandQ);
    rig.change(q0, 0.5f);
    rig.change(q1, 0.2f);
    rig.change(q2, 0.95f);
    select({0, 1, 2});
    rig.drag(q0, {0.6f});
    EXPECT_NEAR(rig.value(q1), 0.3f, 1e-6);
    EXPECT_FLOAT_EQ(rig.value(q2), 1.0f);
}

TEST_F(LinkedBands, SubtypeGoesOnlyToBandsOfTheSameType) {
    const int type2 = bandParam(2, kBandType);
    rig.change(type2, rig.normalised(type2, 4.0));  // high shelf; bands 0 and 1 stay peaks
    select({0, 1, 2});
    const int sub0 = bandParam(0, kBandSubtype), sub1 = bandParam(1, kBandSubtype), sub2 = bandParam(2, kBandSubtype);
    const double before2 = rig.plug->getParameterReal(sub2);
    rig.change(sub0, rig.normalised(sub0, 4.0));
    EXPECT_EQ(rig.plug->getParameterReal(sub0), 4.0);
    EXPECT_EQ(rig.plug->getParameterReal(sub1), 4.0);
    EXPECT_EQ(rig.plug->getParameterReal(sub2), before2);
}

TEST_F(LinkedBands, TypeChangeResetsThisBandsSubtypeOnly) {
    const int sub0 = bandParam(0, kBandSubtype), sub1 = bandParam(1, kBandSubtype);
    rig.change(sub0, rig.normalised(sub0, 3.0));
    rig.change(sub1, rig.normalised(sub1, 3.0));
    select({0, 1});
    rig.change(bandParam(0, kBandType), rig.normalised(bandParam(0, kBandType), 5.0));
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(0, kBandType)), 5.0);
    EXPECT_EQ(rig.plug->getParameterReal(sub0), 1.0);
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(1, kBandType)), 1.0);  // types are not linked
    EXPECT_EQ(rig.plug->getParameterReal(sub1), 3.0);
}

TEST_F(LinkedBands, SwitchingOffTakesTheOthersOffAndOutOfTheSelection) {
    rig.change(bandParam(3, kBandState), rig.normalised(bandParam(3, kBandState), kOn));
    select({0, 1, 2});
    rig.change(bandParam(0, kBandState), 0.f);
    for (int b : {0, 1, 2}) EXPECT_EQ(rig.plug->getParameterReal(bandParam(b, kBandState)), 0.0) << b;
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(3, kBandState)), kOn);  // not selected: untouched
    EXPECT_EQ(rig.editor->selectedBands() & 0b110u, 0u);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->shownValue(kGUISelectedBand + 1), 0.f);
    EXPECT_EQ(rig.editor->shownValue(kGUISelectedBand + 2), 0.f);
}

TEST_F(LinkedBands, EditsOfABandThatIsOffStayWithIt) {
    rig.change(f(1), 0.5f);
    select({0, 1});
    rig.change(bandParam(0, kBandState), 0.f);  // also deselects band 1 and switches it off
    rig.change(bandParam(1, kBandState), rig.normalised(bandParam(1, kBandState), kOn));
    select({0, 1});
    rig.drag(f(0), {0.1f});
    EXPECT_FLOAT_EQ(rig.value(f(1)), 0.5f);
}

TEST_F(LinkedBands, LinkedGesturesOpenAndCloseAnEditForEveryBand) {
    select({0, 1, 2});
    rig.clearCalls();
    rig.drag(g(0), {rig.normalised(g(0), 3.0)});
    for (int b : {0, 1, 2}) {
        EXPECT_EQ(rig.countCalls(vst::audioMasterBeginEdit, g(b)), 1) << b;
        EXPECT_EQ(rig.countCalls(vst::audioMasterEndEdit, g(b)), 1) << b;
    }
}

TEST_F(LinkedBands, ExplicitSelectionSurvivesLeavingTheControls) {
    rig.change(kGUISelectOnly, 1.f);
    EXPECT_EQ(rig.editor->selectedBands(), 0b10u);
    rig.change(kGUISelectedBand + 2, 1.f);  // hovering band 2 adds it
    rig.change(kGUISelectedBand + 2, 0.f);  // and leaving removes it
    rig.change(kGUISelectedBand + 1, 0.f);  // band 1 was chosen: it stays
    EXPECT_EQ(rig.editor->selectedBands(), 0b10u);
    rig.change(kGUISelectToggle, 1.f);
    EXPECT_EQ(rig.editor->selectedBands(), 0u);
}

TEST(LinkedChannels, PairFollowsWhileTheLinkIsOn) {
    EditorRig rig;
    const int level0 = channelParam(0, kChannelLevel), level1 = channelParam(1, kChannelLevel);
    rig.change(level1, 0.3f);
    rig.change(level0, 0.4f);
    EXPECT_FLOAT_EQ(rig.value(level1), 0.3f);  // not linked yet

    rig.change(kGUIChannel12Link, 1.f);
    rig.editor->forceIdlePass();
    rig.change(level0, 0.5f);
    EXPECT_NEAR(rig.value(level1), 0.4f, 1e-6);
    rig.change(channelParam(0, kChannelMute), 1.f);
    EXPECT_EQ(rig.value(channelParam(1, kChannelMute)), 1.f);
    // The other pair is not linked.
    rig.change(channelParam(2, kChannelMute), 1.f);
    EXPECT_EQ(rig.value(channelParam(3, kChannelMute)), 0.f);
}

}  // namespace
}  // namespace hm::gui::test
