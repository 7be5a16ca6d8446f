#include "gui/views/GraphGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hm::gui::graph {
namespace {

// Columns kept clear between two labels: closer than this they read as one.
constexpr int kLabelGap = 4;

double safeWidth(const GraphView& v) { return v.width > 0 ? v.width : 1; }
double safeHeight(const GraphView& v) { return v.plotHeight > 0 ? v.plotHeight : 1; }
double ratio(const GraphView& v) { return v.fMax > v.fMin && v.fMin > 0.0 ? v.fMax / v.fMin : 2.0; }
double trackLength(const GraphView& v) { return std::max(1.0, safeWidth(v) - 19.0); }
double fullRatio(const GraphView& v) { return std::max(2.0, v.fNyquist / kLowestFrequency); }

// Puts the view back together from a centre and a half-span (both as ratios).
void setCentreSpan(GraphView& v, double c, double s) {
    s = std::clamp(s, 1.0, std::sqrt(fullRatio(v)));
    c = std::clamp(c, kLowestFrequency * s, std::max(kLowestFrequency * s, v.fNyquist / s));
    v.fMax = c * s;
    v.fMin = c / s;
    applyViewRules(v);
}

std::string frequencyLabel(double hz, bool tenth) {
    char text[16];
    if (hz < 1000.0) std::snprintf(text, sizeof text, "%.0f", hz);
    else std::snprintf(text, sizeof text, tenth ? "%.1fk" : "%.0fk", hz / 1000.0);
    return text;
}

}  // namespace

double xOfFrequency(const GraphView& v, double hz) {
    if (!(hz > 0.0)) return -1e9;
    return std::log(hz / v.fMin) / std::log(ratio(v)) * safeWidth(v);
}

double frequencyOfX(const GraphView& v, double x) { return v.fMin * std::pow(ratio(v), x / safeWidth(v)); }

double yOfDb(const GraphView& v, double db) { return (0.5 - db / (2.0 * v.rangeShown)) * safeHeight(v); }

double dbOfY(const GraphView& v, double y) { return (1.0 - 2.0 * y / safeHeight(v)) * v.rangeShown; }

double dbOfMagnitude(double magnitude) {
    return magnitude > 0.0 && std::isfinite(magnitude) ? 20.0 * std::log10(magnitude) : kMinimumDb;
}

int rangeOfIndex(int index) {
    static constexpr int kRanges[] = {3, 6, 12, 18, 24, 36};
    return kRanges[std::clamp(index, 0, 5)];
}

double expandRange(double current, double absGain) {
    if (!(absGain > current)) return current;
    const double r = std::floor(absGain + 0.9);
    if (r <= 3.0) return 3.0;
    if (r <= 6.0) return 6.0;
    return std::ceil(r / 6.0) * 6.0;
}

void applyViewRules(GraphView& v) {
    if (!(v.fNyquist > 2.0 * kLowestFrequency)) v.fNyquist = 2.0 * kLowestFrequency;
    if (!std::isfinite(v.fMin)) v.fMin = kLowestFrequency;
    if (!std::isfinite(v.fMax)) v.fMax = v.fNyquist;
    v.fMin = std::max(v.fMin, kLowestFrequency);
    v.fMax = std::min(v.fMax, v.fNyquist);
    v.fMin = std::min(v.fMin, v.fMax / 2.0);
    v.fMax = std::max(v.fMax, 2.0 * v.fMin);
}

ScrollThumb scrollThumb(const GraphView& v) {
    const double full = std::log(fullRatio(v));
    const double track = trackLength(v);
    return {std::floor(std::log(v.fMin / kLowestFrequency) / full * track) + 9.5,
            std::floor(std::log(v.fMax / kLowestFrequency) / full * track) + 9.5};
}

double scrollFrequency(const GraphView& v, double x) {
    return kLowestFrequency * std::pow(fullRatio(v), (x - 9.5) / trackLength(v));
}

ScrollPart scrollPartAt(const GraphView& v, double x) {
    const ScrollThumb t = scrollThumb(v);
    const double d1 = std::fabs(x - t.x1), d2 = std::fabs(x - t.x2);
    if (d1 < 16.0 || d2 < 16.0) return d1 <= d2 && !(x > t.x2) ? ScrollPart::kLeftEdge : ScrollPart::kRightEdge;
    if (x > t.x1 && x < t.x2) return ScrollPart::kThumb;
    return ScrollPart::kNone;
}

void dragScroll(GraphView& v, ScrollPart part, double x) {
    const double f = scrollFrequency(v, x);
    switch (part) {
        case ScrollPart::kLeftEdge: v.fMin = std::min(f, v.fMax / 2.0); break;
        case ScrollPart::kRightEdge: v.fMax = std::max(f, 2.0 * v.fMin); break;
        case ScrollPart::kThumb: setCentreSpan(v, f, std::sqrt(ratio(v))); return;
        case ScrollPart::kNone: return;
    }
    applyViewRules(v);
}

void resetScroll(GraphView& v) {
    v.fMin = kLowestFrequency;
    v.fMax = v.fNyquist;
    applyViewRules(v);
}

void panView(GraphView& v, double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return;
    setCentreSpan(v, std::sqrt(v.fMin * v.fMax) * factor, std::sqrt(ratio(v)));
}

void zoomView(GraphView& v, double notches, double pointerX) {
    if (!std::isfinite(notches) || notches == 0.0) return;
    double c = std::sqrt(v.fMin * v.fMax);
    const double s = std::sqrt(ratio(v));
    const double fp = scrollFrequency(v, pointerX);
    c = std::clamp(c * std::pow(fp / c, 0.1 * std::fabs(notches)), kLowestFrequency, v.fNyquist);
    setCentreSpan(v, c, std::pow(s, 1.0 - 0.1 * notches));
}

