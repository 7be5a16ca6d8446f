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

TEST_F(LinkedBands, GainMovesOthersByTheSameDecibelsAndNeverAcrossZero) {
    rig.change(g(0), rig.normalised(g(0), -3.0));
    rig.change(g(1), rig.normalised(g(1), 7.6));
    rig.change(g(2), rig.normalised(g(2), 1.0));
    select({0, 1, 2});

    // From -3 to +0.6 dB: the others go up by 3.6 dB (a ratio would have
    // turned +7.6 dB into -1.52 dB).
    rig.drag(g(0), {rig.normalised(g(0), -1.0), rig.normalised(g(0), 0.6)});
    EXPECT_NEAR(rig.real(g(1)), 11.2, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 4.6, 2e-3);

    // Down by 6 dB and back within one gesture: band 2 stops at 0 dB rather
    // than cross it, and comes back to where it was, as the offset counts from
    // where the gesture began.
    auto* gain = new CControl(CRect(0, 0, 10, 10), rig.editor, g(0));
    gain->beginEdit();
    gain->setValue(rig.normalised(g(0), -5.4));
    rig.editor->valueChanged(gain);
    EXPECT_NEAR(rig.real(g(1)), 5.2, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 0.0, 2e-3);
    gain->setValue(rig.normalised(g(0), 0.6));
    rig.editor->valueChanged(gain);
    gain->endEdit();
    gain->release();
    EXPECT_NEAR(rig.real(g(1)), 11.2, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 4.6, 2e-3);
    // A cut takes every boosted band down to 0 dB at most.
    rig.drag(g(0), {rig.normalised(g(0), -15.0)});
    EXPECT_NEAR(rig.real(g(1)), 0.0, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 0.0, 2e-3);
}

TEST_F(LinkedBands, AStripPressSelectsItsBandAloneUnlessItIsInTheSelection) {
    rig.change(g(1), rig.normalised(g(1), 7.6));
    rig.change(g(2), rig.normalised(g(2), 2.0));
    select({1, 2});
    // Band 0's own control: band 0 becomes the selection; the others stay put.
    rig.change(kGUIBandPressed, 0.f);
    EXPECT_EQ(rig.editor->selectedBands(), 0b001u);
    rig.drag(g(0), {rig.normalised(g(0), 1.8)});
    EXPECT_NEAR(rig.real(g(1)), 7.6, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 2.0, 2e-3);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->shownValue(kGUISelectedBand + 0), 1.f);
    EXPECT_EQ(rig.editor->shownValue(kGUISelectedBand + 1), 0.f);

    // A press on a band of the selection keeps it: the edit carries over, as shown.
    select({1});
    rig.change(kGUIBandPressed, 1.f);
    EXPECT_EQ(rig.editor->selectedBands(), 0b011u);
    rig.drag(g(1), {rig.normalised(g(1), 8.6)});
    EXPECT_NEAR(rig.real(g(0)), 2.8, 2e-3);
}

TEST_F(LinkedBands, ABandOutsideTheSelectionEditsOnlyItself) {
    rig.change(bandParam(3, kBandState), rig.normalised(bandParam(3, kBandState), kOn));
    rig.change(g(1), rig.normalised(g(1), 7.6));
    select({1, 2});
    rig.drag(g(3), {rig.normalised(g(3), 1.8)});
    rig.change(bandParam(3, kBandState), rig.normalised(bandParam(3, kBandState), 1));  // bypass band 3
    EXPECT_NEAR(rig.real(g(1)), 7.6, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 0.0, 2e-3);
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(1, kBandState)), kOn);
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(2, kBandState)), kOn);
}

