#pragma once
// The analyser part of the EQ graph: its two signal sources, one frame of
// analysis per repaint (fetch, transform, columns, hold, smoothing; the
// numeric steps live in analysis/) and the six display types drawn into the
// graph's picture, with the dB scale at the left edge.
//
// Source codes: −1 none; otherwise bits 0–7 a channel code c and bits 8 and up
// an instance selector k: k = 0 this instance (c < n its post ring of channel
// c, n ≤ c < 2n the pre ring of channel c − n), k ≥ 1 the k-th other instance
// in registry order. Another instance is only ever read through the registry
// while it is still listed, so an instance closed during a read is never
// touched after it is freed; it simply reads as silence from then on.
#include <cstdint>
#include <vector>

#include "analysis/SpectrumFrame.h"
#include "gui/draw/Geometry.h"

namespace hm {
class Plug;
}

namespace hm::gui {
class CDIB;
class StripFont;
}  // namespace hm::gui

namespace hm::gui::graph {

enum AnalyserType { kAnalyserCurves = 0, kThirdOctave, kTwelfthOctave, kSpectrograph, kBrightnessBars,
                    kBrightnessAnalyser, kAnalyserTypeCount };

// The "Analyser" preferences as the display uses them.
struct AnalyserSettings {
    double decay = 0.8;
    double range = 96.0, top = 0.0, tilt = 0.0;
    int smoothing = 1;  // h
    float opacity = 1.f;
    double saturation = 1.0;
    Rgb secondaryColour = 0x1A5581;
    int display = 2;     // 0 "Filled", 1 "Outlined", 2 "Both"
    bool summed = false; // "Curves": "Summed"
};
AnalyserSettings analyserSettingsFromFlags(std::uint32_t flags1, std::uint32_t flags2, double decay);

// Where the picture goes: N columns, plot height H, the visible frequencies.
struct AnalyserGeometry {
    int columns = 1;
    int height = 1;
    double fMin = 10.0, fMax = 22050.0, nyquist = 22050.0;
};

class GraphAnalyser {
public:
    static constexpr int kHistoryRows = 256;

    GraphAnalyser();

    // The instance whose editor shows the graph (resolves k = 0).
    void setSelf(Plug* self) { self_ = self; }
    void setSource(int which, int code);  // which: 0 primary, 1 secondary
    int source(int which) const { return sources_[which & 1].code; }
    // The registry position of the instance a source reads (−1 when none).
    int sourcePosition(int which) const;
    // Sources whose instance left the registry become none (−1).
    void dropVanishedSources();

    // Zeroes the held levels and the spectrograph history for N columns.
    void resize(int columns);
    int columns() const { return static_cast<int>(held_[0].size()); }

    bool frozen() const { return frozen_; }
    void setFrozen(bool f) { frozen_ = f; }

    // One analysis frame (nothing while frozen).
    void computeFrame(const AnalyserSettings& s, const AnalyserGeometry& g);
    // Draws the display type into the picture (plot origin at 0, 0).
    void draw(CDIB& d, int type, const AnalyserSettings& s, const AnalyserGeometry& g);
    // The dB labels at the left edge for R horizontal grid rows.
    void drawScale(CDIB& d, const StripFont& font, const AnalyserSettings& s, int height, int rows) const;

    // Held level (0..1) of a column, and its dB reading.
    double held(int which, int column) const;
    double heldDb(int which, int column, const AnalyserSettings& s) const;

private:
    struct Source {
        int code = -1;
        Plug* instance = nullptr;
    };
    void resolve(Source& s);
    void fetch(Source& s, std::vector<double>& out);
    void analyse(const std::vector<double>& samples, const AnalyserSettings& s, const AnalyserGeometry& g,
                 std::vector<double>& held);
    Rgb hueAt(int x, double saturation, double value, const AnalyserGeometry& g) const;

    Plug* self_ = nullptr;
    Source sources_[2];
    bool frozen_ = false;
    analysis::SpectrumFrame frame_;
    std::vector<double> samples_, depth_, columnDepth_, scratch_;
    std::vector<double> held_[2];
    std::vector<double> history_;  // kHistoryRows × N
    int head_ = 0;
};

}  // namespace hm::gui::graph