std::vector<GridLine> frequencyGrid(const GraphView& v, bool labels125) {
    std::vector<GridLine> lines;
    const double r = ratio(v);
    const bool zoomed = r * 32.0 < v.fNyquist / 10.0;
    const bool deep = r * 256.0 < v.fNyquist / 10.0;
    const double lo = v.fMin * (1.0 - 1e-9), hi = v.fMax * (1.0 + 1e-9);
    for (double decade = kLowestFrequency; decade <= hi; decade *= 10.0) {
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * decade;
            if (hz >= lo && hz <= hi) {
                const bool labelled = labels125 ? (m == 1 || m == 2 || m == 5) : (m == 1 || m == 2 || m % 2 == 0);
                lines.push_back({hz, false, labelled ? frequencyLabel(hz, false) : std::string()});
            }
            if (!zoomed) continue;
            for (int j = 1; j <= 9; ++j) {
                if (!deep && j % 2 != 0) continue;
                const double t = (m + j / 10.0) * decade;
                if (t < lo || t > hi) continue;
                const bool labelled = deep || j == 6;
                lines.push_back({t, true, labelled ? frequencyLabel(t, true) : std::string()});
            }
        }
    }
    return lines;
}

std::vector<int> placeFrequencyLabels(const GraphView& v, const std::vector<GridLine>& lines,
                                      const std::function<int(const std::string&)>& measure) {
    std::vector<int> left(lines.size(), -1);
    std::vector<std::pair<int, int>> taken;  // placed labels, [left, right)
    const auto place = [&](std::size_t i) {
        if (lines[i].label.empty() || left[i] >= 0) return;
        const int w = measure(lines[i].label);
        int x = static_cast<int>(std::lround(xOfFrequency(v, lines[i].hz) - w / 2.0));
        x = std::min(x, v.width - 4 - w);
        x = std::max(x, 2);
        for (const auto& [a, b] : taken)
            if (x < b + kLabelGap && a < x + w + kLabelGap) return;  // would touch a placed label
        left[i] = x;
        taken.emplace_back(x, x + w);
    };
    // The decades first (10, 100, 1k, 10k): they are what the eye reads the
    // axis by; the labels between them take the room that is left, in order.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double decade = std::log10(lines[i].hz);
        if (std::fabs(decade - std::round(decade)) < 1e-9) place(i);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) place(i);
    return left;
}

int dbLineCount(double rangeShown) { return std::max(2, static_cast<int>(std::floor(rangeShown / 3.0 + 1.0))); }

double dbLineY(const GraphView& v, int i, int n) { return (safeHeight(v) - 1.0) * i / std::max(1, n - 1); }

namespace {
constexpr int kDbLabelRise = 10;  // the label font's 8 rows and 2 of air
}  // namespace

int dbLabelTop(const GraphView& v, int i, int n) {
    // Above its line, clear of it: a line (and a flat curve on it) never strikes the text.
    const int y = i == 0 ? 2 : static_cast<int>(std::floor(dbLineY(v, i, n))) - kDbLabelRise;
    return std::min(y, v.plotHeight - 9);
}

double handleY(const GraphView& v, int type, double responseDb, double realGain) {
    double y;
    if (type == 3 || type == 4) y = yOfDb(v, realGain);
    else if (type == 2 || type == 5) y = v.plotHeight / 2;
    else y = yOfDb(v, responseDb);
    return std::clamp(y, 0.0, safeHeight(v));
}

double handleX(const GraphView& v, double centreHz) {
    return std::clamp(xOfFrequency(v, centreHz), 0.0, safeWidth(v) - 1.0);
}

NewBand newBandAt(const GraphView& v, double x, double y, int newBandTypes, bool qFollowsZoom) {
    NewBand b;
    b.frequency = std::clamp(frequencyOfX(v, x), v.fMin, v.fMax);
    b.gain = dbOfY(v, y);
    const bool byFrequency = newBandTypes == 1 || newBandTypes == 3;
    const bool byGain = newBandTypes == 2 || newBandTypes == 3;
    if (byFrequency) {
        if (b.frequency < 20.0) b.type = 2;
        else if (b.frequency < 100.0) b.type = 3;
        else if (b.frequency > 10000.0) b.type = 5;
        else if (b.frequency > 4000.0) b.type = 4;
    }
    if (byGain) {
        if (b.gain < -0.9 * v.rangeShown) b.type = 6;
        else if (b.gain < -0.5 * v.rangeShown || b.gain > 0.5 * v.rangeShown) b.q = 1.2;
    }
    if (qFollowsZoom && (b.type == 1 || b.type == 6)) {
        // Narrower bands when zoomed in: full range keeps Q₀, a view of one octave
        // around 20 Hz's worth of the spectrum reaches 20.
        const double q0 = b.q;
        const double exponent = 1.0 - std::log(0.5 * ratio(v)) / std::log(std::max(2.0, v.fNyquist / 20.0));
        b.q = q0 * std::pow(20.0 / q0, exponent);
    }
    return b;
}

double wheelStep(const GraphView& v, WheelParameter parameter, double notches, double increment, bool fine,
                 bool invertedQ) {
    double sign = 1.0;
    if (parameter == WheelParameter::kQ) sign = invertedQ ? 1.0 : -1.0;
    else if (parameter == WheelParameter::kSlope) sign = -1.0;
    const double step = sign * notches * (fine ? 0.1 : 1.0) * increment * 1.5 / safeHeight(v);
    return parameter == WheelParameter::kSlope ? 2.0 * step : step;
}

}  // namespace hm::gui::graph
