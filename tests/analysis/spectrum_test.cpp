// The analyser's frame against analytic expectations: the level of a sine on
// a bin centre, where a sine lands among the columns, tilt, top and range,
// the hold's decay and the smoothing's sagging edges.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/SpectrumColumns.h"
#include "analysis/SpectrumFrame.h"

namespace hm::analysis {
namespace {

constexpr double kNyquist = 24000.0;

std::vector<double> sine(double hz, double amplitude, double nyquist = kNyquist) {
    std::vector<double> x(kSpectrumSize);
    for (int i = 0; i < kSpectrumSize; ++i) x[i] = amplitude * std::sin(2.0 * std::numbers::pi * hz * i / (2.0 * nyquist));
    return x;
}

double binHz(int k) { return k * 2.0 * kNyquist / kSpectrumSize; }

// dB of a depth on a scale.
double dbOfDepth(double depth, const DepthScale& s) { return s.top - depth * s.range; }

TEST(Spectrum, WindowIsTheKaiserOfBetaTwelve) {
    const double* w = analyserWindow();
    EXPECT_NEAR(w[4095], w[4096], 1e-12);  // symmetric about 4095.5
    EXPECT_NEAR(w[0], 1.0 / std::cyl_bessel_i(0.0, 12.0), 1e-9);
    // Coherent gain (mean of the window): 0.35784.
    double sum = 0.0;
    for (int i = 0; i < kSpectrumSize; ++i) sum += w[i];
    EXPECT_NEAR(sum / kSpectrumSize, 0.35784, 2e-5);
}

TEST(Spectrum, FullScaleSineOnABinCentreReadsItsHalfAmplitudeTimesCoherentGain) {
    SpectrumFrame frame;
    std::vector<double> depth(kSpectrumBins);
    const DepthScale scale{0.0, 96.0, 0.0, kNyquist};
    frame.depths(sine(binHz(512), 1.0).data(), scale, depth.data());
    EXPECT_NEAR(20.0 * std::log10(frame.magnitudes()[512]), -14.95, 0.01);
    EXPECT_NEAR(dbOfDepth(depth[512], scale), -14.95, 0.01);
    // Silence sits at the bottom (the 1e-10 floor is −200 dB).
    frame.depths(std::vector<double>(kSpectrumSize, 0.0).data(), scale, depth.data());
    for (int k = 0; k < kSpectrumBins; k += 97) EXPECT_EQ(depth[k], 1.0);
}

TEST(Spectrum, TopAndRangePlaceComponentsAtTheEdges) {
    SpectrumFrame frame;
    std::vector<double> depth(kSpectrumBins);
    const DepthScale scale{-12.0, 48.0, 0.0, kNyquist};
    // A component reading −12 dB: amplitude 2 · 10^(−12/20) ÷ coherent gain.
    const double gain = 0.35784;
    frame.depths(sine(binHz(300), 2.0 * std::pow(10.0, -12.0 / 20.0) / gain).data(), scale, depth.data());
    EXPECT_NEAR(depth[300], 0.0, 1e-3);
    frame.depths(sine(binHz(300), 2.0 * std::pow(10.0, -60.0 / 20.0) / gain).data(), scale, depth.data());
    EXPECT_NEAR(depth[300], 1.0, 1e-3);
}

TEST(Spectrum, TiltRaisesTwoKilohertzByItsValueAgainstOne) {
    SpectrumFrame frame;
    std::vector<double> depth(kSpectrumBins);
    // At 32 kHz (bins of 3.90625 Hz) 500 Hz, 1 kHz and 2 kHz are bin centres 128, 256 and 512.
    const double nyquist = 16000.0;
    const DepthScale scale{0.0, 96.0, 3.0, nyquist};
    frame.depths(sine(1000.0, 0.5, nyquist).data(), scale, depth.data());
    const double at1k = dbOfDepth(depth[256], scale);
    frame.depths(sine(2000.0, 0.5, nyquist).data(), scale, depth.data());
    const double at2k = dbOfDepth(depth[512], scale);
    frame.depths(sine(500.0, 0.5, nyquist).data(), scale, depth.data());
    const double at500 = dbOfDepth(depth[128], scale);
    EXPECT_NEAR(at2k - at1k, 3.0, 0.01);
    EXPECT_NEAR(at500 - at1k, -3.0, 0.01);
}

TEST(Spectrum, ASineLightsItsColumnAndNothingLoudBeyondTheMainLobe) {
    SpectrumFrame frame;
    std::vector<double> depth(kSpectrumBins);
    const DepthScale scale{0.0, 96.0, 0.0, kNyquist};
    const double hz = 1234.5;
    frame.depths(sine(hz, 1.0).data(), scale, depth.data());
    const int columns = 800;
    const double fMin = 20.0, fMax = 20000.0;
    std::vector<double> col(columns);
    columnDepths(depth.data(), columns, fMin, fMax, kNyquist, col.data());
    const double expectedColumn = std::log(hz / fMin) / std::log(fMax / fMin) * columns;
    int loudest = 0;
    for (int x = 1; x < columns; ++x)
        if (col[x] < col[loudest]) loudest = x;
    EXPECT_NEAR(loudest, expectedColumn, 1.0);
    // The Kaiser window's main lobe (β 12) reaches about ±4 bins; beyond it
    // everything lies more than 40 dB below the peak.
    const double lobeHz = 4.0 * binHz(1);
    for (int x = 0; x < columns; ++x) {
        const double lo = fMin * std::pow(fMax / fMin, static_cast<double>(x) / columns);
        const double hi = fMin * std::pow(fMax / fMin, (x + 1.0) / columns);
        if (hi < hz - lobeHz || lo > hz + lobeHz) {
            EXPECT_GT((col[x] - col[loudest]) * scale.range, 40.0) << x;
        }
    }
}

TEST(Spectrum, AWideColumnTakesItsLoudestBin) {
    std::vector<double> depth(kSpectrumBins, 0.9);
    depth[2000] = 0.1;
    // One column from 10 Hz to Nyquist covers every bin: the loudest wins.
    double out = 0.0;
    columnDepths(depth.data(), 1, 10.0, kNyquist, kNyquist, &out);
    EXPECT_EQ(out, 0.1);
}

TEST(Spectrum, HoldDecaysByTheFactorPerFrame) {
    std::vector<double> held(4, 0.0), loud(4, 0.2), silent(4, 1.0);
    holdLevels(held.data(), loud.data(), 4, 0.999);
    EXPECT_DOUBLE_EQ(held[0], 0.8);
    holdLevels(held.data(), silent.data(), 4, 0.999);  // "Slow"
    EXPECT_DOUBLE_EQ(held[0], 0.8 * 0.999);
    holdLevels(held.data(), silent.data(), 4, 0.999);
    EXPECT_DOUBLE_EQ(held[0], 0.8 * 0.999 * 0.999);
    holdLevels(held.data(), silent.data(), 4, 0.0);  // "Instant"
    EXPECT_DOUBLE_EQ(held[0], 0.0);
    std::vector<double> louder(4, 0.1);
    holdLevels(held.data(), louder.data(), 4, 0.9);
    EXPECT_DOUBLE_EQ(held[0], 0.9);  // a higher level replaces the held one at once
}

TEST(Spectrum, HeavySmoothingSagsAtTheEdges) {
    const int n = 40;
    std::vector<double> held(n, 0.6), scratch(n);
    smoothLevels(held.data(), n, 8, scratch.data());  // "Heavy": 15 columns
    for (int x = 0; x < 7; ++x) {
        EXPECT_NEAR(held[x], 0.6 * (8 + x) / 15.0, 1e-12) << x;
        EXPECT_NEAR(held[n - 1 - x], 0.6 * (8 + x) / 15.0, 1e-12) << x;
    }
    for (int x = 7; x < n - 7; ++x) EXPECT_NEAR(held[x], 0.6, 1e-12) << x;
    // A single lit column spreads evenly over its 15 neighbours.
    std::vector<double> spike(n, 0.0);
    spike[20] = 1.5;
    smoothLevels(spike.data(), n, 8, scratch.data());
    for (int x = 13; x <= 27; ++x) EXPECT_NEAR(spike[x], 0.1, 1e-12);
    EXPECT_EQ(spike[12], 0.0);
    std::vector<double> mild{0.0, 0.3, 0.0};
    smoothLevels(mild.data(), 3, 1, scratch.data());  // h = 1: unchanged
    EXPECT_EQ(mild[1], 0.3);
}

}  // namespace
}  // namespace hm::analysis
