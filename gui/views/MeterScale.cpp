#include "gui/views/MeterScale.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "gui/editor/GraphFlags.h"

namespace hm::gui::meter {

double curvature(int scaleIndex) {
    static constexpr double kCurvature[] = {7.0, 6.75, 7.2, 6.9};
    return kCurvature[std::clamp(scaleIndex, 0, 3)];
}

namespace {

double fraction(double value, int scaleIndex) {
    if (!(value > 0.0)) return 0.0;  // silence and NaN at the bottom
    return std::pow(std::min(value, 1e6) / kTopAmplitude, 1.0 / curvature(scaleIndex));
}

}  // namespace

int rowOf(double value, int height, int scaleIndex) {
    const double y = (1.0 - fraction(value, scaleIndex)) * (height - 3) + 3;
    return std::clamp(static_cast<int>(y), 0, std::max(0, height));
}

int peakRow(double peak, int height, int scaleIndex, int top) {
    const double y = (1.0 - fraction(peak, scaleIndex)) * (height - 3);
    return top + std::max(0, static_cast<int>(y)) + 3;
}

std::vector<Label> labels(int height, int scaleIndex, int labelOffset) {
    std::vector<Label> out;
    const double p = curvature(scaleIndex);
    for (int e : {18, 9, 0, -12, -36, -60, -96}) {
        char text[16];
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>(e + labelOffset));
        const int y = static_cast<int>(std::floor((1.0 - std::pow(10.0, (e - 18) / (20.0 * p))) * (height - 7)));
        out.push_back({y, text});
    }
    out.push_back({height - 7, "-inf"});
    return out;
}

int labelOffsetOf(int scaleIndex) { return meterScaleOffsetDb(scaleIndex); }

std::string peakText(double peak, int labelOffset) {
    if (peak == 0.0) return "-inf";
    const double db = 20.0 * std::log10(std::fabs(peak)) + labelOffset;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", db);
    if (std::string(text).size() > 5) std::snprintf(text, sizeof text, "%.0f", db);
    return text;
}

std::string levelText(double value) {
    if (!(std::fabs(value) >= 1e-6)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 20.0 * std::log10(std::fabs(value)));
    return text;
}

namespace {
std::int64_t (*testClock)() = nullptr;
}

std::int64_t nowMs() {
    if (testClock) return testClock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void setClockForTesting(std::int64_t (*clock)()) { testClock = clock; }

}  // namespace hm::gui::meter
