// The impulse graph: its column reduction and scales at known values, the
// zoom bar's limits, and the curve drawn from the filter bank's own impulse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/params/ParamIds.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/MenuPopup.h"
#include "gui/views/IRGraph.h"
#include "gui/views/ImpulseColumns.h"
#include "tests/gui/setup_Harness.h"

namespace hm::gui::test {
namespace {

TEST(ImpulseColumns, ScalesAtKnownValues) {
    const double H = 200.0;
    struct Case {
        double v;
        double linear;
        double db120;
    };
    const Case cases[] = {
        {1.0, 0.0, 0.0},            // full scale: the top
        {-1.0, 200.0, 0.0},         // dB scales look at the magnitude
        {0.0, 100.0, 200.0},        // silence: the middle, or the bottom line of the dB scale
        {0.5, 50.0, 200.0 * 20.0 * std::log10(2.0) / 120.0},
        {1e-3, 99.9, 100.0},        // -60 dB: half way down 120 dB
        {1e-9, 100.0 - 1e-7, 200.0},  // below the range: the bottom
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ir::linearY(c.v, H), c.linear, 1e-9) << c.v;
        EXPECT_NEAR(ir::dbY(c.v, 120.0, H), c.db120, 1e-9) << c.v;
    }
    EXPECT_NEAR(ir::dbY(0.01, 80.0, H), 100.0, 1e-9);
    EXPECT_NEAR(ir::dbY(std::nan(""), 80.0, H), H, 1e-9);
}

TEST(ImpulseColumns, PairsSumAndTheLargestMagnitudeWins) {
    // Sixteen samples over four columns: four each, two pairs a column.
    const double s[16] = {0.1, 0.2, -0.5, -0.4, 0, 0, 0, 0, 1, -1, 0.25, 0.25, 0.3, 0.1, -0.2, -0.3};
    std::vector<float> out;
    ir::columnValues(s, 16, 0.0, 1.0, 4, true, out);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_FLOAT_EQ(out[0], -0.9f);
    EXPECT_FLOAT_EQ(out[1], 0.f);
    EXPECT_FLOAT_EQ(out[2], 0.5f) << "1 and -1 cancel in their pair";
    EXPECT_FLOAT_EQ(out[3], -0.5f);
    ir::columnValues(s, 16, 0.0, 1.0, 4, false, out);
    EXPECT_FLOAT_EQ(out[2], 1.f);
    // Zoomed into the third quarter: every column covers one sample, paired with the next.
    ir::columnValues(s, 16, 0.5, 0.75, 4, true, out);
    EXPECT_FLOAT_EQ(out[0], 0.f);
    EXPECT_FLOAT_EQ(out[1], -0.75f);
    ir::columnValues(nullptr, 16, 0.0, 1.0, 4, true, out);
    EXPECT_TRUE(out.empty());
}

constexpr int kW = 400, kH = 150;

struct ImpulseRig : InstanceRig {
    IRGraph* graph = nullptr;
    ImpulseRig() : InstanceRig(2, 500, 300) {
        graph = new IRGraph(CRect::fromSize(50, 40, kW, kH), &editor, kGUIIRGraph, 101, 102);
        h.frame->addView(graph);
    }
    void setReal(int index, double real) { plug->setParameter(index, static_cast<float>(plug->realToNormalised(index, real))); }
    int barX(double fraction) const { return 50 + static_cast<int>(std::lround(rangebar::markerX(fraction, kW))); }
    int barY() const { return 40 + kH - rangebar::kHeight / 2; }
};

TEST(IRGraphView, ZoomMarkersStopApartAndTheBarResets) {
    ImpulseRig rig;
    const rangebar::ZoomRange& z = rig.graph->zoom();
    EXPECT_EQ(z.start, 0.0);
    EXPECT_EQ(z.end, 1.0);
    rig.h.drag(rig.barX(0.0), rig.barY(), rig.barX(0.6), rig.barY());
    EXPECT_NEAR(z.start, 0.6, 0.005);
    // The start dragged past the end stops 0.01 before it, and the other way round.
    rig.h.drag(rig.barX(z.start), rig.barY(), 50 + kW + 40, rig.barY());
    EXPECT_DOUBLE_EQ(z.start, z.end - 0.01);
    EXPECT_DOUBLE_EQ(z.end, 1.0);
    rig.h.click(rig.barX(0.5), rig.barY(), kRButton);
    EXPECT_EQ(z.start, 0.0);
    EXPECT_EQ(z.end, 1.0);
    rig.h.drag(rig.barX(1.0), rig.barY(), rig.barX(0.3), rig.barY());
    rig.h.drag(rig.barX(0.3), rig.barY(), 10, rig.barY());
    EXPECT_DOUBLE_EQ(z.end, z.start + 0.01);
    EXPECT_DOUBLE_EQ(z.start, 0.0);
    // Between the markers the whole range moves, keeping its width, within 0..1.
    rig.h.click(rig.barX(0.5), rig.barY(), kRButton);
    rig.h.drag(rig.barX(1.0), rig.barY(), rig.barX(0.5), rig.barY());
    rig.h.drag(rig.barX(0.25), rig.barY(), rig.barX(0.25) - 1000, rig.barY());
    EXPECT_NEAR(z.start, 0.0, 1e-12);
    EXPECT_NEAR(z.end, 0.5, 0.005);
}

TEST(IRGraphView, ScaleMenuAndChannelMenu) {
    ImpulseRig rig;
    EXPECT_TRUE(rig.graph->dbScale());
    EXPECT_EQ(rig.graph->dbRange(), 120.0);
    for (int item : {0, 4, 1}) {
        rig.h.click(50 + kW - 4, 44);
        COptionMenu* menu = rig.graph->displayMenu();
        ASSERT_TRUE(menu->isPopupOpen());
        const CRect r = menu->getPopup()->itemRect(0, item);
        rig.h.window->move((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        rig.h.click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        EXPECT_EQ(rig.graph->dbScale(), item != 0);
        if (item != 0) EXPECT_EQ(rig.graph->dbRange(), 40.0 * item + 40.0);
    }
    rig.h.click(54, 44);
    COptionMenu* channels = rig.graph->channelMenu();
    ASSERT_TRUE(channels->isPopupOpen());
    ASSERT_EQ(channels->getNbEntries(), 2);
    EXPECT_STREQ(channels->getEntry(1), rig.plug->getChannelName(1));
    const CRect r = channels->getPopup()->itemRect(0, 1);
    rig.h.window->move((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    rig.h.click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(rig.graph->channel(), 1);
}

TEST(IRGraphView, TheCurveIsTheBankImpulseWithItsPeakInTheMiddle) {
    ImpulseRig rig;
    rig.setReal(kIRLength, 0);  // 1024 samples
    rig.setReal(kIRPhase, 0);   // "Linear"
    rig.setReal(kMode, 1);
    rig.setReal(bandParam(0, kBandType), 1);
    rig.setReal(bandParam(0, kBandGain), 9.0);
    rig.setReal(bandParam(0, kBandFrequency), 1000.0);
    rig.setReal(bandParam(0, kBandState), 2);
    rig.plug->setManualClock(1e9);
    rig.plug->updateProcessing(true);
    rig.plug->bank().waitForFir();
    rig.h.frame->idle();  // the graph notices the new impulse by itself
    ASSERT_EQ(rig.graph->impulseLength(), 1024);
    const std::vector<float>& columns = rig.graph->impulseColumns();
    ASSERT_EQ(columns.size(), static_cast<std::size_t>(kW));
    const auto peak = std::max_element(columns.begin(), columns.end(),
                                       [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    EXPECT_EQ(peak - columns.begin(), kW / 2);
    // A +9 dB peak: the centre holds more than unity.
    EXPECT_GT(*peak, 1.f);
    // The window is drawn too and peaks where the impulse does (its two middle
    // samples are equal, so either middle column).
    const std::vector<float>& window = rig.graph->windowColumns();
    EXPECT_NEAR(std::max_element(window.begin(), window.end()) - window.begin(), kW / 2, 1);
    // The white curve passes the top part of the dB scale at the centre column.
    rig.h.frame->updateDirty();
    bool white = false;
    for (int y = 40; y < 40 + 12; ++y) white = white || rig.h.pixel(50 + kW / 2, y) == 0xFFFFFFu;
    EXPECT_TRUE(white);
}

}  // namespace
}  // namespace hm::gui::test
