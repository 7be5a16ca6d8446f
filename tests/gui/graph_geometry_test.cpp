// The graph's arithmetic against numbers worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui/draw/Fonts.h"
#include "gui/views/GraphGeometry.h"

namespace hm::gui::graph {
namespace {

GraphView decades() {
    // Three decades over 600 columns: 200 columns a decade.
    GraphView v;
    v.fMin = 10.0;
    v.fMax = 10000.0;
    v.fNyquist = 22050.0;
    v.width = 600;
    v.plotHeight = 400;
    v.rangeShown = 18.0;
    return v;
}

TEST(GraphGeometry, FrequencyAndLevelMapToTheHandWorkedPixels) {
    const GraphView v = decades();
    EXPECT_NEAR(xOfFrequency(v, 10.0), 0.0, 1e-9);
    EXPECT_NEAR(xOfFrequency(v, 100.0), 200.0, 1e-9);
    EXPECT_NEAR(xOfFrequency(v, 1000.0), 400.0, 1e-9);
    EXPECT_NEAR(frequencyOfX(v, 300.0), 316.227766, 1e-5);
    EXPECT_NEAR(frequencyOfX(v, 600.0), 10000.0, 1e-6);
    // y = (0.5 − dB ÷ 36) × 400
    EXPECT_NEAR(yOfDb(v, 18.0), 0.0, 1e-9);
    EXPECT_NEAR(yOfDb(v, 6.0), 133.333333, 1e-5);
    EXPECT_NEAR(yOfDb(v, -18.0), 400.0, 1e-9);
    EXPECT_NEAR(dbOfY(v, 100.0), 9.0, 1e-9);
    EXPECT_EQ(dbOfMagnitude(0.0), -200.0);
    EXPECT_NEAR(dbOfMagnitude(2.0), 6.0206, 1e-4);
}

TEST(GraphGeometry, HandlesSitByTypeAndStayOnThePlot) {
    const GraphView v = decades();
    struct Case {
        int type;
        double responseDb, gain, y;
    } cases[] = {
        {1, 6.0, 6.5, 133.333333},  // peak: its own response at the centre
        {6, -30.0, 0.0, 400.0},     // notch: far below, clamped to H
        {3, 6.0, 12.0, 66.666667},  // low shelf: by its gain, not the response
        {4, -3.0, -6.0, 266.666667},
        {2, -3.0, 0.0, 200.0},      // pass filters at H ÷ 2
        {5, -3.0, 0.0, 200.0},
        {1, 30.0, 30.0, 0.0},       // clamped to the top
    };
    for (const Case& c : cases) EXPECT_NEAR(handleY(v, c.type, c.responseDb, c.gain), c.y, 1e-5) << c.type;
    EXPECT_EQ(handleX(v, 5.0), 0.0);
    EXPECT_EQ(handleX(v, 20000.0), 599.0);
    EXPECT_NEAR(handleX(v, 100.0), 200.0, 1e-9);
}

TEST(GraphGeometry, RangeExpandsInSteps) {
    struct Case {
        double setting, gain, shown;
    } cases[] = {
        {18, 20.0, 24}, {18, 2.0, 18}, {18, 18.0, 18}, {3, 4.0, 6}, {3, 2.5, 3},
        {6, 6.2, 12},   {12, 30.1, 36}, {12, 12.05, 12},
    };
    for (const Case& c : cases) EXPECT_EQ(expandRange(c.setting, c.gain), c.shown) << c.setting << " " << c.gain;
    EXPECT_EQ(rangeOfIndex(3), 18);
    EXPECT_EQ(rangeOfIndex(99), 36);
}

std::vector<std::string> shownLabels(const GraphView& v, bool labels125) {
    const StripFont font(kStripFontLargeId);
    const auto lines = frequencyGrid(v, labels125);
    const auto left = placeFrequencyLabels(v, lines, [&](const std::string& t) { return font.measure(t); });
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (left[i] >= 0) shown.push_back(lines[i].label);
    return shown;
}

TEST(GraphGeometry, BothLabelSetsOverTheWholeRange) {
    GraphView v;
    v.fMin = 10.0;
    v.fMax = v.fNyquist = 22050.0;
    v.width = 1300;
    v.plotHeight = 500;
    EXPECT_EQ(shownLabels(v, true),
              (std::vector<std::string>{"10", "20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k"}));
    EXPECT_EQ(shownLabels(v, false),
              (std::vector<std::string>{"10", "20", "40", "60", "80", "100", "200", "400", "600", "800", "1k", "2k",
                                        "4k", "6k", "8k", "10k", "20k"}));
    // Narrow: labels that would touch their neighbour are left out, never overlapped.
    v.width = 300;
    const StripFont font(kStripFontLargeId);
    const auto lines = frequencyGrid(v, false);
    const auto left = placeFrequencyLabels(v, lines, [&](const std::string& t) { return font.measure(t); });
    int end = -1000, shown = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (left[i] < 0) continue;
        EXPECT_GE(left[i], end + 4);  // a gap, never touching
        EXPECT_GE(left[i], 2);
        EXPECT_LE(left[i] + font.measure(lines[i].label), v.width - 4);
        end = left[i] + font.measure(lines[i].label);
        ++shown;
    }
    EXPECT_LT(shown, 17);
    EXPECT_GE(shown, 5);
    // The decades are never the ones left out, at any editor width.
    for (int width : {555, 650, 750, 300}) {
        v.width = width;
        const auto placed = placeFrequencyLabels(v, lines, [&](const std::string& t) { return font.measure(t); });
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].label == "10" || lines[i].label == "100" || lines[i].label == "1k" || lines[i].label == "10k")
                EXPECT_GE(placed[i], 0) << lines[i].label << " at width " << width;
    }
}

