#pragma once
// Curves and fills given as one value per pixel column, the shape of every
// frequency-response and spectrum picture. Drawing them column by column
// costs a few blends per column instead of rasterising a polygon as large as
// the whole plot, so a frame can hold dozens of curves.
//
// Column i is pixel column x0 + i; its point sits at the column's centre
// (x0 + i + 0.5, y[i]). A curve is drawn as the vertical run each column
// needs to join its neighbours halfway on either side, widened by half the
// line width above and below; pixel rows get the length of the run they
// hold as coverage (box filtering), so a flat curve at y = k + 0.5 with width
// 1 lights exactly row k. Non-finite values leave their column (and the joins
// to it) empty. Coordinates are local to the surface's origin and clipped to
// its clip rectangle.
#include "gui/draw/CDIB.h"

namespace hm::gui {

void drawColumnCurve(CDIB& dest, int x0, const float* y, int count, Rgb colour, float opacity = 1.f,
                     float width = 1.f);

// In every column, the span between yFrom[i] and yTo[i] (either order), its
// fractional ends anti-aliased.
void fillColumnSpans(CDIB& dest, int x0, const float* yFrom, const float* yTo, int count, Rgb colour,
                     float opacity = 1.f);

// One column's span from y0 to y1 (either order) with anti-aliased ends.
void fillColumnSpan(CDIB& dest, int x, float y0, float y1, Rgb colour, float opacity = 1.f);

}  // namespace hm::gui
