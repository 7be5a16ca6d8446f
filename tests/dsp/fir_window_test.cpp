// Windows against their closed forms, I0 against its power series, and the
// parameter mapping of the window control.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/fir/Window.h"

using namespace hm::dsp;

namespace {

constexpr double kPi = std::numbers::pi;

// I0(t) = sum (t/2)^{2k} / (k!)^2, summed until the terms vanish.
double i0Series(double t)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 500; ++k) {
        term *= (t / 2.0) * (t / 2.0) / (double(k) * double(k));
        sum += term;
        if (term < sum * 1e-18) break;
    }
    return sum;
}

struct ClosedForm {
    int type;
    double param;
    double (*w)(double x, double p);
};

}  // namespace

TEST(FirWindowTest, BesselI0MatchesPowerSeriesOnBothBranches)
{
    for (double t = 0.0; t <= 40.0; t += 0.173) {
        const double ref = i0Series(t);
        EXPECT_NEAR(besselI0(t) / ref, 1.0, 2.5e-7) << "t=" << t;
        EXPECT_DOUBLE_EQ(besselI0(-t), besselI0(t));
    }
}

TEST(FirWindowTest, EveryTypeMatchesItsClosedForm)
{
    // x = k/(n-1). Written out independently here from the textbook definitions.
    const ClosedForm forms[] = {
        {kWindowRectangular, 0, [](double, double) { return 1.0; }},
        {kWindowHann, 0, [](double x, double) { return std::pow(std::sin(kPi * x), 2.0); }},
        {kWindowHamming, 0, [](double x, double) { return 0.54 - 0.46 * std::cos(2 * kPi * x); }},
        {kWindowTukey, 0.5, [](double x, double a) {
             if (x < a / 2) return std::pow(std::sin(kPi * x / a), 2.0);
             if (x > 1 - a / 2) return std::pow(std::sin(kPi * (1 - x) / a), 2.0);
             return 1.0;
         }},
        {kWindowCosine, 0, [](double x, double) { return std::sin(kPi * x); }},
        {kWindowLanczos, 0, [](double x, double) {
             const double u = 2 * x - 1;
             return u == 0 ? 1.0 : std::sin(kPi * u) / (kPi * u);
         }},
        {kWindowBartlettHann, 0, [](double x, double) {
             return 0.62 - 0.48 * std::abs(x - 0.5) - 0.38 * std::cos(2 * kPi * x);
         }},
        {kWindowBlackman, 0.16, [](double x, double) {
             return 0.42 - 0.5 * std::cos(2 * kPi * x) + 0.08 * std::cos(4 * kPi * x);
         }},
        {kWindowKaiser, 8.6, [](double x, double b) {
             return i0Series(b * std::sqrt(1 - (2 * x - 1) * (2 * x - 1))) / i0Series(b);
         }},
        {kWindowNutall, 0, [](double x, double) {
             return 0.355768 - 0.487396 * std::cos(2 * kPi * x) + 0.144232 * std::cos(4 * kPi * x) -
                    0.012604 * std::cos(6 * kPi * x);
         }},
        {kWindowBlackmanHarris, 0, [](double x, double) {
             return 0.35875 - 0.48829 * std::cos(2 * kPi * x) + 0.14128 * std::cos(4 * kPi * x) -
                    0.01168 * std::cos(6 * kPi * x);
         }},
        {kWindowBlackmanNutall, 0, [](double x, double) {
             return 0.3635819 - 0.4891775 * std::cos(2 * kPi * x) + 0.1365995 * std::cos(4 * kPi * x) -
                    0.0106411 * std::cos(6 * kPi * x);
         }},
        {kWindowFlatTop, 0, [](double x, double) {
             return 1 - 1.93 * std::cos(2 * kPi * x) + 1.29 * std::cos(4 * kPi * x) -
                    0.388 * std::cos(6 * kPi * x) + 0.032 * std::cos(8 * kPi * x);
         }},
    };
    for (const auto& f : forms) {
        for (int n : {2, 7, 64, 513}) {
            const auto w = makeWindow(f.type, f.param, n);
            ASSERT_EQ(static_cast<int>(w.size()), n);
            for (int k = 0; k < n; ++k) {
                const double x = double(k) / double(n - 1);
                EXPECT_NEAR(w[k], f.w(x, f.param), 1e-6) << "type " << f.type << " n " << n << " k " << k;
            }
        }
    }
}

