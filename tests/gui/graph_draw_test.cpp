// The graph's pictures checked at the pixels that carry meaning: where the
// total curve crosses a column, what a bypassed band and the "Display"
// choices draw. With HM_PICTURE_DIR set, the pictures are also written there
// as PNG files for the eye.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "gui/draw/PngIO.h"
#include "gui/editor/GraphFlags.h"
#include "gui/views/EQGraph.h"
#include "prefs/EditorPreferences.h"
#include "tests/gui/graph_Harness.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui {
namespace {

using test::InstanceFixture;

void keepPicture(const CDIB& picture, const std::string& name) {
    if (const char* dir = std::getenv("HM_PICTURE_DIR")) writePngFile(picture, std::string(dir) + "/" + name + ".png");
}

int red(Pixel p) { return (p >> 16) & 255; }
int green(Pixel p) { return (p >> 8) & 255; }
int blue(Pixel p) { return p & 255; }
bool whiteish(Pixel p) { return red(p) > 200 && green(p) > 200 && blue(p) > 200; }

struct GraphFixture : InstanceFixture {
    test::HeadlessFrame frame{900, 420};
    EQGraph* graph = nullptr;

    GraphFixture() {
        graph = new EQGraph(CRect(0, 0, 900, 420), editor.get(), kGUIEQGraph);
        frame.frame->addView(graph);
    }
    void flags(const char* page, const char* name, int value) {
        auto prefs = prefs::EditorPreferences::fromResources();
        for (const auto& [p, n, v] : overrides) prefs.setUIPreference(p.c_str(), n.c_str(), v);
        prefs.setUIPreference(page, name, value);
        overrides.push_back({page, name, value});
        const GraphFlags g = packGraphFlags(prefs);
        graph->setGraphFlags(g.flags1, g.flags2);
    }
    CDIB& compose() {
        graph->recompute();
        return *graph->compose();
    }
    struct Override {
        std::string page, name;
        int value;
    };
    std::vector<Override> overrides;
};

TEST(GraphPicture, TotalOfOnePeakCrossesItsColumnAtItsGain) {
    GraphFixture f;
    f.flags("Graph", "Display", 1);  // Total only
    f.flags("Graph", "Handles", 0);  // hidden: the handle's ring would cover the crossing
    f.band(0, 1, 1000.0, 6.0, 1.0);
    CDIB& pic = f.compose();
    keepPicture(pic, "peak-total");
    const graph::GraphView& v = f.graph->view();
    const int column = static_cast<int>(std::lround(graph::xOfFrequency(v, 1000.0)));
    const double expected = graph::yOfDb(v, 6.0);
    // The white 2-pixel line: its brightest rows in that column lie within a pixel of +6 dB.
    int first = -1, last = -1;
    for (int y = 0; y < v.plotHeight - 12; ++y)  // above the frequency labels
        if (whiteish(pic.getPixel(column, y))) {
            if (first < 0) first = y;
            last = y;
        }
    ASSERT_GE(first, 0);
    EXPECT_NEAR(0.5 * (first + last + 1), expected, 1.0);
}

}  // namespace
}  // namespace hm::gui

namespace hm::gui {
namespace {

// A mix of band types for pictures: shelves, passes, peaks and a notch.
void mixedBands(InstanceFixture& f) {
    f.band(0, 2, 30.0, 0.0, 0.707);           // high-pass
    f.band(1, 3, 90.0, 4.5, 0.707);           // low shelf
    f.band(2, 1, 350.0, -5.0, 1.4);           // peak cut
    f.band(3, 1, 2500.0, 7.0, 0.9);           // peak boost
    f.band(4, 6, 6000.0, 0.0, 8.0);           // notch
    f.band(5, 4, 9000.0, 3.0, 0.707);         // high shelf
    f.band(6, 5, 17000.0, 0.0, 0.707);        // low-pass
    f.band(7, 1, 150.0, 3.0, 2.0, 1);         // bypassed peak
}

TEST(GraphPicture, MixedBandsWithBothPanelStyles) {
    for (int style : {1, 2}) {
        GraphFixture f;
        f.flags("Graph", "Tooltips", style);
        f.flags("Graph", "Crosshairs", 1);
        mixedBands(f);
        f.graph->compose();
        const CPoint h = f.graph->handlePosition(3);
        f.graph->setSelection(1u << 3);
        CPoint at(h.x, h.y);
        f.graph->onMouseMoved(at, 0);
        CDIB& pic = *f.graph->compose();
        keepPicture(pic, "mixed-panel" + std::to_string(style));
        // The panel offers its areas: frequency, gain, Q, group, type, bypass, off.
        for (int area : {kAreaBypass, kAreaGroup, kAreaType, kAreaOff, kAreaFrequency, kAreaGain, kAreaQ})
            EXPECT_FALSE(f.graph->panelAreas()[static_cast<std::size_t>(area)].isEmpty()) << style << " " << area;
    }
}

}  // namespace
}  // namespace hm::gui

