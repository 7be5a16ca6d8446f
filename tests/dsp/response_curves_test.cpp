// The graph's response curves against the bank's own column-by-column query, and
// the promise that only bands whose design changed are evaluated again.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/EQBank.h"
#include "dsp/ResponseCurves.h"

namespace hm::dsp {
namespace {

std::vector<double> columns(int count) {
    std::vector<double> hz(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) hz[static_cast<std::size_t>(j)] = 20.0 * std::pow(1000.0, j / (count - 1.0));
    return hz;
}

void bands(EQBank& bank) {
    const int types[] = {kTypePeak, kTypeHighPass, kTypeLowShelf, kTypeHighShelf, kTypeLowPass, kTypeNotch, kTypeBandPass};
    for (int b = 0; b < 14; ++b) {
        bank.setType(types[b % 7], b, -1);
        bank.setSlope(b % 2 ? 8 : 3, b, -1);
        bank.setFrequency(static_cast<float>(40.0 * std::pow(2.0, b * 0.6)), b, -1);
        bank.setGain(b % 3 ? 6.0f : -9.0f, b, -1);
        bank.setQ(0.5f + 0.3f * static_cast<float>(b), b, -1);
        bank.setDisabled(0, b, -1);
    }
}

TEST(ResponseCurves, MatchTheColumnByColumnQueryInSeriesAndParallel) {
    for (int parallel : {0, 2}) {
        SCOPED_TRACE(testing::Message() << "parallel mode " << parallel);
        EQBank bank;
        bank.setSampleRate(44100.0f);
        bands(bank);
        bank.setParallelMode(parallel);
        bank.setMode(0);
        bank.setParallelMode(parallel);  // routing follows the designs' unity flags
        bank.setMode(0);
        const std::vector<double> hz = columns(301);
        ResponseCurves curves;
        curves.setFrequencies(hz.data(), static_cast<int>(hz.size()));
        curves.update(bank, 1);
        for (std::size_t j = 0; j < hz.size(); ++j) {
            const double expected = bank.getDigitalMagnitude(static_cast<float>(hz[j]), 1);
            // The query takes the frequency as a float: compare at the same column.
            EXPECT_NEAR(curves.channelMagnitude()[j], expected, 2e-5 * expected + 1e-9) << hz[j] << " Hz";
        }
        double re = 0.0, im = 0.0;
        bank.getFilter(5, 1)->getResponse(hz[100], &re, &im);
        EXPECT_NEAR(curves.band(5)[100].re, re, 1e-12);
        EXPECT_NEAR(curves.band(5)[100].im, im, 1e-12);
    }
}

TEST(ResponseCurves, EvaluateOnlyBandsWhoseDesignChanged) {
    EQBank bank;
    bank.setSampleRate(48000.0f);
    bands(bank);
    bank.setMode(0);
    const std::vector<double> hz = columns(64);
    ResponseCurves curves;
    curves.setFrequencies(hz.data(), 64);
    EXPECT_EQ(curves.update(bank, 0), bank.getBandCount());
    EXPECT_EQ(curves.update(bank, 0), 0);
    bank.setGain(2.0f, 3, -1);
    bank.setMode(0);
    EXPECT_EQ(curves.update(bank, 0), 1);
    const double before = curves.channelMagnitude()[40];
    bank.setSampleRate(96000.0f);  // every column's point on the circle moves
    bank.setMode(0);
    EXPECT_EQ(curves.update(bank, 0), bank.getBandCount());
    EXPECT_NE(curves.channelMagnitude()[40], before);
}

}  // namespace
}  // namespace hm::dsp
