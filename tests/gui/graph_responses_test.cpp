// The curves' totals: bands in series multiply, bands the "Parallel" mode sums
// add their difference from unity to the dry path; inactive and foreign bands
// stay out; only changed bands are evaluated again.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/AnalogSection.h"
#include "gui/views/BandResponses.h"

namespace hm::gui::graph {
namespace {

GraphBand peak(double hz, double gain) {
    GraphBand b;
    b.state = 2;
    b.groups = 0xC0;  // views 0 and 1
    b.type = 1;
    b.settings.type = dsp::kTypePeak;
    b.settings.frequency = static_cast<float>(hz);
    b.settings.gain = static_cast<float>(gain);
    b.settings.q = 1.0f;
    b.settings.disabled = false;
    b.frequency = hz;
    b.gain = gain;
    return b;
}

TEST(GraphResponses, SeriesMultiplyAndParallelBandsAddToTheDryPath) {
    BandResponses r;
    r.setColumns({1000.0});
    BandSet set;
    set.sampleRate = 48000.0;
    set.bands[0] = peak(1000.0, 20.0 * std::log10(2.0));  // ×2 at its centre
    set.bands[1] = peak(1000.0, 20.0 * std::log10(2.0));
    EXPECT_EQ(r.update(set, 0b11u), 0b11u);
    float db = 0.f;
    r.viewTotal(set, 0, &db);
    EXPECT_NEAR(db, 20.0 * std::log10(4.0), 0.05);  // 2 × 2
    set.parallelMode = 1;                           // peaks summed: 1 + (2 − 1) + (2 − 1)
    r.viewTotal(set, 0, &db);
    EXPECT_NEAR(db, 20.0 * std::log10(3.0), 0.05);
    // A bypassed band keeps its own curve but leaves the total; so does a band of another view.
    set.parallelMode = 0;
    set.bands[1].state = 1;
    r.viewTotal(set, 0, &db);
    EXPECT_NEAR(db, 20.0 * std::log10(2.0), 0.05);
    EXPECT_NEAR(r.db(1)[0], 20.0 * std::log10(2.0), 0.05);
    set.bands[1].state = 2;
    set.bands[1].groups = 0x40;  // view 1 only
    r.viewTotal(set, 0, &db);
    EXPECT_NEAR(db, 20.0 * std::log10(2.0), 0.05);
    r.viewTotal(set, 1, &db);
    EXPECT_NEAR(db, 20.0 * std::log10(4.0), 0.05);
}

TEST(GraphResponses, OnlyChangedBandsAreEvaluatedAgain) {
    BandResponses r;
    r.setColumns({100.0, 1000.0, 10000.0});
    BandSet set;
    set.bands[0] = peak(1000.0, 6.0);
    set.bands[1] = peak(3000.0, -6.0);
    EXPECT_EQ(r.update(set, 0b11u), 0b11u);
    EXPECT_EQ(r.update(set, 0b11u), 0u);
    set.bands[1].settings.gain = -3.0f;
    EXPECT_EQ(r.update(set, 0b11u), 0b10u);
    set.sampleRate = 96000.0;  // a new rate: every band again
    EXPECT_EQ(r.update(set, 0b11u), 0b11u);
    EXPECT_NEAR(r.centreDb(0), 6.0, 0.1);
}

}  // namespace
}  // namespace hm::gui::graph
