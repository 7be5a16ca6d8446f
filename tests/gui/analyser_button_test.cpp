// The analyser button and the graph's analyser: on/off with take-back, the
// menus with and without other instances, choices reaching the graph, and
// what the analyser draws for a sine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/InstanceRegistry.h"
#include "gui/draw/PngIO.h"
#include "gui/editor/GraphFlags.h"
#include "gui/views/EQGraph.h"
#include "gui/views/nAnalyserButton.h"
#include "tests/gui/graph_Harness.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui {
namespace {

using test::InstanceFixture;

struct ButtonFixture : InstanceFixture {
    test::HeadlessFrame frame{800, 400};
    EQGraph* graph = nullptr;
    nAnalyserButton* button = nullptr;
    ButtonFixture() {
        graph = new EQGraph(CRect(0, 30, 800, 400), editor.get(), kGUIEQGraph);
        button = new nAnalyserButton(CRect(10, 5, 72, 24), editor.get(), kGUIAnalyser, nullptr);
        frame.frame->addView(graph);
        frame.frame->addView(button);
    }
    COptionMenu* submenu(const char* title) {
        for (int i = 0; i < button->getNbEntries(); ++i)
            if (std::string(button->getEntry(i)) == title) return button->getSubMenu(i);
        return nullptr;
    }
};

TEST(AnalyserButton, LeftButtonTogglesWithTakeBack) {
    ButtonFixture f;
    f.frame.window->press(20, 10, kLButton);
    EXPECT_EQ(f.button->getValue(), 1.f);
    f.frame.window->move(200, 200);  // outside: the old state shows
    EXPECT_EQ(f.button->getValue(), 0.f);
    f.frame.window->release(200, 200, kLButton);
    EXPECT_EQ(f.button->getValue(), 0.f);
    EXPECT_EQ(f.editor->count('v', kGUIAnalyser), 0);
    f.frame.click(20, 10);
    EXPECT_EQ(f.button->getValue(), 1.f);
    EXPECT_EQ(f.editor->lastValue(kGUIAnalyser), 1.f);
}

TEST(AnalyserButton, MenusOfASingleInstance) {
    ButtonFixture f;
    f.button->buildMenu();
    ASSERT_EQ(f.button->getNbEntries(), 3);  // type "Analyser": the secondary signal too
    COptionMenu* primary = f.submenu("Primary Signal");
    ASSERT_NE(primary, nullptr);
    // Two channels after the equaliser, the same before it; no separator, no instances.
    ASSERT_EQ(primary->getNbEntries(), 4);
    EXPECT_EQ(std::string(primary->getEntry(2)), std::string(primary->getEntry(0)) + " (pre)");
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(primary->getEntryRecord(i)->separator);
        EXPECT_EQ(f.button->codeOf(primary, i), i);
    }
    EXPECT_TRUE(primary->isCheckEntry(0));
    EXPECT_TRUE(f.submenu("Secondary Signal")->isCheckEntry(1));
    COptionMenu* types = f.submenu("Display Type");
    ASSERT_EQ(types->getNbEntries(), 6);
    EXPECT_EQ(std::string(types->getEntry(3)), "Spectrograph");
    // Choosing a type reaches the graph and the editor; other types have no secondary signal.
    f.button->popupChosen(types, 3);
    EXPECT_EQ(f.graph->analyserType(), 3);
    EXPECT_EQ(f.editor->count('v', kGUIAnalyserUpdated), 1);
    f.button->buildMenu();
    EXPECT_EQ(f.button->getNbEntries(), 2);
    EXPECT_EQ(f.submenu("Secondary Signal"), nullptr);
}

TEST(AnalyserButton, OtherInstancesAppearByNameWithTheirChannels) {
    ButtonFixture f;
    auto other = std::make_unique<Plug>(hm::test::fakeHost, 2);
    other->setInstanceName("Drums");
    f.button->buildMenu();
    COptionMenu* primary = f.submenu("Primary Signal");
    ASSERT_EQ(primary->getNbEntries(), 6);  // 4 own, a separator, one instance
    EXPECT_TRUE(primary->getEntryRecord(4)->separator);
    EXPECT_EQ(std::string(primary->getEntry(5)), "Drums");
    COptionMenu* drums = primary->getSubMenu(5);
    ASSERT_NE(drums, nullptr);
    EXPECT_EQ(drums->getNbEntries(), 2);
    EXPECT_EQ(f.button->codeOf(drums, 1), (1 << 8) | 1);
    f.button->popupChosen(drums, 1);
    EXPECT_EQ(f.graph->analyserSource(0), (1 << 8) | 1);
    // The chosen source shows checked: the instance's entry and the channel inside.
    f.button->buildMenu();
    primary = f.submenu("Primary Signal");
    EXPECT_TRUE(primary->isCheckEntry(5));
    EXPECT_TRUE(primary->getSubMenu(5)->isCheckEntry(1));
    // The editor stores sources as channel and registry position.
    const AnalyserSources saved = f.graph->analyserSources();
    EXPECT_EQ(saved.channel1, 1);
    EXPECT_EQ(saved.instance1, instancePosition(other.get()));
    // The instance closes: after the list change the source is none.
    other.reset();
    f.graph->instancesChanged();
    EXPECT_EQ(f.graph->analyserSource(0), -1);
}

