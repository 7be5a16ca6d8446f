#pragma once
// The response plot: magnitude in dB (left axis, dB grid) and phase in degrees
// (right axis) over a logarithmic frequency axis with labelled decades, drawn
// by the tool's own rasteriser and written as PNG with libpng.
#include <string>
#include <vector>

namespace hm::tool {

struct ResponsePlot {
    std::vector<double> hz;
    std::vector<double> magnitudeDb;
    std::vector<double> phaseDegrees;
    std::vector<double> analogueDb;  // optional reference curve (same length as hz, or empty)
    std::string title;
    int width = 960;
    int height = 540;
    // > 0: the dB axis runs from -rangeDb to +rangeDb (one of the editor's
    // ranges 3, 6, 12, 18, 24, 36; a curve beyond it leaves the plot as it
    // leaves the editor's graph); 0: the axis is fitted to the whole curve.
    double rangeDb = 0.0;
};

// The editor's graph ranges (+-dB), smallest first.
inline constexpr double kEditorRangesDb[] = {3.0, 6.0, 12.0, 18.0, 24.0, 36.0};

// Smallest plot the layout fits into.
constexpr int kMinPlotWidth = 320;
constexpr int kMinPlotHeight = 200;

// Draws and encodes the plot; false with a message when it cannot be drawn or written.
bool renderResponsePng(const ResponsePlot& plot, std::string& pngBytes, std::string& error);
// The same, written atomically to `path`.
bool writeResponsePng(const std::string& path, const ResponsePlot& plot, std::string& error);

}  // namespace hm::tool
