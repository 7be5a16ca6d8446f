// The phase graph against SciPy's analogue responses of the same bands, its
// "Linear" and "Free" cases, and its handles and range bar under the mouse.
#include <gtest/gtest.h>

#include <cmath>

#include "core/params/ParamIds.h"
#include "gui/views/PhaseGraph.h"
#include "gui/views/RangeBar.h"
#include "tests/gui/reference/PhaseReference.h"
#include "tests/gui/setup_Harness.h"

namespace hm::gui::test {
namespace {

constexpr int kWidth = 400, kPlot = 160;

struct PhaseRig : InstanceRig {
    PhaseGraph* graph = nullptr;
    PhaseRig() : InstanceRig(2, 500, 300) {
        graph = new PhaseGraph(CRect::fromSize(50, 40, kWidth, kPlot + rangebar::kHeight), &editor, kGUIPhaseGraph,
                               101, 102);
        h.frame->addView(graph);
    }
    void setReal(int index, double real) { plug->setParameter(index, static_cast<float>(plug->realToNormalised(index, real))); }
    void band(int b, int type, int subtype, double gainDb, double hz, double q) {
        setReal(bandParam(b, kBandType), type);
        setReal(bandParam(b, kBandSubtype), subtype);
        setReal(bandParam(b, kBandGain), gainDb);
        setReal(bandParam(b, kBandFrequency), hz);
        setReal(bandParam(b, kBandQ), q);
        setReal(bandParam(b, kBandShift), 0.0);
        setReal(bandParam(b, kBandState), 2);
    }
    // The set the reference script describes: peak, first-order low shelf, peak.
    void referenceBands(int parallel, int phaseMode) {
        setReal(kMode, 1);
        setReal(kIRPhase, phaseMode);
        setReal(kParallel, parallel);
        band(0, 1, 1, 9.0, 1000.0, 1.5);
        band(1, 3, 7, 6.0, 150.0, 0.707);
        band(2, 1, 1, -12.0, 6000.0, 3.0);
        graph->refresh();
    }
    // Frame point of a column x at phase `turns`.
    CPoint at(double x, double turns) const {
        return CPoint(50 + static_cast<int>(std::lround(x)), 40 + static_cast<int>(std::lround((turns + 0.5) * kPlot)));
    }
};

double turnDistance(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 1.0);
    return std::min(d, 1.0 - d);
}

TEST(PhaseGraphView, TotalPhaseMatchesTheAnalogueReference) {
    struct Case {
        int parallel;
        int phaseMode;  // 3 "Analogue"; 4 "Free" with the bands' Phase at +100 %
        bool seriesReference;
    };
    for (const Case& c : {Case{0, 3, true}, Case{1, 3, false}, Case{0, 4, true}}) {
        PhaseRig rig;
        if (c.phaseMode == 4)
            for (int b = 0; b < 3; ++b) rig.setReal(bandParam(b, kBandPhase), 100.0);
        rig.referenceBands(c.parallel, c.phaseMode);
        ASSERT_EQ(rig.graph->plotHeight(), kPlot);
        ASSERT_FALSE(rig.graph->linearPhase());
        for (const PhaseReferenceRow& row : kPhaseReference) {
            EXPECT_NEAR(rig.graph->columnFrequency(row.column), row.hz, row.hz * 1e-6);
            const double expected = c.seriesReference ? row.seriesTurns : row.parallelTurns;
            EXPECT_LT(turnDistance(rig.graph->totalPhase(row.column), expected), 2e-4)
                << "column " << row.column << " parallel " << c.parallel << " mode " << c.phaseMode;
        }
    }
}

TEST(PhaseGraphView, FreePhaseScalesEachBandByItsPhaseSetting) {
    PhaseRig rig;
    for (int b = 0; b < 3; ++b) rig.setReal(bandParam(b, kBandPhase), -100.0);
    rig.referenceBands(0, 4);
    for (const PhaseReferenceRow& row : kPhaseReference)
        EXPECT_LT(turnDistance(rig.graph->totalPhase(row.column), -row.seriesTurns), 2e-4) << row.column;
    for (int b = 0; b < 3; ++b) rig.setReal(bandParam(b, kBandPhase), 0.0);
    rig.graph->refresh();
    for (const PhaseReferenceRow& row : kPhaseReference) EXPECT_NEAR(rig.graph->totalPhase(row.column), 0.f, 1e-6f);
}

TEST(PhaseGraphView, LinearPhaseDrawsTheZeroLine) {
    PhaseRig rig;
    rig.referenceBands(0, 3);
    EXPECT_GT(std::fabs(rig.graph->totalPhase(260)), 0.05f);
    rig.setReal(kIRPhase, 0);  // "Linear"
    rig.h.frame->idle();      // the view notices the change by itself
    EXPECT_TRUE(rig.graph->linearPhase());
    for (int x = 0; x < kWidth; x += 37) EXPECT_EQ(rig.graph->totalPhase(x), 0.f);
    // The white line two pixels wide across the middle, clear of the labels' columns.
    for (int x : {130, 200, 260})
        EXPECT_EQ(rig.h.pixel(50 + x, 40 + kPlot / 2), 0xFFFFFFu) << x;
    EXPECT_NE(rig.h.pixel(50 + 200, 40 + kPlot / 2 + 30), 0xFFFFFFu);
}

TEST(PhaseGraphView, HandlesEditPhaseAndFrequencyAndRubberBandSelects) {
    PhaseRig rig;
    rig.setReal(kMode, 1);
    rig.setReal(kIRPhase, 3);
    rig.band(0, 1, 1, 9.0, 1000.0, 1.5);
    rig.band(1, 1, 1, -6.0, 100.0, 2.0);
    rig.graph->refresh();
    const double x0 = graph::xOfFrequency(rig.graph->frequencyView(), 1000.0);
    const CPoint handle = rig.at(x0, 0.0);  // a peak's own phase at its centre is 0
    EXPECT_EQ(rig.graph->tagUnderPoint(handle), bandParam(0, kBandPhase));
    EXPECT_EQ(rig.graph->tagUnderPoint(CPoint(handle.x, handle.y + 40)), -1);

    // Upward drag: more Phase, by the plot height per full range.
    rig.editor.reports.clear();
    rig.h.drag(handle.x, handle.y, handle.x, handle.y - 32);
    const float phaseNorm = rig.plug->getParameter(bandParam(0, kBandPhase));
    float lastPhase = -1.f;
    for (const auto& r : rig.editor.reports)
        if (r.tag == bandParam(0, kBandPhase)) lastPhase = r.value;
    EXPECT_NEAR(lastPhase, phaseNorm + 32.f / kPlot, 1e-4f);
    // Horizontal drag: the band's frequency follows the pointer on the log axis.
    rig.editor.reports.clear();
    rig.h.drag(handle.x, handle.y, handle.x + 40, handle.y);
    float lastFreq = -1.f;
    for (const auto& r : rig.editor.reports)
        if (r.tag == bandParam(0, kBandFrequency)) lastFreq = r.value;
    const double expectedHz = graph::frequencyOfX(rig.graph->frequencyView(), x0 + 40);
    EXPECT_NEAR(rig.plug->normalisedToReal(bandParam(0, kBandFrequency), lastFreq), expectedHz, expectedHz * 0.01);

    // A double click puts the Phase back to 0 %.
    rig.editor.reports.clear();
    rig.h.click(handle.x, handle.y, kLButton | kDoubleClick);
    ASSERT_FALSE(rig.editor.reports.empty());
    EXPECT_EQ(rig.editor.reports.back().tag, bandParam(0, kBandPhase));
    EXPECT_FLOAT_EQ(rig.editor.reports.back().value, 0.5f);

    // A rubber band around the second handle selects it alone.
    rig.graph->setSelection(1);
    rig.editor.reports.clear();
    const double x1 = graph::xOfFrequency(rig.graph->frequencyView(), 100.0);
    const CPoint other = rig.at(x1, 0.0);
    rig.h.drag(other.x - 15, other.y - 15, other.x + 15, other.y + 15);
    EXPECT_TRUE(rig.graph->isSelected(1));
    EXPECT_FALSE(rig.graph->isSelected(0));
    int selections = 0;
    for (const auto& r : rig.editor.reports) selections += r.tag == kGUISelectedBand + 1 && r.value == 1.f;
    EXPECT_EQ(selections, 1);
}

TEST(PhaseGraphView, RangeBarZoomsAndResets) {
    PhaseRig rig;
    rig.graph->refresh();
    const graph::GraphView before = rig.graph->frequencyView();
    const graph::ScrollThumb t = graph::scrollThumb(before);
    const int barY = 40 + kPlot + rangebar::kHeight / 2;
    rig.h.drag(50 + static_cast<int>(t.x1), barY, 50 + 150, barY);
    EXPECT_GT(rig.graph->frequencyView().fMin, 100.0);
    EXPECT_NEAR(rig.graph->columnFrequency(0), rig.graph->frequencyView().fMin, 1e-9);
    rig.h.click(50 + 200, barY, kRButton);
    EXPECT_DOUBLE_EQ(rig.graph->frequencyView().fMin, 10.0);
    EXPECT_DOUBLE_EQ(rig.graph->frequencyView().fMax, before.fMax);
}

}  // namespace
}  // namespace hm::gui::test
