#pragma once
// The arithmetic of the frequency-response graph as plain functions over one
// record: where a frequency or a level lands in the plot, how far the dB
// range expands for the bands shown, the rules that keep the visible
// frequency range sane, the scroll bar's mapping, zooming and panning, the
// grid lines with their labels, the band a double click creates and the
// wheel step on a band. Everything here is pure so it can be checked against
// hand-worked numbers; EQGraph only draws and routes events through it.
//
// Coordinates are relative to the graph's top-left corner: x grows to the
// right over W columns, y grows downwards over the plot height H.
#include <functional>
#include <string>
#include <vector>

namespace hm::gui::graph {

inline constexpr double kLowestFrequency = 10.0;
inline constexpr int kScrollBarHeight = 19;
inline constexpr double kMinimumDb = -200.0;  // what a zero magnitude reads as

struct GraphView {
    double fMin = kLowestFrequency;
    double fMax = 22050.0;
    double fNyquist = 22050.0;
    int width = 1;         // W
    int plotHeight = 1;    // H (the scroll bar's 19 rows excluded)
    double rangeShown = 18.0;
};

// --- coordinate mappings ---------------------------------------------------
double xOfFrequency(const GraphView& v, double hz);
double frequencyOfX(const GraphView& v, double x);
double yOfDb(const GraphView& v, double db);
double dbOfY(const GraphView& v, double y);
// 20·log10 of a magnitude; 0 (and anything not positive) reads as −200 dB.
double dbOfMagnitude(double magnitude);

// --- the shown dB range ------------------------------------------------------
// The "Range" values by index: 3, 6, 12, 18, 24, 36 dB (index clamped).
int rangeOfIndex(int index);
// Raises the range for a band of |gain| dB: r = floor(|g| + 0.9), then 3, 6 or
// the smallest multiple of 6 at least r; never lowers `current`.
double expandRange(double current, double absGain);

// --- visible range -------------------------------------------------------------
// fMin ≥ 10, fMax ≤ Nyquist, fMin ≤ fMax ÷ 2, fMax ≥ 2 × fMin, in that order.
void applyViewRules(GraphView& v);

// --- scroll bar (19 rows under the plot) -------------------------------------
// Its track is W − 19 pixels long and starts 9.5 pixels in.
struct ScrollThumb {
    double x1 = 0.0;  // left edge (fMin)
    double x2 = 0.0;  // right edge (fMax)
};
ScrollThumb scrollThumb(const GraphView& v);
// The frequency at x on the scroll bar's full-range scale.
double scrollFrequency(const GraphView& v, double x);
enum class ScrollPart { kNone = 0, kLeftEdge = 1, kRightEdge = 2, kThumb = 3 };
// Which part a press at x grabs: within 16 pixels of an edge that edge.
ScrollPart scrollPartAt(const GraphView& v, double x);
// A drag of one part to x (view rules applied).
void dragScroll(GraphView& v, ScrollPart part, double x);
// Right click on the bar: the whole range.
void resetScroll(GraphView& v);

// --- zoom and pan ----------------------------------------------------------------
// Centre c = √(fMin·fMax) becomes c·factor (span kept), then the rules.
void panView(GraphView& v, double factor);
// Wheel zoom toward the pointer's full-range frequency (x on the scroll-bar
// scale): c → c·(f_p ÷ c)^(0.1·|d|) clamped to 10..Nyquist, span s = √(fMax ÷ fMin)
// → s^(1 − 0.1·d); c kept within 10·s .. Nyquist ÷ s.
void zoomView(GraphView& v, double notches, double pointerX);

// --- grid ------------------------------------------------------------------------
struct GridLine {
    double hz = 0.0;
    bool tenth = false;      // a tenth-decade line (drawn at half opacity)
    std::string label;       // empty: no label wanted
};
// "Frequency Labels": false "2,4,6,8", true "1,2,5".
std::vector<GridLine> frequencyGrid(const GraphView& v, bool labels125);
// Positions the labels of `lines` (text centred on its line, at least 2 pixels
// from the left edge and 4 from the right): the decades first, then the others
// in order, dropping each one that would touch (come closer than 4 pixels to)
// one already placed. Returns the left x of each label, −1 for dropped ones.
std::vector<int> placeFrequencyLabels(const GraphView& v, const std::vector<GridLine>& lines,
                                      const std::function<int(const std::string&)>& measure);
// Horizontal lines: n = floor(range ÷ 3 + 1), at y = (H − 1)·i ÷ (n − 1).
int dbLineCount(double rangeShown);
double dbLineY(const GraphView& v, int i, int n);
// The text top of the label of line i (10 above the line, so that the text sits
// clear above it; the first at 2, never below H − 9).
int dbLabelTop(const GraphView& v, int i, int n);

// --- handles -------------------------------------------------------------------------
// y of a band's handle: shelves (types 3, 4) by their real gain, passes (2, 5)
// at H ÷ 2 in whole pixels, the rest by the band's own response (dB) at its
// centre; clamped to 0..H.
double handleY(const GraphView& v, int type, double responseDb, double realGain);
// x of a band's handle, clamped to 0..W − 1.
double handleX(const GraphView& v, double centreHz);

// --- a new band ------------------------------------------------------------------------
struct NewBand {
    int type = 1;  // Type parameter: 1 peak .. 6 notch
    double frequency = 1000.0;
    double gain = 0.0;
    double q = 0.707;
};
// "New Band Types": 0 Peaks, 1 By Freq, 2 By Gain, 3 Both.
NewBand newBandAt(const GraphView& v, double x, double y, int newBandTypes, bool qFollowsZoom);

// --- wheel on a band ---------------------------------------------------------------------
enum class WheelParameter { kQ, kSlope, kGain, kFrequency };
// Normalised step: sign × d × (0.1 when fine) × increment × 1.5 ÷ H, doubled for
// Slope. Q and Slope take sign −1 (a notch away from the user widens the band;
// +1 for Q with "Inverted Q"); Gain and Frequency take +1, so the wheel raises
// them as it raises every other control of the editor.
double wheelStep(const GraphView& v, WheelParameter parameter, double notches, double increment, bool fine,
                 bool invertedQ);

}  // namespace hm::gui::graph
