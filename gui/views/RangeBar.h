#pragma once
// The 19-pixel bar under the impulse and phase graphs that shows and sets the
// part of the whole that the graph displays: two markers on a track that runs
// from 9.5 pixels in to 9.5 pixels before the right end, joined by a line. A
// press within 16 pixels of a marker drags that marker, one between them the
// whole range.
//
// The impulse graph's zoom range lives here too: fractions of the impulse
// length, the start always at least 0.01 before the end.
#include "gui/draw/CDIB.h"

namespace hm::gui::rangebar {

inline constexpr int kHeight = 19;
inline constexpr double kInset = 9.5;
inline constexpr double kGrab = 16.0;
inline constexpr double kMinSpan = 0.01;

// Marker x (relative to the bar's left) of a fraction 0..1, and back.
double markerX(double fraction, int width);
double positionOf(double x, int width);

enum class Part { kNone = 0, kStart = 1, kEnd = 2, kRange = 3 };
// What a press at x grabs (markers at x1 and x2): the nearer marker within
// 16 pixels, else the range when between them.
Part partAt(double x, double x1, double x2);

// Frame, track and the two triangles (9 rows each) joined at mid-height.
void draw(CDIB& context, const CRect& bar, double x1, double x2);

struct ZoomRange {
    double start = 0.0;
    double end = 1.0;
};
// A drag of `part` to `position` (a fraction); the range keeps its width and
// `grab` (position minus start when the drag began) when moved whole.
void drag(ZoomRange& range, Part part, double position, double grab);

}  // namespace hm::gui::rangebar
