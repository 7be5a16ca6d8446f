// The graph and the meters inside the real editor: edits on the graph reach
// the selected bands through the editor's linked editing, automation from the
// host moves a handle, the meters show the instance's levels, and the clip
// light shows the latch and clears it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gui/framework/Modifiers.h"
#include "gui/views/EQGraph.h"
#include "gui/views/nVU.h"
#include "tests/gui/editor_Rig.h"
#include "tests/gui/graph_Harness.h"

namespace hm::gui::test {
namespace {

template <class T>
T* findView(PlugEd* editor, int tag = -1) {
    T* found = nullptr;
    if (CFrame* frame = editor->getFrame())
        frame->forEachDescendant([&](CView* v) {
            auto* t = dynamic_cast<T*>(v);
            if (!found && t && (tag < 0 || t->getTag() == tag)) found = t;
        });
    return found;
}

void setBand(EditorRig& rig, int b, int type, double hz, double gain) {
    const auto set = [&](int field, double real) {
        rig.plug->setParameter(bandParam(b, field), rig.normalised(bandParam(b, field), real));
    };
    set(kBandGroups, 192);
    set(kBandType, type);
    set(kBandFrequency, hz);
    set(kBandGain, gain);
    set(kBandQ, 1.0);
    set(kBandState, 2);
}

struct GraphInEditor : EditorRig {
    EQGraph* graph = nullptr;
    GraphInEditor() {
        for (int b = 0; b < kNumBands; ++b) plug->setParameter(bandParam(b, kBandState), 0.f);
        editor->forceIdlePass();
        graph = findView<EQGraph>(editor);
    }
    // A handle in window coordinates, after the editor's next pass.
    CPoint handle(int band) {
        editor->forceIdlePass();
        const CPoint local = graph->handlePosition(band);
        const CPoint origin = graph->getFrameTopLeftPos();
        return CPoint(origin.x + local.x, origin.y + local.y);
    }
};

TEST(GraphInEditor, RightClickBypassTogglesEverySelectedBandAndMovesNone) {
    GraphInEditor rig;
    ASSERT_NE(rig.graph, nullptr);
    rig.plug->editorPreferenceTree().setUIPreference("Graph", "Right-Click", 2);
    rig.change(kGUIUIPrefsChange, 1.f);
    setBand(rig, 0, 1, 300.0, 6.0);
    setBand(rig, 1, 1, 3000.0, -6.0);
    rig.change(kGUISelectToggle, 0.f);
    rig.change(kGUISelectToggle, 1.f);
    ASSERT_EQ(rig.editor->selectedBands(), 0b11u);
    const CPoint h = rig.handle(0);
    rig.window()->press(h.x, h.y, kRButton);
    rig.window()->release(h.x, h.y, kRButton);
    EXPECT_EQ(rig.real(bandParam(0, kBandState)), 1.0);
    EXPECT_EQ(rig.real(bandParam(1, kBandState)), 1.0);
    EXPECT_NEAR(rig.real(bandParam(0, kBandFrequency)), 300.0, 0.5);
    EXPECT_NEAR(rig.real(bandParam(1, kBandGain)), -6.0, 1e-3);
    // Again: both active.
    rig.window()->press(h.x, h.y, kRButton);
    rig.window()->release(h.x, h.y, kRButton);
    EXPECT_EQ(rig.real(bandParam(0, kBandState)), 2.0);
    EXPECT_EQ(rig.real(bandParam(1, kBandState)), 2.0);
}

TEST(GraphInEditor, DraggingOneSelectedBandMovesTheOthersAndTheHostSeesOneGesture) {
    GraphInEditor rig;
    setBand(rig, 0, 1, 300.0, 0.0);
    setBand(rig, 1, 1, 3000.0, 0.0);
    // The editor carries frequencies from where they stood when a frequency edit last ended.
    rig.change(bandParam(0, kBandFrequency), rig.value(bandParam(0, kBandFrequency)));
    rig.change(kGUISelectToggle, 0.f);
    rig.change(kGUISelectToggle, 1.f);
    const CPoint h = rig.handle(0);
    rig.clearCalls();
    rig.window()->press(h.x, h.y, kLButton);
    rig.window()->move(h.x + 40, h.y);
    rig.window()->release(h.x + 40, h.y, kLButton);
    EXPECT_GT(rig.real(bandParam(0, kBandFrequency)), 330.0);
    EXPECT_GT(rig.real(bandParam(1, kBandFrequency)), 3300.0);  // carried along
    EXPECT_GE(rig.countCalls(vst::audioMasterBeginEdit, bandParam(0, kBandFrequency)), 1);
    EXPECT_EQ(rig.countCalls(vst::audioMasterBeginEdit, bandParam(0, kBandFrequency)),
              rig.countCalls(vst::audioMasterEndEdit, bandParam(0, kBandFrequency)));
    EXPECT_GE(rig.countCalls(vst::audioMasterAutomate, bandParam(0, kBandFrequency)), 1);
}

TEST(GraphInEditor, HostAutomationMovesTheHandle) {
    GraphInEditor rig;
    setBand(rig, 0, 1, 1000.0, 0.0);
    const CPoint before = rig.handle(0);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 12.0));
    const CPoint after = rig.handle(0);
    EXPECT_EQ(after.x, before.x);
    // 12 dB of a ±18 dB plot: a third of the plot height higher.
    EXPECT_NEAR(before.y - after.y, rig.graph->view().plotHeight / 3.0, 1.5);
}