namespace hm::gui {
namespace {

// How far a pixel is from grey: the spread of its channels.
int chroma(Pixel p) {
    return std::max({red(p), green(p), blue(p)}) - std::min({red(p), green(p), blue(p)});
}

TEST(GraphPicture, ABypassedBandDrawsGreyed) {
    GraphFixture f;
    f.flags("Graph", "Band Colours", 1);  // by number: band 0 at hue 270 (violet)
    f.band(0, 1, 300.0, 6.0, 1.0, 1);     // bypassed
    f.band(1, 1, 3000.0, 6.0, 1.0, 2);    // active
    CDIB& pic = f.compose();
    keepPicture(pic, "bypassed");
    const CPoint bypassed = f.graph->handlePosition(0), active = f.graph->handlePosition(1);
    // Both handles sit at their gain: a bypassed band still shows where it would act.
    EXPECT_NEAR(bypassed.y, graph::yOfDb(f.graph->view(), 6.0), 1.5);
    const Pixel b = pic.getPixel(bypassed.x, bypassed.y), a = pic.getPixel(active.x, active.y);
    EXPECT_LT(chroma(b), 60) << std::hex << b;
    EXPECT_GT(chroma(a), 150) << std::hex << a;
    // The total ignores the bypassed band: flat at 300 Hz.
    const int column = static_cast<int>(std::lround(graph::xOfFrequency(f.graph->view(), 300.0)));
    EXPECT_NEAR(f.graph->totalDbAt(0, column), 0.0, 0.1);
}

TEST(GraphPicture, DisplayTotalBandsOffShowWhatTheySay) {
    struct Case {
        int display;
        bool total, band;
    } cases[] = {{0, true, true}, {1, true, false}, {2, false, true}, {3, false, false}};
    for (const Case& c : cases) {
        GraphFixture f;
        f.flags("Graph", "Handles", 0);
        f.flags("Graph", "Band Colours", 1);
        f.flags("Graph", "Display", c.display);
        f.graph->setSecondaryView(-1);  // one view: no blue second total beside the white
        f.band(0, 1, 1000.0, 9.0, 1.0);
        CDIB& pic = f.compose();
        keepPicture(pic, "display" + std::to_string(c.display));
        const graph::GraphView& v = f.graph->view();
        const int column = static_cast<int>(std::lround(graph::xOfFrequency(v, 1000.0)));
        const int peakRow = static_cast<int>(graph::yOfDb(v, 9.0));
        bool white = false, coloured = false;
        for (int y = peakRow - 2; y <= peakRow + 2; ++y) {
            white = white || whiteish(pic.getPixel(column, y));
            coloured = coloured || chroma(pic.getPixel(column, y)) > 40;
        }
        // The band's fill between its curve and 0 dB.
        const bool filled = chroma(pic.getPixel(column, (peakRow + static_cast<int>(graph::yOfDb(v, 0.0))) / 2)) > 20;
        EXPECT_EQ(white, c.total) << c.display;
        EXPECT_EQ(coloured || filled, c.band) << c.display;
    }
}

TEST(GraphPicture, RangeExpandsForTheLoudestBand) {
    GraphFixture f;
    f.graph->setRange(3);  // 18 dB
    f.band(0, 1, 1000.0, 2.0, 1.0);
    f.compose();
    EXPECT_EQ(f.graph->rangeShown(), 18.0);
    f.setReal(kScale, 30.0);  // band gains reach ±30 dB
    f.band(1, 3, 100.0, 20.0, 0.7);
    f.compose();
    EXPECT_EQ(f.graph->rangeShown(), 24.0);
    f.band(2, 6, 5000.0, -30.0, 4.0);  // notches never widen the range
    f.compose();
    EXPECT_EQ(f.graph->rangeShown(), 24.0);
}

}  // namespace
}  // namespace hm::gui
