// The 1/24-octave grid, the frequency response of known impulse responses
// (analytic references), the CSV and the PNG plot decoded with libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <sstream>

#include "tools/harmoniform/PlotFont.h"
#include "tools/harmoniform/PlotPng.h"
#include "tools/harmoniform/Response.h"

namespace hm::tool {
namespace {

TEST(ResponseGrid, OneRowPerTwentyFourthOctaveThroughOneKilohertz) {
    for (double rate : {44100.0, 48000.0, 96000.0, 22050.0}) {
        SCOPED_TRACE(rate);
        const std::vector<double> hz = responseGrid(rate);
        ASSERT_GT(hz.size(), 100u);
        for (std::size_t i = 1; i < hz.size(); ++i) EXPECT_NEAR(hz[i] / hz[i - 1], std::exp2(1.0 / 24.0), 1e-12);
        EXPECT_TRUE(std::any_of(hz.begin(), hz.end(), [](double f) { return std::fabs(f - 1000.0) < 1e-9; }));
        const double top = std::min(22000.0, 0.49 * rate);
        // The grid reaches as far as it may and no further at both ends.
        EXPECT_GE(hz.front(), 10.0);
        EXPECT_LT(hz.front() / std::exp2(1.0 / 24.0), 10.0);
        EXPECT_LE(hz.back(), top);
        EXPECT_GT(hz.back() * std::exp2(1.0 / 24.0), top);
    }
}

TEST(FrequencyResponse, MatchesAnalyticResponsesOfSimpleFilters) {
    const double rate = 48000.0;
    const std::vector<double> hz = {50.0, 1000.0, 5000.0, 12000.0, 20000.0};
    // A unit impulse: flat and without phase.
    std::vector<double> unit(64, 0.0);
    unit[0] = 1.0;
    // Five samples of delay: phase -360 f 5 / rate degrees.
    std::vector<double> delayed(64, 0.0);
    delayed[5] = 1.0;
    // Two-tap average: |H| = |cos(pi f / rate)|, phase -180 f / rate degrees.
    std::vector<double> average(64, 0.0);
    average[0] = average[1] = 0.5;
    const auto wrap = [](double deg) { return std::remainder(deg, 360.0); };

    const auto flat = frequencyResponse(unit, rate, hz);
    const auto late = frequencyResponse(delayed, rate, hz);
    const auto mean = frequencyResponse(average, rate, hz);
    // With its five samples of latency taken out, the delayed impulse is flat and without phase.
    const auto compensated = frequencyResponse(delayed, rate, hz, 5);
    for (std::size_t i = 0; i < hz.size(); ++i) {
        SCOPED_TRACE(hz[i]);
        EXPECT_NEAR(flat[i].magnitudeDb, 0.0, 1e-9);
        EXPECT_NEAR(flat[i].phaseDegrees, 0.0, 1e-9);
        EXPECT_NEAR(late[i].magnitudeDb, 0.0, 1e-9);
        EXPECT_NEAR(wrap(late[i].phaseDegrees - -360.0 * hz[i] * 5.0 / rate), 0.0, 1e-6);
        EXPECT_NEAR(compensated[i].magnitudeDb, 0.0, 1e-9);
        EXPECT_NEAR(compensated[i].phaseDegrees, 0.0, 1e-6);
        EXPECT_NEAR(mean[i].magnitudeDb, 20.0 * std::log10(std::cos(std::numbers::pi * hz[i] / rate)), 1e-9);
        EXPECT_NEAR(wrap(mean[i].phaseDegrees - -180.0 * hz[i] / rate), 0.0, 1e-6);
    }
}

TEST(FrequencyResponse, SymmetricResponseAroundItsLatencyHasNoPhase) {
    // A linear-phase FIR centred at sample 8 (its latency): h[8 - k] = h[8 + k].
    // Its response is real: sum of h[8] + 2 h[8+k] cos(w k), phase 0 or 180.
    const std::vector<double> h = {0.01, -0.02, 0.03, -0.05, 0.08, -0.1, 0.15, 0.3, 1.0,
                                   0.3,  0.15,  -0.1, 0.08, -0.05, 0.03, -0.02, 0.01};
    const double rate = 48000.0;
    const std::vector<double> hz = {100.0, 3000.0, 9000.0, 17000.0};
    const auto points = frequencyResponse(h, rate, hz, 8);
    for (std::size_t i = 0; i < hz.size(); ++i) {
        double real = h[8];
        for (int k = 1; k <= 8; ++k) real += 2.0 * h[8 + k] * std::cos(2.0 * std::numbers::pi * hz[i] * k / rate);
        EXPECT_NEAR(points[i].magnitudeDb, 20.0 * std::log10(std::fabs(real)), 1e-9) << hz[i];
        EXPECT_NEAR(std::fabs(std::remainder(points[i].phaseDegrees, 180.0)), 0.0, 1e-6) << hz[i];
    }
}

TEST(FrequencyResponse, StaysExactOverLongResponses) {
    // A decaying one-pole response over four seconds: H = 1 / (1 - a e^{-jw}).
    const double rate = 48000.0, a = 0.999;
    std::vector<double> h(192000);
    double v = 1.0;
    for (double& x : h) {
        x = v;
        v *= a;
    }
    const std::vector<double> hz = {20.0, 440.0, 9000.0};
    const auto points = frequencyResponse(h, rate, hz);
    for (std::size_t i = 0; i < hz.size(); ++i) {
        const std::complex<double> e = std::polar(1.0, -2.0 * std::numbers::pi * hz[i] / rate);
        const std::complex<double> expected = 1.0 / (1.0 - a * e);
        EXPECT_NEAR(points[i].magnitudeDb, 20.0 * std::log10(std::abs(expected)), 1e-7) << hz[i];
        EXPECT_NEAR(points[i].phaseDegrees, std::arg(expected) * 180.0 / std::numbers::pi, 1e-6) << hz[i];
    }
}

TEST(ResponseCsv, HeaderThenOneRowPerPoint) {
    std::vector<ResponsePoint> points(3);
    points[0] = {100.0, -1.5, 10.0};
    points[1] = {200.0, 0.25, -20.0};
    points[2] = {400.0, 3.0, 180.0};
    std::istringstream plain(responseCsv(points, {}));
    std::string line;
    std::getline(plain, line);
    EXPECT_EQ(line, "hz,magnitude_db,phase_deg");
    int rows = 0;
    while (std::getline(plain, line)) {
        double f, m, p;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf,%lf", &f, &m, &p), 3) << line;
        EXPECT_DOUBLE_EQ(f, points[static_cast<std::size_t>(rows)].hz);
        EXPECT_DOUBLE_EQ(m, points[static_cast<std::size_t>(rows)].magnitudeDb);
        ++rows;
    }
    EXPECT_EQ(rows, 3);
    const std::string withReference = responseCsv(points, {1.0, 2.0, 3.0});
    EXPECT_EQ(withReference.rfind("hz,magnitude_db,phase_deg,analogue_db\n", 0), 0u);
    EXPECT_NE(withReference.find("400.0000,3.000000,180.0000,3.000000\n"), std::string::npos);
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool decodePng(const std::string& bytes, Decoded& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    image.format = PNG_FORMAT_RGB;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr);
    png_image_free(&image);
    return ok;
}

ResponsePlot flatPlot(double db) {
    ResponsePlot plot;
    plot.hz = responseGrid(48000.0);
    PlotCurve curve;
    curve.magnitudeDb.assign(plot.hz.size(), db);
    curve.phaseDegrees.assign(plot.hz.size(), 0.0);
    plot.curves.push_back(curve);
    plot.title = "test";
    return plot;
}

// Mean row of the pixels in the magnitude curve's blue (blue well above red and green).
double meanBlueRow(const Decoded& d) {
    double sum = 0.0;
    int count = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const unsigned char* p = &d.rgb[static_cast<std::size_t>((y * d.width + x) * 3)];
            if (p[2] > 150 && p[0] < 90 && p[1] < 130) {
                sum += y;
                ++count;
            }
        }
    return count ? sum / count : -1.0;
}

TEST(ResponsePlot, WritesAValidPngOfTheRequestedSize) {
    for (const auto& [w, h] : {std::pair{960, 540}, std::pair{640, 360}, std::pair{kMinPlotWidth, kMinPlotHeight}}) {
        ResponsePlot plot = flatPlot(0.0);
        plot.width = w;
        plot.height = h;
        std::string bytes, error;
        ASSERT_TRUE(renderResponsePng(plot, bytes, error)) << error;
        ASSERT_GT(bytes.size(), 8u);
        EXPECT_EQ(bytes.substr(1, 3), "PNG");
        Decoded d;
        ASSERT_TRUE(decodePng(bytes, d));
        EXPECT_EQ(d.width, w);
        EXPECT_EQ(d.height, h);
        EXPECT_GT(meanBlueRow(d), 0.0) << "the magnitude curve is drawn";
    }
}

TEST(ResponsePlot, HigherGainIsDrawnHigher) {
    Decoded up, down;
    std::string bytes, error;
    ASSERT_TRUE(renderResponsePng(flatPlot(6.0), bytes, error));
    ASSERT_TRUE(decodePng(bytes, up));
    ASSERT_TRUE(renderResponsePng(flatPlot(-6.0), bytes, error));
    ASSERT_TRUE(decodePng(bytes, down));
    // Both within the same +-12 dB axis, symmetric about the middle of the plot.
    EXPECT_LT(meanBlueRow(up) + 20.0, meanBlueRow(down));
}

TEST(ResponsePlot, RefusesSizesItCannotLayOut) {
    std::string bytes, error;
    ResponsePlot plot = flatPlot(0.0);
    plot.width = 100;
    EXPECT_FALSE(renderResponsePng(plot, bytes, error));
    EXPECT_NE(error.find("size"), std::string::npos);
    plot = flatPlot(0.0);
    plot.curves[0].magnitudeDb.pop_back();
    EXPECT_FALSE(renderResponsePng(plot, bytes, error));
}

TEST(ResponsePlot, NonFiniteValuesDoNotBreakTheDrawing) {
    ResponsePlot plot = flatPlot(0.0);
    plot.curves[0].magnitudeDb[10] = -INFINITY;
    plot.curves[0].magnitudeDb[20] = NAN;
    plot.curves[0].phaseDegrees[30] = NAN;
    std::string bytes, error;
    EXPECT_TRUE(renderResponsePng(plot, bytes, error)) << error;
}

// Pixels inside the plot area (below the title and legend lines) close to a colour.
int pixelsLike(const Decoded& d, int r, int g, int b) {
    int count = 0;
    for (int y = d.height / 5; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const unsigned char* p = &d.rgb[static_cast<std::size_t>((y * d.width + x) * 3)];
            count += std::abs(p[0] - r) < 40 && std::abs(p[1] - g) < 40 && std::abs(p[2] - b) < 40;
        }
    return count;
}

TEST(ResponsePlot, ReferenceAndSecondCurveStayVisible) {
    // The analogue reference lying exactly under the measurement, and a second
    // measured curve 6 dB above the first: each must leave pixels of its colour.
    ResponsePlot plot = flatPlot(0.0);
    plot.curves[0].name = "mid";
    plot.curves[0].analogueDb = plot.curves[0].magnitudeDb;
    PlotCurve side = plot.curves[0];
    side.name = "side";
    side.analogueDb.clear();
    for (double& v : side.magnitudeDb) v = 6.0;
    std::string bytes, error;
    Decoded d;
    ASSERT_TRUE(renderResponsePng(plot, bytes, error)) << error;
    ASSERT_TRUE(decodePng(bytes, d));
    const int onlyMid = pixelsLike(d, 200, 40, 60);
    const int reference = pixelsLike(d, 230, 130, 30);
    EXPECT_GT(reference, 100) << "the reference is hidden under the measured curve";
    plot.curves.push_back(side);
    ASSERT_TRUE(renderResponsePng(plot, bytes, error)) << error;
    ASSERT_TRUE(decodePng(bytes, d));
    EXPECT_GT(pixelsLike(d, 200, 40, 60), onlyMid + 300) << "the second curve is not drawn in its own colour";
}

TEST(PlotFont, EveryLabelCharacterHasAGlyph) {
    // A glyph written with the wrong number of cells is dropped by the font: this
    // catches it for every character the plot's labels use.
    const std::string used = "0123456789+-.,:/%()= ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (char c : used) {
        if (c == ' ') continue;
        const unsigned char* rows = glyphRows(c);
        ASSERT_NE(rows, nullptr) << c;
        int set = 0;
        for (int y = 0; y < kGlyphRows; ++y) set += rows[y] != 0;
        EXPECT_GT(set, 0) << c;
    }
    EXPECT_EQ(glyphRows(' '), nullptr);
    EXPECT_EQ(glyphRows('\x80'), nullptr);
    // Only letters with descenders reach below the baseline.
    for (char c : std::string("gjpqy")) EXPECT_NE(glyphRows(c)[kGlyphRows - 1], 0) << c;
    for (char c : std::string("abHz05")) EXPECT_EQ(glyphRows(c)[kGlyphRows - 1], 0) << c;
}

}  // namespace
}  // namespace hm::tool
