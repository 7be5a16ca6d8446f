#pragma once
// What the impulse graph draws in each pixel column: the part of a sequence
// (impulse or window) that the column covers, reduced to one value, and the
// two vertical scales.
#include <vector>

namespace hm::gui::ir {

// One value per column for the part start..end (fractions of the length) of
// `samples` spread over `width` columns. Column x covers the samples from
// (start + x·(end − start)/width)·length up to the next column's first (at
// least one). With `pairs` the covered samples are summed two by two (an odd
// last one alone; a column of one sample pairs it with the next) and the sum
// of largest magnitude wins (the impulse); otherwise the sample of largest
// magnitude (the window). Empty when there are no samples.
void columnValues(const double* samples, int length, double start, double end, int width, bool pairs,
                  std::vector<float>& out);

// y (0 at the top of a curve area `height` pixels high) of a value:
// linear: v = 1 at the top, −1 at the bottom;
// dB: 0 dB at the top, −range dB (and anything quieter) at the bottom.
double linearY(double v, double height);
double dbY(double v, double rangeDb, double height);

}  // namespace hm::gui::ir