TEST(FirWindowTest, TriangularAndGaussianPeakAtTheRoundedDownCentre)
{
    // Odd n: the usual symmetric shapes. Even n: the centre c = floor((n-1)/2) holds
    // the peak and no tap goes negative.
    const int n = 9;
    const auto tri = makeWindow(kWindowTriangular, 0, n);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(tri[k], 1.0 - std::abs(k - 4) / 4.0, 1e-12);
    const double sigma = 0.4;
    const auto gauss = makeWindow(kWindowGaussian, sigma, n);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(gauss[k], std::exp(-0.5 * std::pow((k - 4) / (sigma * 4), 2)), 1e-12);
    const auto flat = makeWindow(kWindowGaussian, 0.0, n);
    for (double v : flat) EXPECT_EQ(v, 1.0);
    const auto even = makeWindow(kWindowTriangular, 0, 8);
    EXPECT_EQ(std::max_element(even.begin(), even.end()) - even.begin(), 3);
    for (double v : even) EXPECT_GE(v, 0.0);
}

TEST(FirWindowTest, UnknownTypesAndDegenerateLengthsAreHarmless)
{
    for (int type : {-1, 15, 99}) {
        for (double v : makeWindow(type, 0.3, 16)) EXPECT_EQ(v, 1.0);
    }
    EXPECT_TRUE(makeWindow(kWindowHann, 0, 0).empty());
    EXPECT_EQ(makeWindow(kWindowHann, 0, 1), std::vector<double>{1.0});
    for (double v : makeWindow(kWindowTukey, 0.0, 16)) EXPECT_EQ(v, 1.0);
}

TEST(FirWindowTest, ParameterMappingPerType)
{
    struct Case { int type; float x; float expected; };
    const Case cases[] = {
        {kWindowTukey, 0.3f, 0.3f},
        {kWindowGaussian, 0.0f, 0.01f},
        {kWindowGaussian, 1.0f, 10.0f},
        {kWindowGaussian, 0.5f, 0.01f * std::pow(10.0f, 1.5f)},
        {kWindowBlackman, 0.5f, 0.16f},
        {kWindowKaiser, 0.5f, 12.0f},
        {kWindowKaiser, 1.0f, 384.0f},
        {kWindowKaiser, 0.25f, 12.0f / 32.0f},
        {kWindowHann, 0.7f, 0.0f},
        {kWindowFlatTop, 0.7f, 0.0f},
        {42, 0.7f, 0.0f},
        {kWindowKaiser, 2.0f, 384.0f},   // clamped to 1
        {kWindowTukey, -1.0f, 0.0f},
        {kWindowTukey, std::nanf(""), 0.0f},
    };
    for (const auto& c : cases) EXPECT_NEAR(mapWindowParam(c.type, c.x), c.expected, 1e-5f * (1 + c.expected)) << c.type;
}

TEST(FirWindowTest, RecordRecomputesOnlyWhenLengthTypeOrParameterChange)
{
    WindowRecord r;  // Kaiser, beta 12
    const auto first = windowTable(r, 64);
    EXPECT_EQ(r.windowLength, 64);
    setWindowType(r, kWindowKaiser);
    EXPECT_EQ(r.windowLength, 64);  // same type: kept
    setWindowParam(r, 0.5f);        // maps to 12 again: kept
    EXPECT_EQ(r.windowLength, 64);
    setWindowParam(r, 0.4f);
    EXPECT_EQ(r.windowLength, 0);
    EXPECT_NE(windowTable(r, 64), first);
    setWindowType(r, kWindowHann);
    EXPECT_EQ(r.windowLength, 0);
    EXPECT_EQ(windowTable(r, 64), makeWindow(kWindowHann, 0, 64));
}

TEST(FirWindowTest, OneSidedUsesFallingHalfOfDoubleLengthWindow)
{
    WindowRecord r;
    setWindowType(r, kWindowHann);
    const int n = 32;
    std::vector<double> ones(n, 1.0), sym(n, 1.0);
    oneSidedWindow(r, ones.data(), n);
    const auto w2 = makeWindow(kWindowHann, 0, 2 * n);
    for (int k = 0; k < n; ++k) EXPECT_DOUBLE_EQ(ones[k], w2[n + k]);
    symmetricWindow(r, sym.data(), n);
    EXPECT_EQ(sym, makeWindow(kWindowHann, 0, n));
}