TEST_F(LinkedBands, OneLinkedGestureIsOneUndoStep) {
    rig.change(g(1), rig.normalised(g(1), 2.0));
    select({0, 1, 2});
    rig.plug->clearUndo();
    rig.drag(g(0), {rig.normalised(g(0), 1.0), rig.normalised(g(0), 3.0)});
    rig.drag(f(0), {0.4f});
    ASSERT_NEAR(rig.real(g(2)), 3.0, 2e-3);

    ASSERT_TRUE(rig.plug->undo());  // the frequency drag, all three bands
    EXPECT_NEAR(rig.real(g(2)), 3.0, 2e-3);
    ASSERT_TRUE(rig.plug->undo());  // the gain drag, all three bands
    EXPECT_NEAR(rig.real(g(0)), 0.0, 2e-3);
    EXPECT_NEAR(rig.real(g(1)), 2.0, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 0.0, 2e-3);
    EXPECT_FALSE(rig.plug->canUndo());
    ASSERT_TRUE(rig.plug->redo());
    EXPECT_NEAR(rig.real(g(0)), 3.0, 2e-3);
    EXPECT_NEAR(rig.real(g(1)), 5.0, 2e-3);
    EXPECT_NEAR(rig.real(g(2)), 3.0, 2e-3);
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

TEST_F(LinkedBands, GesturesReachTheHostOnlyWithTheirChanges) {
    rig.change(f(0), 0.3f);
    rig.change(g(0), rig.normalised(g(0), 2.0));
    rig.clearCalls();
    // A click that changes nothing: no gesture at all.
    rig.drag(f(0), {});
    rig.drag(g(0), {rig.value(g(0))});
    EXPECT_TRUE(rig.calls().empty());
    // A drag that changes only the gain writes no frequency.
    auto* freq = new CControl(CRect(0, 0, 10, 10), rig.editor, f(0));
    auto* gain = new CControl(CRect(0, 0, 10, 10), rig.editor, g(0));
    freq->beginEdit();
    gain->beginEdit();
    for (double db : {3.0, 4.0, 5.0}) {
        freq->setValue(0.3f);
        rig.editor->valueChanged(freq);
        gain->setValue(rig.normalised(g(0), db));
        rig.editor->valueChanged(gain);
    }
    freq->endEdit();
    gain->endEdit();
    freq->release();
    gain->release();
    EXPECT_EQ(rig.countCalls(vst::audioMasterAutomate, f(0)), 0);
    EXPECT_EQ(rig.countCalls(vst::audioMasterBeginEdit, f(0)), 0);
    EXPECT_EQ(rig.countCalls(vst::audioMasterAutomate, g(0)), 3);
    EXPECT_EQ(rig.countCalls(vst::audioMasterBeginEdit, g(0)), 1);
    EXPECT_EQ(rig.countCalls(vst::audioMasterEndEdit, g(0)), 1);
}

TEST_F(LinkedBands, ClosingTheWindowMidDragEndsItsGestures) {
    select({0, 1});
    rig.clearCalls();
    auto* gain = new CControl(CRect(0, 0, 10, 10), rig.editor, g(0));
    gain->beginEdit();
    gain->setValue(rig.normalised(g(0), 4.0));
    rig.editor->valueChanged(gain);
    rig.editor->close();
    for (int b : {0, 1}) {
        EXPECT_EQ(rig.countCalls(vst::audioMasterBeginEdit, g(b)), 1) << b;
        EXPECT_EQ(rig.countCalls(vst::audioMasterEndEdit, g(b)), 1) << b;
    }
    // The undo step closed with it: the next edit is a step of its own.
    rig.plug->clearUndo();
    rig.change(f(0), 0.2f);
    rig.change(f(1), 0.7f);
    ASSERT_TRUE(rig.plug->undo());
    EXPECT_FLOAT_EQ(rig.value(f(0)), 0.2f);
    gain->release();
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

TEST(LinkedChannels, AFaderDragOfALinkedPairIsOneGestureOfEach) {
    EditorRig rig;
    const int level0 = channelParam(0, kChannelLevel), level1 = channelParam(1, kChannelLevel);
    rig.change(kGUIChannel12Link, 1.f);
    rig.editor->forceIdlePass();
    rig.plug->clearUndo();
    rig.clearCalls();
    rig.drag(level0, {0.45f, 0.5f, 0.55f, 0.6f});
    for (int level : {level0, level1}) {
        EXPECT_EQ(rig.countCalls(vst::audioMasterBeginEdit, level), 1) << level;
        EXPECT_EQ(rig.countCalls(vst::audioMasterAutomate, level), 4) << level;
        EXPECT_EQ(rig.countCalls(vst::audioMasterEndEdit, level), 1) << level;
    }
    // And one step of the undo list.
    const float partner = rig.value(level1);
    ASSERT_TRUE(rig.plug->undo());
    EXPECT_NE(rig.value(level1), partner);
    EXPECT_FALSE(rig.plug->canUndo());
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(DeleteKey, DeletesTheSelectedBandsInOneUndoStep) {
    EditorRig rig;
    for (int b = 0; b < 3; ++b) rig.change(bandParam(b, kBandState), rig.normalised(bandParam(b, kBandState), kOn));
    rig.plug->clearUndo();
    platform::KeyEvent del;
    del.key = platform::Key::kDelete;
    rig.window()->key(del);  // nothing selected: nothing goes
    for (int b = 0; b < 3; ++b) EXPECT_EQ(rig.plug->getParameterReal(bandParam(b, kBandState)), kOn) << b;

    rig.change(kGUISelectedBand + 0, 1.f);
    rig.change(kGUISelectedBand + 2, 1.f);
    platform::KeyEvent back;
    back.key = platform::Key::kBackspace;
    rig.window()->key(back);
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(0, kBandState)), 0.0);
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(1, kBandState)), kOn);
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(2, kBandState)), 0.0);
    EXPECT_EQ(rig.editor->selectedBands(), 0u);

    ASSERT_TRUE(rig.plug->undo());
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(0, kBandState)), kOn);
    EXPECT_EQ(rig.plug->getParameterReal(bandParam(2, kBandState)), kOn);
    EXPECT_FALSE(rig.plug->canUndo());
}

}  // namespace
}  // namespace hm::gui::test
