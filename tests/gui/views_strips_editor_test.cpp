// The band strips inside the editor: rebuilt in the idle pass (never while a
// button is held) when bands come and go, their order kept in the instance's
// store for the program, taken back with program and slot changes and saved
// with the session; rapid switching from automation leaves no stale strip.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "gui/framework/Modifiers.h"
#include "gui/views/bandStrips.h"
#include "gui/views/nStripBack.h"
#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

struct StripsInEditor {
    EditorRig rig;
    bandStrips* strips = nullptr;
    StripsInEditor() {
        if (rig.editor) strips = rig.editor->findView<bandStrips>();
    }
    // A band switched on from the host, at a frequency.
    void hostSwitchesOn(int band, double hz = 1000.0) {
        rig.plug->setParameterAutomated(bandParam(band, kBandFrequency),
                                        rig.normalised(bandParam(band, kBandFrequency), hz));
        rig.plug->setParameterAutomated(bandParam(band, kBandState), 1.f);
    }
    void passes(int n) {
        for (int i = 0; i < n; ++i) rig.editor->forceIdlePass();
    }
    std::vector<int> stored() const {
        const Program& p = rig.plug->program(rig.plug->getProgram());
        std::vector<int> order;
        for (int b : p.bandOrder)
            if (b >= 0) order.push_back(b);
        return order;
    }
};

TEST(StripsInEditorTest, HostSwitchingABandOnAddsItsStripAtTheIdlePass) {
    StripsInEditor s;
    ASSERT_NE(s.strips, nullptr) << "the shipped layout has band strips";
    s.passes(2);
    EXPECT_TRUE(s.strips->shownBands().empty());
    s.hostSwitchesOn(6);
    EXPECT_TRUE(s.strips->shownBands().empty()) << "nothing happens outside the idle pass";
    s.passes(2);  // the value is distributed, then the strips are rebuilt
    EXPECT_EQ(s.strips->shownBands(), std::vector<int>{6});
    ASSERT_NE(s.strips->stripBack(6), nullptr);
    EXPECT_EQ(s.stored(), std::vector<int>{6}) << "the order goes to the instance's store";
    // The new strip's controls are the editor's: a value from the host reaches them.
    s.rig.plug->setParameterAutomated(bandParam(6, kBandGain), 0.8f);
    s.passes(1);
    bool shown = false;
    s.rig.editor->forEachControl(bandParam(6, kBandGain), [&](CControl* c) { shown = c->getValue() == 0.8f; });
    EXPECT_TRUE(shown);
}

TEST(StripsInEditorTest, NoRebuildWhileAMouseButtonIsHeld) {
    StripsInEditor s;
    ASSERT_NE(s.strips, nullptr);
    s.hostSwitchesOn(2);
    s.passes(2);
    ASSERT_EQ(s.strips->shownBands(), std::vector<int>{2});
    CView* back = s.strips->stripBack(2);
    // Hold the left button on the bare strip area.
    const CRect r = s.strips->getFrameRect();
    s.rig.window()->press(r.right - 5, r.bottom - 20, kLButton);
    s.hostSwitchesOn(9);
    s.passes(3);
    EXPECT_EQ(s.strips->shownBands(), std::vector<int>{2}) << "the strips under the pointer stay";
    EXPECT_EQ(s.strips->stripBack(2), back);
    s.rig.window()->release(r.right - 5, r.bottom - 20, kLButton);
    s.passes(1);
    EXPECT_EQ(s.strips->shownBands(), (std::vector<int>{2, 9}));
}

TEST(StripsInEditorTest, OrderFollowsProgramsAndSlotsAndTheSession) {
    std::vector<unsigned char> chunk;
    {
        StripsInEditor s;
        ASSERT_NE(s.strips, nullptr);
        s.hostSwitchesOn(1, 2000.0);
        s.hostSwitchesOn(3, 100.0);
        s.passes(2);
        ASSERT_EQ(s.strips->shownBands(), (std::vector<int>{1, 3}));
        // The user re-sorts by frequency (the strips' command asks the editor for a rebuild).
        s.strips->requestResort();
        s.rig.change(kGUIPleaseRebuildStrips, 1.f);
        s.passes(1);
        ASSERT_EQ(s.strips->shownBands(), (std::vector<int>{3, 1}));
        EXPECT_EQ(s.stored(), (std::vector<int>{3, 1}));

        // Another program has its own order (none yet: band-number order).
        s.rig.plug->setProgram(1);
        s.hostSwitchesOn(7);
        s.hostSwitchesOn(4);
        s.passes(3);
        EXPECT_EQ(s.strips->shownBands(), (std::vector<int>{4, 7}));
        s.rig.plug->setProgram(0);
        s.passes(3);
        EXPECT_EQ(s.strips->shownBands(), (std::vector<int>{3, 1})) << "program 0's order comes back";

        // A slot with a band more: it joins the end; back on slot A it drops out.
        s.rig.plug->storeABSlot(1);
        s.rig.plug->chooseABSlot(1);
        s.hostSwitchesOn(0);
        s.passes(3);
        EXPECT_EQ(s.strips->shownBands(), (std::vector<int>{3, 1, 0}));
        s.rig.plug->chooseABSlot(0);
        s.passes(3);
        EXPECT_EQ(s.strips->shownBands(), (std::vector<int>{3, 1}));
        s.rig.plug->chooseABSlot(1);
        s.passes(3);
        EXPECT_EQ(s.strips->shownBands(), (std::vector<int>{3, 1, 0}));
        s.rig.plug->chooseABSlot(0);
        s.passes(3);

        void* data = nullptr;
        const auto bytes = s.rig.plug->getChunk(&data, false);
        ASSERT_GT(bytes, 0);
        chunk.assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + bytes);
    }
    // A new instance restores the session: the strips come back in the user's order.
    StripsInEditor again;
    ASSERT_NE(again.strips, nullptr);
    again.rig.plug->setChunk(chunk.data(), static_cast<vst::VstInt32>(chunk.size()), false);
    again.passes(3);
    EXPECT_EQ(again.strips->shownBands(), (std::vector<int>{3, 1}));
}

TEST(StripsInEditorTest, RapidSwitchingFromAutomationLeavesNoStaleStrip) {
    StripsInEditor s;
    ASSERT_NE(s.strips, nullptr);
    std::atomic<bool> done{false};
    std::atomic<int> passes{0};
    // The host's automation switches bands on, bypassed and off as fast as it can,
    // and goes on until the editor has rebuilt in the middle of it a few times.
    std::thread automation([&] {
        std::mt19937 random(7);
        for (int i = 0; i < 20000 || passes.load() < 3; ++i) {
            const int band = static_cast<int>(random() % 12);
            s.rig.plug->setParameter(bandParam(band, kBandState), static_cast<float>(random() % 3) / 3.f);
        }
        done = true;
    });
    while (!done) {
        s.rig.editor->forceIdlePass();
        ++passes;
    }
    automation.join();
    s.passes(2);
    std::vector<int> on;
    for (int b = 0; b < kNumBands; ++b)
        if (s.rig.plug->getParameterReal(bandParam(b, kBandState)) != 0.0) on.push_back(b);
    std::vector<int> shown = s.strips->shownBands();
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, on);
    for (int b : on) EXPECT_NE(s.strips->stripBack(b), nullptr);
    EXPECT_GE(passes.load(), 3);
}

}  // namespace
}  // namespace hm::gui::test