TEST(GraphGeometry, ZoomedInAddsTenthDecadeLines) {
    GraphView v;
    v.fNyquist = 22050.0;
    v.width = 800;
    v.fMin = 1000.0;
    v.fMax = 4000.0;  // ratio 4: 4 × 32 < 2205 but 4 × 256 < 2205 too: every tenth, all labelled
    auto lines = frequencyGrid(v, true);
    int tenths = 0, labelled = 0;
    for (const auto& l : lines)
        if (l.tenth) {
            ++tenths;
            labelled += !l.label.empty();
        }
    EXPECT_EQ(tenths, 27);  // 1.1k .. 1.9k, 2.1k .. 2.9k, 3.1k .. 3.9k
    EXPECT_EQ(labelled, 27);
    v.fMin = 500.0;
    v.fMax = 16000.0;  // ratio 32: zoomed, not deeply: every second tenth, the sixth labelled
    lines = frequencyGrid(v, true);
    tenths = labelled = 0;
    for (const auto& l : lines)
        if (l.tenth) {
            ++tenths;
            if (!l.label.empty()) {
                ++labelled;
                // (m + 0.6) × decade
                const double mantissa = l.hz / std::pow(10.0, std::floor(std::log10(l.hz)));
                EXPECT_NEAR(mantissa - std::floor(mantissa), 0.6, 1e-9) << l.label;
            }
        }
    EXPECT_GT(tenths, 0);
    EXPECT_GT(labelled, 0);
    v.fMin = 10.0;
    v.fMax = 22050.0;
    for (const auto& l : frequencyGrid(v, true)) EXPECT_FALSE(l.tenth);
}

TEST(GraphGeometry, DbGridRowsAndLabels) {
    GraphView v = decades();
    EXPECT_EQ(dbLineCount(18.0), 7);
    EXPECT_EQ(dbLineCount(3.0), 2);
    EXPECT_NEAR(dbLineY(v, 3, 7), 199.5, 1e-9);  // (H − 1) × 3 ÷ 6
    EXPECT_EQ(dbLabelTop(v, 0, 7), 2);
    EXPECT_EQ(dbLabelTop(v, 3, 7), 189);  // the text ends 2 rows above the 0 dB line
    EXPECT_LT(dbLabelTop(v, 3, 7) + 8, static_cast<int>(dbLineY(v, 3, 7)));
}