TEST(GraphInEditor, MetersShowTheLevelsAndTheClipLightLatches) {
    EditorRig rig;
    std::vector<float> l(512, 0.5f), r(512, 0.25f);
    float* io[2] = {l.data(), r.data()};
    rig.plug->setSampleRate(44100.f);
    rig.plug->resume();
    rig.editor->forceIdlePass();  // the open editor reads the meters, which keeps them measuring
    rig.plug->processReplacing(io, io, 512);
    rig.editor->forceIdlePass();
    CControl* clip = rig.editor->findControl(kGUIClip);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->getValue(), 0.f);
    nVU* vu = findView<nVU>(rig.editor, kGUIVU);  // "Master Meters" is "Large" by default
    ASSERT_NE(vu, nullptr);
    EXPECT_NEAR(vu->level(0), rig.plug->getOutputLevel(0), 1e-6);
    EXPECT_NEAR(vu->level(1), rig.plug->getOutputLevel(1), 1e-6);
    EXPECT_GT(vu->peak(0), vu->peak(1));
    // One sample above full scale sets the latch; the light shows it.
    std::fill(l.begin(), l.end(), 0.f);
    l[100] = 1.5f;
    rig.plug->processReplacing(io, io, 512);
    ASSERT_TRUE(rig.plug->getClipFlag());
    rig.editor->forceIdlePass();
    EXPECT_EQ(clip->getValue(), 1.f);
    // Clicking the light clears the latch.
    const CRect r2 = clip->getFrameRect();
    rig.window()->press(r2.left + 3, r2.top + 3, kLButton);
    rig.window()->release(r2.left + 3, r2.top + 3, kLButton);
    rig.editor->forceIdlePass();
    EXPECT_FALSE(rig.plug->getClipFlag());
    EXPECT_EQ(clip->getValue(), 0.f);
}

}  // namespace
}  // namespace hm::gui::test

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "gui/draw/PngIO.h"
#include "prefs/EditorPreferences.h"