// An instance at 48 kHz that has played a signal, a graph showing it, and the
// graph's picture before the analyser was switched on.
struct AnalyserScene : InstanceFixture {
    test::HeadlessFrame frame{800, 420};
    EQGraph* graph = nullptr;
    CDIB* dark = new CDIB(800, 420);

    template <class Signal>
    explicit AnalyserScene(Signal&& signal) {
        plug->setSampleRate(48000.f);
        plug->resume();
        // An instance captures its signal only while somebody reads it: a reader
        // (an analyser already showing) looks before the signal plays.
        double newest = 0.0;
        plug->readAnalyserHistory(&newest, 1, 0);
        test::play(*plug, 20, signal);
        graph = new EQGraph(CRect(0, 0, 800, 420), editor.get(), kGUIEQGraph);
        frame.frame->addView(graph);
        // The levels these tests read are the signal's own: no tilt, no smoothing
        // (a new instance shows both).
        prefs::EditorPreferences plain = prefs::EditorPreferences::fromResources();
        plain.setUIPreference("Analyser", "Tilt", 0);
        plain.setUIPreference("Analyser", "Smoothing", 0);
        const GraphFlags flags = packGraphFlags(plain);
        graph->setGraphFlags(flags.flags1, flags.flags2);
        dark->copyRect(*graph->compose(), CRect(0, 0, 800, 420), CPoint());
        graph->setAnalyserOn(true);
    }
    ~AnalyserScene() { dark->release(); }
};

TEST(GraphAnalyser, ASineLightsItsColumnInThePicture) {
    AnalyserScene s([](long n, float& l, float& r) {
        l = r = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * 1000.0 * n / 48000.0));
    });
    EQGraph* graph = s.graph;
    CDIB* dark = s.dark;
    test::HeadlessFrame& frame = s.frame;
    graph->setAnalyserDecay(0.0);
    CDIB& pic = *graph->compose();
    if (const char* dir = std::getenv("HM_PICTURE_DIR")) writePngFile(pic, std::string(dir) + "/analyser-sine.png");
    const graph::GraphView& v = graph->view();
    const int column = static_cast<int>(graph::xOfFrequency(v, 1000.0));
    // The sine reads about −21 dB (half of 0.5 times the coherent gain): its
    // column is lit from there down; a column two octaves away is not.
    const int lit = static_cast<int>((21.0 / 96.0) * (v.plotHeight + 1)) + 6;
    const auto brighter = [&](int x, int y) {
        return static_cast<int>(pic.getPixel(x, y) & 0xFF) - static_cast<int>(dark->getPixel(x, y) & 0xFF) > 40;
    };
    EXPECT_TRUE(brighter(column, lit));
    const int far = static_cast<int>(graph::xOfFrequency(v, 4000.0));
    EXPECT_FALSE(brighter(far, lit));
    EXPECT_FALSE(graph->analyserFrozen());
    // Alt-click on empty space freezes the picture.
    frame.window->press(far, 60, kLButton | kAlt);
    frame.window->release(far, 60, kLButton | kAlt);
    EXPECT_TRUE(graph->analyserFrozen());
}

}  // namespace
}  // namespace hm::gui

namespace hm::gui {
namespace {

TEST(GraphAnalyser, EveryDisplayTypeDrawsInsideThePlot) {
    unsigned seed = 5;
    AnalyserScene s([&](long, float& l, float& r) {
        seed = seed * 1664525u + 1013904223u;
        l = r = static_cast<float>((seed >> 8) / 16777216.0 - 0.5) * 0.5f;
    });
    EQGraph* graph = s.graph;
    CDIB* dark = s.dark;
    const graph::GraphView& v = graph->view();
    for (int type = 0; type < graph::kAnalyserTypeCount; ++type) {
        graph->setAnalyserType(type);
        CDIB& pic = *graph->compose();
        if (const char* dir = std::getenv("HM_PICTURE_DIR"))
            writePngFile(pic, std::string(dir) + "/analyser-type" + std::to_string(type) + ".png");
        int changed = 0, outside = 0;
        for (int y = 0; y < 420; ++y)
            for (int x = 0; x < 800; ++x) {
                const bool differs = pic.getPixel(x, y) != dark->getPixel(x, y);
                (y < v.plotHeight ? changed : outside) += differs;
            }
        EXPECT_GT(changed, 800 * v.plotHeight / 10) << type;
        EXPECT_EQ(outside, 0) << type;  // the scroll bar stays as it was
    }
}

}  // namespace
}  // namespace hm::gui