TEST(GraphGeometry, ScrollBarEdgesAndDrags) {
    GraphView v;
    v.fNyquist = v.fMax = 22050.0;
    v.fMin = 10.0;
    v.width = 600;  // track 581 pixels from 9.5
    ScrollThumb t = scrollThumb(v);
    EXPECT_EQ(t.x1, 9.5);
    EXPECT_EQ(t.x2, 590.5);
    EXPECT_NEAR(scrollFrequency(v, 9.5), 10.0, 1e-9);
    EXPECT_NEAR(scrollFrequency(v, 590.5), 22050.0, 1e-6);
    EXPECT_EQ(scrollPartAt(v, 12.0), ScrollPart::kLeftEdge);
    EXPECT_EQ(scrollPartAt(v, 580.0), ScrollPart::kRightEdge);
    EXPECT_EQ(scrollPartAt(v, 300.0), ScrollPart::kThumb);
    // The left edge dragged past the right one stops at half the right edge's frequency.
    v.fMax = 2000.0;
    dragScroll(v, ScrollPart::kLeftEdge, 595.0);
    EXPECT_DOUBLE_EQ(v.fMin, 1000.0);
    EXPECT_DOUBLE_EQ(v.fMax, 2000.0);
    // And the right edge past the left one at twice it.
    dragScroll(v, ScrollPart::kRightEdge, 0.0);
    EXPECT_DOUBLE_EQ(v.fMax, 2000.0);
    // The thumb keeps its span and is kept inside the range.
    v.fMin = 100.0;
    v.fMax = 400.0;
    dragScroll(v, ScrollPart::kThumb, 590.5);
    EXPECT_NEAR(v.fMax, 22050.0, 1e-6);
    EXPECT_NEAR(v.fMax / v.fMin, 4.0, 1e-9);
    resetScroll(v);
    EXPECT_EQ(v.fMin, 10.0);
    EXPECT_EQ(v.fMax, 22050.0);
}

TEST(GraphGeometry, ViewRulesZoomAndPan) {
    GraphView v;
    v.fNyquist = 22050.0;
    v.width = 600;
    v.fMin = 5.0;
    v.fMax = 30000.0;
    applyViewRules(v);
    EXPECT_EQ(v.fMin, 10.0);
    EXPECT_EQ(v.fMax, 22050.0);
    v.fMin = 100.0;
    v.fMax = 400.0;  // centre 200, span 2
    panView(v, 2.0);
    EXPECT_NEAR(v.fMin, 200.0, 1e-9);
    EXPECT_NEAR(v.fMax, 800.0, 1e-9);
    // Zooming in by 5 notches at the pointer's own centre: the span's exponent halves.
    v.fMin = 100.0;
    v.fMax = 10000.0;  // centre 1000, s = 10
    const double centreX = 9.5 + std::log(1000.0 / 10.0) / std::log(2205.0) * 581.0;
    zoomView(v, 5.0, centreX);
    EXPECT_NEAR(std::sqrt(v.fMin * v.fMax), 1000.0, 1e-6);
    EXPECT_NEAR(v.fMax / v.fMin, 10.0, 1e-9);  // s = 10^0.5
    // Zooming out never leaves the range and keeps fMax ≥ 2 fMin.
    for (int i = 0; i < 40; ++i) zoomView(v, -3.0, 100.0);
    EXPECT_GE(v.fMin, 10.0);
    EXPECT_LE(v.fMax, 22050.0 + 1e-6);
    for (int i = 0; i < 40; ++i) zoomView(v, 9.0, 300.0);
    EXPECT_GE(v.fMax, 2.0 * v.fMin * (1 - 1e-12));
}

