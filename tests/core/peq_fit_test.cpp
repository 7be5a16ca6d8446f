// The fit of bands to a filter list's textbook curve, inside the library: the
// band designs it measures are what an instance runs, each side of a list that
// treats the sides apart follows its own filters, and bypassed bands keep their
// settings. How close the fitted bands sound to curves computed independently
// is checked through the plug-in in tests/tools/PeqImportTest.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "core/params/ParamTable.h"
#include "core/peq/PeqFit.h"
#include "tests/core/ProcessRig.h"

namespace hm::peq {
namespace {

std::string readList(const std::string& name) {
    std::ifstream in(std::string(HM_SOURCE_DIR) + "/tests/tools/reference/lists/" + name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<double> logGrid(double from, double to, int points) {
    std::vector<double> hz(points);
    for (int i = 0; i < points; ++i) hz[i] = from * std::pow(to / from, static_cast<double>(i) / (points - 1));
    return hz;
}

double realOf(const Import& im, int index) { return staticRealOf(index, im.values[index]); }

double worstDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double worst = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(std::max(a[i], kFloorDb) - std::max(b[i], kFloorDb)));
    return worst;
}

TEST(PeqFit, TheBandDesignsItMeasuresAreWhatAnInstanceRuns) {
    constexpr double kRate = 44100.0;
    Import im = importText(readList("overear_treble_cut.txt"));
    ASSERT_TRUE(im.errors.empty());
    fitToTextbook(im, kRate);
    EXPECT_EQ(im.playRate, kRate);

    test::ClockedPlug plug;
    plug.setSampleRate(static_cast<float>(kRate));
    for (int i = 0; i < kNumParams; ++i) plug.setParameter(i, im.values[i]);
    plug.settle();
    const std::vector<double> hz = logGrid(20.0, 20000.0, 181);
    const std::vector<double> measured = bandsDigitalDb(im, kRate, 0, hz);  // master gain left out, as the bank leaves it
    auto lock = plug.lockUpdates();
    for (std::size_t i = 0; i < hz.size(); ++i) {
        const double instance = 20.0 * std::log10(plug.bank().getDigitalMagnitude(static_cast<float>(hz[i]), 0));
        EXPECT_NEAR(instance, measured[i], 0.005) << hz[i] << " Hz";
    }
}

TEST(PeqFit, EachSideFollowsItsOwnFilters) {
    const char* text =
        "Preamp: -4 dB\n"
        "Filter 1: ON LSC Fc 105 Hz Gain 3.5 dB Q 0.7\n"
        "Channel: L\n"
        "Filter 2: ON PK Fc 6100 Hz Gain -5 dB Q 4\n"
        "Filter 3: ON PK Fc 17800 Hz Gain -9 dB Q 2.5\n"
        "Channel: R\n"
        "Filter 4: ON PK Fc 8800 Hz Gain 4 dB Q 3\n"
        "Filter 5: ON HSC Fc 12000 Hz Gain -3 dB Q 0.7\n";
    Import im = importText(text);
    ASSERT_TRUE(im.errors.empty());
    const std::vector<double> hz = logGrid(kFitFromHz, kFitUpToHz, 2000);
    for (double rate : {44100.0, 48000.0}) {
        Import fitted = im;
        fitToTextbook(fitted, rate);
        for (int channel : {0, 1}) {
            SCOPED_TRACE(std::to_string(rate) + (channel == 0 ? " left" : " right"));
            const std::vector<double> textbook = textbookDb(im, rate, channel, hz);
            // The test means something: the prototypes are far off in the treble.
            EXPECT_GT(worstDifference(bandsDigitalDb(im, rate, channel, hz), textbook), 0.5);
            EXPECT_LT(worstDifference(bandsDigitalDb(fitted, rate, channel, hz), textbook), 0.1);
        }
        // Bands stay on their side.
        for (int b = 0; b < 5; ++b)
            EXPECT_EQ(realOf(fitted, bandParam(b, kBandGroups)), realOf(im, bandParam(b, kBandGroups))) << b;
    }
}

TEST(PeqFit, BypassedBandsKeepTheirSettingsAndFittedGainsTheirSign) {
    const char* text =
        "Filter 1: ON PK Fc 250 Hz Gain -3 dB Q 1\n"
        "Filter 2: OFF PK Fc 3000 Hz Gain -24 dB Q 2\n"
        "Filter 3: ON PK Fc 12000 Hz Gain 6 dB Q 2\n"
        "Filter 4: ON PK Fc 19000 Hz Gain -8 dB Q 1.5\n";
    const Import im = importText(text);
    ASSERT_TRUE(im.errors.empty());
    Import fitted = im;
    fitToTextbook(fitted, 44100.0);
    const auto gainDb = [](const Import& i, int band) { return realOf(i, bandParam(band, kBandGain)) * realOf(i, kScale); };
    for (int field : {kBandState, kBandFrequency, kBandQ, kBandType})
        EXPECT_NEAR(realOf(fitted, bandParam(1, field)), realOf(im, bandParam(1, field)), 1e-3) << field;
    EXPECT_NEAR(gainDb(fitted, 1), -24.0, 1e-3);
    EXPECT_LT(gainDb(fitted, 0), 0.0);
    EXPECT_GT(gainDb(fitted, 2), 0.0);
    EXPECT_LT(gainDb(fitted, 3), 0.0);
    // The treble bands moved: the prototypes were not the textbook curve there.
    EXPECT_GT(std::fabs(realOf(fitted, bandParam(2, kBandFrequency)) - 12000.0) +
                  std::fabs(realOf(fitted, bandParam(2, kBandQ)) - 2.0),
              1e-3);
}

TEST(PeqFit, FiltersAtOrAboveNyquistLeaveTheBandsAsPrototypes) {
    const Import im = importText("Filter 1: ON PK Fc 1000 Hz Gain 3 dB Q 1\nFilter 2: ON PK Fc 12000 Hz Gain -4 dB Q 2\n");
    Import low = im;
    fitToTextbook(low, 22050.0);  // 12 kHz is above its Nyquist frequency
    EXPECT_EQ(low.playRate, 0.0);
    EXPECT_EQ(low.values, im.values);
}

}  // namespace
}  // namespace hm::peq
