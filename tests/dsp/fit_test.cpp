// The magnitude fitter: recovers a known biquad from its own magnitude, never
// returns something worse or unstable, and keeps the grid it promises.
#include <gtest/gtest.h>

#include <algorithm>
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

// The analytic gradient against central differences of the error itself, at
// points inside the unit circle and at points the stabilising reflection moves.
TEST(Fit, AnalyticGradientMatchesDifferencesOfTheError)
{
    static FitWorkspace ws;
    prepareFitGrid(ws, 48000.0);
    targetFrom(ws, Biquad{1.1, -1.7, 0.75, -1.7, 0.85});
    const double points[][4] = {
        {-1.5, 0.7, -1.6, 0.8},   // near the target
        {0.3, -0.2, 0.4, 0.1},    // far from it
        {-1.2, 0.5, -2.5, 1.2},   // real roots outside: reflected
        {-1.0, 0.4, 0.5, 1.8},    // complex pair outside: reflected
    };
    for (const auto& x : points) {
        double grad[4];
        const double error = fitErrorGradient(ws, x, grad);
        EXPECT_DOUBLE_EQ(error, fitError(ws, x, nullptr));
        for (int i = 0; i < 4; ++i) {
            double up[4], down[4];
            std::copy(x, x + 4, up);
            std::copy(x, x + 4, down);
            const double h = 1e-6 * (1.0 + std::fabs(x[i]));
            up[i] += h;
            down[i] -= h;
            const double difference = (fitError(ws, up, nullptr) - fitError(ws, down, nullptr)) / (2.0 * h);
            EXPECT_NEAR(grad[i], difference, 1e-5 * (1.0 + std::fabs(difference))) << "x" << i << " at " << x[0];
        }
    }
}

// Where the direct mapping already matches every grid point within 0.1 %, the fit
// leaves it alone; where it does not, the fit runs and improves it.
TEST(Fit, SkipsOnlyMappingsThatAlreadyMatch)
{
    static FitWorkspace ws;
    prepareFitGrid(ws, 48000.0);
    const Biquad truth{1.1, -1.7, 0.75, -1.7, 0.85};
    targetFrom(ws, truth);
    Biquad close = truth;
    close.a2 += 1e-5;  // the pole radius off by 5e-6: under 0.1 % at every grid point
    for (int j = 0; j < kFitPoints; ++j)
        ASSERT_NEAR(biquadMagnitude(close, ws.fitOmega[j]) / ws.fitTarget[j], 1.0, 1e-3);
    EXPECT_FALSE(fitBiquad(ws, fitMethod(2), close));
    EXPECT_EQ(close.a2, truth.a2 + 1e-5);
    Biquad off = truth;
    off.a1 *= 1.01;
    EXPECT_TRUE(fitBiquad(ws, fitMethod(2), off));
}

// A redesign after a small move starts from the last fit: it ends at least as
// close to the target as a fit from the mapping, and a stale start that is worse
// than the mapping is ignored.
TEST(Fit, WarmStartIsNeverWorseThanAColdFit)
{
    static FitWorkspace ws;
    prepareFitGrid(ws, 44100.0);
    const auto errorOf = [&](const Biquad& bq) {
        const double x[4] = {bq.b1 / bq.b0, bq.b2 / bq.b0, bq.a1, bq.a2};
        return fitError(ws, x, nullptr);
    };
    FitStart warm;
    Biquad first{0.6, -0.5, 0.2, -1.2, 0.5};
    targetFrom(ws, Biquad{0.5, -0.4, 0.1, -1.1, 0.4});
    ASSERT_TRUE(fitBiquad(ws, fitMethod(4), first, &warm));
    ASSERT_TRUE(warm.valid);

    targetFrom(ws, Biquad{0.5, -0.42, 0.1, -1.12, 0.41});  // the band moved a little
    const Biquad mapping{0.6, -0.5, 0.2, -1.2, 0.5};
    Biquad cold = mapping, hot = mapping;
    ASSERT_TRUE(fitBiquad(ws, fitMethod(4), cold));
    ASSERT_TRUE(fitBiquad(ws, fitMethod(4), hot, &warm));
    EXPECT_LE(errorOf(hot), errorOf(cold) * 1.0001 + 1e-24);

    FitStart stale;
    stale.valid = true;
    const double far[4] = {1.9, 0.95, 1.9, 0.95};
    std::copy(far, far + 4, stale.x);
    Biquad fromStale = mapping;
    ASSERT_TRUE(fitBiquad(ws, fitMethod(4), fromStale, &stale));
    EXPECT_LE(errorOf(fromStale), errorOf(cold) * 1.0001 + 1e-24);
}

// A band-pass fit keeps the numerator's zero at DC, which the grid (from 20 Hz)
// cannot see.
TEST(Fit, KeepsTheDcZeroWhenAsked)
{
    static FitWorkspace ws;
    prepareFitGrid(ws, 96000.0);
    const Biquad truth{0.05, 0.0, -0.05, -1.85, 0.9};
    targetFrom(ws, truth);
    Biquad start{0.06, 0.0, -0.06, -1.83, 0.89};
    FitMethod method = fitMethod(0);
    method.keepDcZero = true;
    ASSERT_TRUE(fitBiquad(ws, method, start));
    EXPECT_NEAR(start.b0 + start.b1 + start.b2, 0.0, 1e-12 * std::fabs(start.b0));
}

}  // namespace
}  // namespace hm::dsp
