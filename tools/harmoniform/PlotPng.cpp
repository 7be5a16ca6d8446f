#include "tools/harmoniform/PlotPng.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/AtomicFile.h"
#include "tools/harmoniform/Raster.h"

namespace hm::tool {
namespace {

constexpr Rgb kBackground{248, 248, 246};
constexpr Rgb kPlotArea{255, 255, 255};
constexpr Rgb kGridMajor{205, 208, 212};
constexpr Rgb kGridMinor{232, 234, 236};
constexpr Rgb kZeroLine{140, 144, 150};
constexpr Rgb kText{40, 44, 52};
constexpr Rgb kMagnitude{28, 92, 200};
constexpr Rgb kPhase{46, 160, 90};
constexpr Rgb kAnalogue{230, 130, 30};

std::string frequencyLabel(double hz) {
    char text[16];
    if (hz >= 1000.0) std::snprintf(text, sizeof(text), "%gk", hz / 1000.0);
    else std::snprintf(text, sizeof(text), "%g", hz);
    return text;
}

// The dB step of the grid for a span, and the span shown: symmetric about 0, at
// least +-12 dB, in whole grid steps.
double dbStep(double largest) { return largest < 23.0 ? 6.0 : largest < 47.0 ? 12.0 : 24.0; }

// Grid steps for the editor's ranges: a few labelled lines each.
double editorGridStep(double range) { return range <= 3.0 ? 1.0 : range <= 6.0 ? 2.0 : range <= 12.0 ? 3.0 : range <= 24.0 ? 6.0 : 12.0; }

double dbSpan(const ResponsePlot& plot) {
    if (plot.rangeDb > 0.0) return plot.rangeDb;
    double largest = 0.0;
    for (double v : plot.magnitudeDb)
        if (std::isfinite(v)) largest = std::max(largest, std::fabs(v));
    for (double v : plot.analogueDb)
        if (std::isfinite(v)) largest = std::max(largest, std::fabs(v));
    largest = std::min(largest, 95.0);
    const double step = dbStep(largest);
    return std::max(12.0, step * std::ceil((largest + 1.0) / step));
}

}  // namespace

bool renderResponsePng(const ResponsePlot& plot, std::string& pngBytes, std::string& error) {
    if (plot.width < kMinPlotWidth || plot.height < kMinPlotHeight || plot.width > 8192 || plot.height > 8192) {
        error = "plot size must be between " + std::to_string(kMinPlotWidth) + "x" + std::to_string(kMinPlotHeight) +
                " and 8192x8192";
        return false;
    }
    if (plot.hz.size() < 2 || plot.magnitudeDb.size() != plot.hz.size()) {
        error = "nothing to plot";
        return false;
    }
    const int scale = plot.height >= 400 ? 2 : 1;
    const int charH = 7 * scale;
    Raster r(plot.width, plot.height, kBackground);
    const int left = 12 + Raster::textWidth("-96 dB", scale);
    const int right = plot.width - 12 - Raster::textWidth("-180", scale);
    // Title on the first line, the legend on the second, then the plot.
    const int titleY = 4 * scale;
    const int legendY = titleY + charH + 4 * scale;
    const int top = legendY + charH + 8 * scale;
    const int bottom = plot.height - 16 - 2 * charH;
    r.fillRect(left, top, right, bottom, kPlotArea);

    const double fLow = 10.0, fHigh = std::max(plot.hz.back(), 1000.0);
    const double span = dbSpan(plot);
    const auto xOf = [&](double hz) { return left + (right - left) * std::log(hz / fLow) / std::log(fHigh / fLow); };
    const auto yOfDb = [&](double db) { return top + (bottom - top) * (0.5 - 0.5 * db / span); };
    const auto yOfPhase = [&](double deg) { return top + (bottom - top) * (0.5 - 0.5 * deg / 180.0); };

    // Frequency grid: every 1-2-5 step labelled, the other multiples faint.
    for (double decade = 10.0; decade < fHigh; decade *= 10.0) {
        for (int m = 1; m <= 9; ++m) {
            const double f = decade * m;
            if (f < fLow || f > fHigh) continue;
            const double x = std::round(xOf(f)) + 0.5;
            const bool labelled = m == 1 || m == 2 || m == 5;
            r.line(x, top, x, bottom, 1.0, labelled ? kGridMajor : kGridMinor);
            if (labelled) r.text(static_cast<int>(x), bottom + scale * 4, frequencyLabel(f), kText, scale, TextAlign::Centre);
        }
    }
    r.text((left + right) / 2, bottom + scale * 4 + charH + scale * 3, "Hz", kText, scale, TextAlign::Centre);

    // dB grid and labels on the left; phase labels on the right.
    const double step = plot.rangeDb > 0.0 ? editorGridStep(span) : dbStep(span - 1.0);
    for (double db = -span; db <= span + 1e-9; db += step) {
        const double y = std::round(yOfDb(db)) + 0.5;
        r.line(left, y, right, y, 1.0, db == 0.0 ? kZeroLine : kGridMajor);
        char text[16];
        std::snprintf(text, sizeof(text), "%+.0f", db);
        r.text(left - 2 * scale, static_cast<int>(y) - charH / 2, db == 0.0 ? "0 dB" : text, kText, scale, TextAlign::Right);
    }
    for (int deg = -180; deg <= 180; deg += 90) {
        const double y = yOfPhase(deg);
        r.text(right + 3 * scale, static_cast<int>(y) - charH / 2, std::to_string(deg), kPhase, scale);
    }

    const auto curve = [&](const std::vector<double>& values, bool phase, double width, Rgb colour) {
        if (values.size() != plot.hz.size()) return;
        std::vector<double> xs, ys;
        for (std::size_t i = 0; i < values.size(); ++i) {
            // Phase wraps from +180 to -180: no line across the plot there.
            if (phase && i > 0 && std::fabs(values[i] - values[i - 1]) > 180.0) {
                r.polyline(xs, ys, width, colour);
                xs.clear();
                ys.clear();
            }
            const double v = values[i];
            xs.push_back(xOf(plot.hz[i]));
            // Beyond the axis (a notch's depth) is drawn at the edge rather than dropped; on an
            // editor range the curve runs on past the edge and the clip cuts it off there.
            const double limit = plot.rangeDb > 0.0 ? 2.0 * span : span;
            ys.push_back(std::isfinite(v) ? (phase ? yOfPhase(v) : yOfDb(std::clamp(v, -limit, limit)))
                                          : (phase ? NAN : yOfDb(-limit)));
        }
        r.polyline(xs, ys, width, colour);
    };
    r.clip(left, top, right, bottom);
    curve(plot.phaseDegrees, true, 1.2 * scale / 2.0 + 0.4, kPhase);
    // The reference on top of the measurement, thinner, so both stay visible.
    curve(plot.magnitudeDb, false, 1.6 * scale, kMagnitude);
    curve(plot.analogueDb, false, 0.6 * scale, kAnalogue);
    r.clearClip();

    r.text(left, titleY, plot.title, kText, scale);
    // Legend above the plot's right edge, on its own line.
    int x = right;
    const auto legend = [&](const std::string& name, Rgb colour) {
        const int w = Raster::textWidth(name, scale);
        x -= w;
        r.text(x, legendY, name, colour, scale);
        x -= 6 * scale;
        r.line(x - 14 * scale, legendY + charH / 2.0, x - 2 * scale, legendY + charH / 2.0, 1.5 * scale, colour);
        x -= 22 * scale;
    };
    legend("phase (deg)", kPhase);
    if (plot.analogueDb.size() == plot.hz.size()) legend("analogue", kAnalogue);
    legend("magnitude", kMagnitude);

    if (!encodePng(r, pngBytes)) {
        error = "cannot encode the plot as PNG";
        return false;
    }
    return true;
}

bool writeResponsePng(const std::string& path, const ResponsePlot& plot, std::string& error) {
    std::string bytes;
    if (!renderResponsePng(plot, bytes, error)) return false;
    if (!platform::writeFileAtomically(path, bytes)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace hm::tool
