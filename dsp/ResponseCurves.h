#pragma once
// The filter bank's digital responses at a fixed set of frequencies, for graphs
// that draw every pixel column every frame (32 bands x up to some 1300 columns).
//
// Asking the bank column by column costs, per band and column, a virtual call and
// four sines and cosines. Here the unit-circle points of the columns are computed
// once (again only when the columns or the rate change), each band's curve is
// kept, and a band is evaluated afresh only when its coefficients differ from
// those its curve was made with; the channel's curve combines the band curves as
// getDigitalMagnitude combines bands.
//
// Owned and used by one thread (the editor's). Like the bank's other response
// queries it reads the designs without a lock while the settings thread may be
// redesigning: a design that lands mid-read gives a curve the next update redoes,
// since its coefficients then differ from the ones it was made with.
#include <vector>

#include "dsp/DigitalResponse.h"

namespace hm::dsp {

class EQBank;

class ResponseCurves {
public:
    // The frequencies in Hz, e.g. one per pixel column.
    void setFrequencies(const double* hz, int count);
    int size() const { return static_cast<int>(hz_.size()); }

    // Brings every band's curve on `channel` up to date with the bank; returns how
    // many bands had to be evaluated.
    int update(const EQBank& bank, int channel);

    // One band's response at every frequency (after update).
    const ComplexValue* band(int b) const { return curves_.data() + static_cast<std::size_t>(b) * hz_.size(); }
    // The channel's magnitude at every frequency (after update).
    const double* channelMagnitude() const { return magnitude_.data(); }

private:
    void combine();

    struct Made {
        double coeffs[4 * kBiquadCoefficients];
        int sections = -1;  // -1: never evaluated
        bool parallel = false;
        bool identity = false;
    };

    std::vector<double> hz_;
    std::vector<CirclePoint> points_;
    double pointsRate_ = 0.0;
    std::vector<ComplexValue> curves_;  // band-major
    std::vector<Made> made_;
    std::vector<ComplexValue> series_, sum_;  // the channel's combination, per column
    std::vector<double> magnitude_;
};

}  // namespace hm::dsp