namespace hm::gui::test {
namespace {

// Pink-ish noise (white noise through three one-pole filters), the channels
// sharing their low end and differing a little.
void playPinkNoise(Plug& plug, int blocks) {
    static std::mt19937 rng(11);
    std::normal_distribution<double> white(0.0, 0.2);
    double b0 = 0, b1 = 0, b2 = 0;
    play(plug, 2 * blocks, [&](long, float& l, float& r) {
        const double w = white(rng);
        b0 = 0.99765 * b0 + w * 0.0990460;
        b1 = 0.96300 * b1 + w * 0.2965164;
        b2 = 0.57000 * b2 + w * 1.0526913;
        l = static_cast<float>(0.25 * (b0 + b1 + b2 + w * 0.1848));
        r = static_cast<float>(0.25 * (b0 + b1 + b2 - w * 0.1848));
    });
}

TEST(GraphInEditor, FactoryPresetsWithTheAnalyserOnPinkNoise) {
    // The factory bank as a host would load it.
    std::ifstream file(std::string(HM_SOURCE_DIR) + "/presets/Factory Bank.hmp", std::ios::binary);
    std::vector<char> bank((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bank.empty());
    for (int size = 0; size < 5; ++size) {
        SCOPED_TRACE(size);
        EditorRig rig(2, false);
        rig.plug->setChunk(bank.data(), static_cast<vst::VstInt32>(bank.size()), false);
        rig.plug->setProgram(3);
        rig.plug->editorPreferenceTree().setUIPreference("Layout", "UI Size", size);
        rig.plug->setSampleRate(48000.f);
        rig.plug->resume();
        rig.editor->openHeadless();
        rig.editor->forceIdlePass();
        playPinkNoise(*rig.plug, 12);
        std::vector<std::uint32_t> off, on;
        int w = 0, h = 0;
        ASSERT_TRUE(rig.editor->renderSnapshot(off, w, h));
        rig.change(kGUIAnalyser, 1.f);
        for (int pass = 0; pass < 3; ++pass) {
            playPinkNoise(*rig.plug, 2);
            rig.editor->forceIdlePass();
        }
        ASSERT_TRUE(rig.editor->renderSnapshot(on, w, h));
        // The analyser fills the lower part of the graph: many pixels there change.
        EQGraph* graph = findView<EQGraph>(rig.editor);
        ASSERT_NE(graph, nullptr);
        const CRect g = graph->getFrameRect();
        int changed = 0;
        for (int y = g.top + g.height() / 2; y < g.top + graph->view().plotHeight; ++y)
            for (int x = g.left; x < g.right; ++x) changed += off[static_cast<std::size_t>(y) * w + x] != on[static_cast<std::size_t>(y) * w + x];
        EXPECT_GT(changed, g.width() * graph->view().plotHeight / 8);
        if (const char* dir = std::getenv("HM_PICTURE_DIR")) {
            CDIB* picture = new CDIB(w, h);
            std::copy(on.begin(), on.end(), picture->pixels());
            writePngFile(*picture, std::string(dir) + "/factory-analyser-" + std::to_string(size) + ".png");
            picture->release();
        }
    }
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(GraphInEditor, LinkedChannelStripsMoveTogether) {
    EditorRig rig(2, false);
    rig.plug->editorPreferenceTree().setUIPreference("Layout", "Channel Meters", 1);
    rig.editor->openHeadless();
    rig.editor->forceIdlePass();
    CControl* link = rig.editor->findControl(kGUIChannel12Link);
    CControl* mute0 = rig.editor->findControl(channelParam(0, kChannelMute));
    ASSERT_NE(link, nullptr);
    ASSERT_NE(mute0, nullptr);
    const auto click = [&](CControl* c) {
        const CRect r = c->getFrameRect();
        rig.window()->press(r.left + 4, r.top + 4, kLButton);
        rig.window()->release(r.left + 4, r.top + 4, kLButton);
        rig.editor->forceIdlePass();
    };
    click(mute0);
    EXPECT_EQ(rig.value(channelParam(0, kChannelMute)), 1.f);
    EXPECT_EQ(rig.value(channelParam(1, kChannelMute)), 0.f);  // not linked yet
    click(link);
    EXPECT_EQ(link->getValue(), 1.f);
    click(mute0);
    EXPECT_EQ(rig.value(channelParam(0, kChannelMute)), 0.f);
    EXPECT_EQ(rig.value(channelParam(1, kChannelMute)), 0.f);
    click(mute0);
    EXPECT_EQ(rig.value(channelParam(1, kChannelMute)), 1.f);  // follows its partner
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(GraphInEditor, TheAnalyserAsksForAFrameOnEveryRefreshTick) {
    EditorRig rig;
    EQGraph* graph = findView<EQGraph>(rig.editor);
    ASSERT_NE(graph, nullptr);
    CFrame* frame = rig.editor->getFrame();
    const int graphArea = graph->getWidth() * graph->getHeight();
    for (int tick = 0; tick < 4; ++tick) rig.editor->forceIdlePass();  // the first passes draw everything
    EXPECT_LT(frame->lastUpdateArea(), graphArea / 10);  // nothing changed: the graph is not drawn
    rig.change(kGUIAnalyser, 1.f);
    for (int tick = 0; tick < 3; ++tick) {
        rig.editor->forceIdlePass();
        EXPECT_GE(frame->lastUpdateArea(), graphArea) << tick;
    }
}

}  // namespace
}  // namespace hm::gui::test
