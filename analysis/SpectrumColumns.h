#pragma once
// From bin depths to the analyser's picture columns, and the held levels the
// display draws.
//
// Column x of N covers f_lo = fmin·(fmax ÷ fmin)^(x ÷ N) .. f_hi (at x + 1);
// b = f · 8192 ÷ (2 · Nyquist), clamped to 0..4095. Its depth is d at b_lo,
// linearly interpolated; a column that covers more than one bin takes the
// smallest depth (the loudest bin) among bins floor(b_lo) .. floor(b_hi) − 1.
//
// Hold: held = held · decay, then the new level 1 − depth replaces it when
// higher. Smoothing: a centred moving average over 2h − 1 columns in which
// columns outside the picture count as 0 (so both ends sag), always divided
// by 2h − 1; h = 1 leaves the levels alone.
namespace hm::analysis {

void columnDepths(const double* binDepth, int columns, double fMin, double fMax, double nyquist,
                  double* out);
void holdLevels(double* held, const double* depth, int columns, double decay);
// scratch: at least `columns` doubles.
void smoothLevels(double* held, int columns, int h, double* scratch);

}  // namespace hm::analysis