TEST(GraphGeometry, NewBandsByFrequencyGainAndZoom) {
    GraphView v;
    v.fNyquist = v.fMax = 22050.0;
    v.fMin = 10.0;
    v.width = 1000;
    v.plotHeight = 400;
    v.rangeShown = 18.0;
    const auto at = [&](double hz) { return xOfFrequency(v, hz); };
    struct Case {
        double hz, db;
        int types;
        int type;
        double q;
    } cases[] = {
        {50.0, 0.0, 1, 3, 0.707},    {15.0, 0.0, 1, 2, 0.707},   {1000.0, 0.0, 1, 1, 0.707},
        {5000.0, 0.0, 1, 4, 0.707},  {12000.0, 0.0, 1, 5, 0.707}, {50.0, 0.0, 0, 1, 0.707},
        {1000.0, -17.0, 2, 6, 0.707}, {1000.0, 12.0, 2, 1, 1.2},  {1000.0, -12.0, 3, 1, 1.2},
    };
    for (const Case& c : cases) {
        const NewBand b = newBandAt(v, at(c.hz), yOfDb(v, c.db), c.types, false);
        EXPECT_EQ(b.type, c.type) << c.hz << " " << c.types;
        EXPECT_NEAR(b.q, c.q, 1e-9) << c.hz;
        EXPECT_NEAR(b.frequency, c.hz, c.hz * 1e-9);
        EXPECT_NEAR(b.gain, c.db, 1e-9);
    }
    // Q follows the zoom: the whole range keeps Q, a narrower view raises it.
    EXPECT_NEAR(newBandAt(v, at(1000.0), 200.0, 0, true).q, 0.707, 1e-9);
    v.fMin = 500.0;
    v.fMax = 2000.0;  // ratio 4
    const double expected = 0.707 * std::pow(20.0 / 0.707, 1.0 - std::log(2.0) / std::log(22050.0 / 20.0));
    EXPECT_NEAR(newBandAt(v, 500.0, 200.0, 0, true).q, expected, 1e-9);
    EXPECT_NEAR(newBandAt(v, 500.0, 200.0, 0, false).q, 0.707, 1e-9);
}

TEST(GraphGeometry, WheelStepFormula) {
    GraphView v;
    v.plotHeight = 400;
    // sign × d × f × increment × 1.5 ÷ H, doubled for Slope.
    EXPECT_DOUBLE_EQ(wheelStep(v, WheelParameter::kQ, 1.0, 1.0, false, false), -0.00375);
    EXPECT_DOUBLE_EQ(wheelStep(v, WheelParameter::kQ, 1.0, 1.0, false, true), 0.00375);
    EXPECT_DOUBLE_EQ(wheelStep(v, WheelParameter::kQ, 2.0, 4.0, true, false), -0.003);
    EXPECT_DOUBLE_EQ(wheelStep(v, WheelParameter::kSlope, 1.0, 1.0, false, false), -0.0075);
    EXPECT_DOUBLE_EQ(wheelStep(v, WheelParameter::kGain, -1.0, 1.0, false, false), -0.00375);
    EXPECT_DOUBLE_EQ(wheelStep(v, WheelParameter::kFrequency, 1.0, 0.1, false, false), 0.000375);
}

}  // namespace
}  // namespace hm::gui::graph

#include "gui/draw/CDIB.h"
#include "gui/views/GraphAnalyser.h"

namespace hm::gui::graph {
namespace {

// The analyser's dB labels stay clear of the scale tray's tab at the graph's
// left edge (14 pixels wide), at every row.
TEST(AnalyserScale, LabelsStartRightOfTheScaleTrayTab) {
    const StripFont font(kStripFontLargeId);
    ASSERT_TRUE(font.valid());
    auto* dib = new CDIB(200, 400);
    CDIB& d = *dib;
    d.clear(0xFF000000u);
    GraphAnalyser analyser;
    AnalyserSettings s;
    analyser.drawScale(d, font, s, 400, 9);
    int lit = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 200; ++x) {
            if (d.getPixel(x, y) == 0xFF000000u) continue;
            ++lit;
            EXPECT_GE(x, 16) << "a label pixel under the tab at " << x << "," << y;
        }
    EXPECT_GT(lit, 100) << "the labels were drawn";
    dib->release();
}

}  // namespace
}  // namespace hm::gui::graph
