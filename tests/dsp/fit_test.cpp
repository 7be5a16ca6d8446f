// The magnitude fitter: recovers a known biquad from its own magnitude, never
// returns something worse or unstable, and keeps the grid it promises.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "dsp/DigitalResponse.h"
#include "dsp/design/MagnitudeFit.h"

namespace hm::dsp {
namespace {

void targetFrom(FitWorkspace& ws, const Biquad& bq)
{
    for (int j = 0; j < kFitPoints; ++j) ws.fitTarget[j] = biquadMagnitude(bq, ws.fitOmega[j]);
}

TEST(FitGrid, LogSpacedFromTwentyHertzToNyquist)
{
    static FitWorkspace ws;
    prepareFitGrid(ws, 48000.0);
    EXPECT_NEAR(ws.fitOmega[0], 2.0 * M_PI * 20.0 / 48000.0, 1e-15);
    EXPECT_NEAR(ws.fitOmega[kFitPoints - 1], M_PI, 1e-12);
    const double ratio = ws.fitOmega[1] / ws.fitOmega[0];
    for (int j = 1; j < kFitPoints; ++j) EXPECT_NEAR(ws.fitOmega[j] / ws.fitOmega[j - 1], ratio, 1e-9);
    EXPECT_NEAR(ws.fitCos2[40], std::cos(2.0 * ws.fitOmega[40]), 1e-15);
    prepareFitGrid(ws, 96000.0);
    EXPECT_NEAR(ws.fitOmega[0], 2.0 * M_PI * 20.0 / 96000.0, 1e-15);
}

TEST(Fit, RecoversKnownBiquadFromPerturbedStart)
{
    struct Case {
        const char* what;
        Biquad truth;
    };
    // Minimum-phase sections with poles well inside the unit circle.
    const Case cases[] = {
        {"resonant low-pass", {0.02, 0.04, 0.02, -1.6, 0.7}},
        {"peak", {1.1, -1.7, 0.75, -1.7, 0.85}},
        {"shelf", {1.8, -1.2, 0.3, -0.6, 0.1}},
        {"band-pass-like", {0.3, 0.0, -0.25, -1.2, 0.5}},
    };
    static FitWorkspace ws;
    prepareFitGrid(ws, 44100.0);
    for (const Case& c : cases) {
        targetFrom(ws, c.truth);
        Biquad start = c.truth;
        start.b1 *= 1.03;
        start.a1 *= 0.98;
        start.a2 *= 1.02;
        const double x0[4] = {start.b1 / start.b0, start.b2 / start.b0, start.a1, start.a2};
        const double before = fitError(ws, x0, nullptr);
        ASSERT_GT(before, 1e-8) << c.what;
        Biquad fitted = start;
        ASSERT_TRUE(fitBiquad(ws, FitMethod{100, 1.0, 0.0}, fitted)) << c.what;
        const double x1[4] = {fitted.b1 / fitted.b0, fitted.b2 / fitted.b0, fitted.a1, fitted.a2};
        const double after = fitError(ws, x1, nullptr);
        EXPECT_LT(after, before * 1e-3) << c.what;
        for (int j = 0; j < kFitPoints; j += 7)
            EXPECT_NEAR(biquadMagnitude(fitted, ws.fitOmega[j]) / ws.fitTarget[j], 1.0, 5e-3) << c.what << " point " << j;
    }
}

TEST(Fit, KeepsTheMappingWhenNothingCanBeGained)
{
    static FitWorkspace ws;
    prepareFitGrid(ws, 48000.0);
    const Biquad exact{0.9, -1.5, 0.7, -1.5, 0.6};
    targetFrom(ws, exact);
    Biquad same = exact;
    // A start at the optimum is at most as good afterwards: the result is refused
    // or equal, never worse.
    const bool accepted = fitBiquad(ws, fitMethod(3), same);
    if (!accepted) {
        EXPECT_EQ(same.b0, exact.b0);
        EXPECT_EQ(same.a2, exact.a2);
    }
    for (int j = 0; j < kFitPoints; j += 11)
        EXPECT_NEAR(biquadMagnitude(same, ws.fitOmega[j]), ws.fitTarget[j], 1e-6 * ws.fitTarget[j] + 1e-9);
}

TEST(Fit, ResultIsStableEvenFromAnUnstableStart)
{
    static FitWorkspace ws;
    prepareFitGrid(ws, 44100.0);
    targetFrom(ws, Biquad{0.5, -0.4, 0.1, -1.1, 0.4});
    Biquad start{0.5, -0.4, 0.1, -2.4, 1.6};  // poles outside the unit circle
    fitBiquad(ws, fitMethod(4), start);
    const std::complex<double> disc = std::sqrt(std::complex<double>(start.a1 * start.a1 - 4.0 * start.a2));
    EXPECT_LT(std::abs((-start.a1 + disc) / 2.0), 1.0);
    EXPECT_LT(std::abs((-start.a1 - disc) / 2.0), 1.0);
}

TEST(Fit, ReflectionKeepsMagnitudeShape)
{
    struct Case {
        double c1, c2;
    };
    // Real roots 2 and 0.5; complex pair of radius 1.5; already inside.
    for (const Case& c : {Case{-2.5, 1.0}, Case{-1.5, 2.25}, Case{0.3, 0.2}}) {
        double r1 = c.c1, r2 = c.c2;
        const double shrink = reflectIntoUnitCircle(r1, r2);
        const std::complex<double> disc = std::sqrt(std::complex<double>(r1 * r1 - 4.0 * r2));
        EXPECT_LE(std::abs((-r1 + disc) / 2.0), 1.0 + 1e-12);
        EXPECT_LE(std::abs((-r1 - disc) / 2.0), 1.0 + 1e-12);
        for (double w : {0.1, 1.0, 2.0, 3.0}) {
            const std::complex<double> z = std::polar(1.0, w);
            EXPECT_NEAR(std::abs(z * z + c.c1 * z + c.c2), shrink * std::abs(z * z + r1 * z + r2), 1e-12);
        }
    }
}

}  // namespace
}  // namespace hm::dsp
