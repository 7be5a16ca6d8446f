#pragma once
// Digital responses at many frequencies at once, for graphs that evaluate every
// band at every pixel column (32 bands x up to some 1300 columns).
//
// Asking a filter column by column (getResponse) costs, per band and column, a
// virtual call and two sines and two cosines. Here the unit-circle point of each
// column is computed once per set of columns and rate, shared by every band, and a
// band's cascade is evaluated over all columns in one loop: the same evaluation as
// getResponse (the target coefficients, DigitalResponse.h), so the values agree.
//
// Whoever owns the points uses them from one thread (the editor's); a design
// landing while a band is evaluated gives that band's curve from either design,
// as with getResponse.
#include <vector>

#include "dsp/DigitalResponse.h"

namespace hm::dsp {

class EQ;

class ColumnPoints {
public:
    // The columns' frequencies in Hz at a sample rate.
    void set(const double* hz, int count, double sampleRate);
    int size() const { return static_cast<int>(points_.size()); }
    double sampleRate() const { return rate_; }
    const CirclePoint* data() const { return points_.data(); }

private:
    std::vector<CirclePoint> points_;
    double rate_ = 0.0;
};

// H of the filter at every column: re[i], im[i] for i < points.size(). The
// points must be for the filter's sample rate.
void columnResponses(const EQ& filter, const ColumnPoints& points, double* re, double* im);

}  // namespace hm::dsp
