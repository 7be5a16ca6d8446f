#pragma once
// Shared helpers of the circuit models: where the band's controls put the
// hardware's pots, and how the models read their component tables.
#include <algorithm>

namespace hm::dsp::design {

// Gain pot: -18 dB -> 0, +18 dB -> 1.
inline double gainPotPosition(double gainDb) { return std::clamp((gainDb + 18.0) / 36.0, 0.0, 1.0); }
// Q pot: Q 0.1 -> 0, Q 50 -> 1.
inline double qPotPosition(double q) { return std::clamp((q - 0.1) / 49.9, 0.0, 1.0); }

// Piecewise-linear table read inside [xs[0], xs[n-1]]; outside it the value falls
// off as 1/x from the end point (a component value that tracks 1/frequency).
inline double interpolateInverseTails(const double* xs, const double* ys, int n, double x)
{
    if (x <= xs[0]) return xs[0] * ys[0] / x;
    if (x >= xs[n - 1]) return xs[n - 1] * ys[n - 1] / x;
    int i = 1;
    while (i < n - 1 && x > xs[i]) ++i;
    const double t = (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
    return ys[i - 1] + t * (ys[i] - ys[i - 1]);
}

// Plain piecewise-linear read, x clamped to the table (xs ascending).
inline double interpolateClamped(const double* xs, const double* ys, int n, double x)
{
    if (x <= xs[0]) return ys[0];
    if (x >= xs[n - 1]) return ys[n - 1];
    int i = 1;
    while (i < n - 1 && x > xs[i]) ++i;
    const double t = (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
    return ys[i - 1] + t * (ys[i] - ys[i - 1]);
}

// Stepped frequency switch: the first position at or above hz, the last one
// when hz is above the whole range.
inline int switchPosition(const double* positions, int n, double hz)
{
    for (int i = 0; i < n; ++i)
        if (positions[i] >= hz) return i;
    return n - 1;
}

}  // namespace hm::dsp::design
