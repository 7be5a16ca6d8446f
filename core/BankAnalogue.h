#pragma once
// The analogue response a set of parameter values stands for: the filter
// engine's analogue prototypes of every active band that acts on a processing
// channel's group (group g holds channel g, as a new instance has it), in
// series, with the master gain and that channel's level.
//
// The settings are mapped from the parameters exactly as the instance feeds its
// filter bank (engineBandSettings: user type to engine type, gain times Scale,
// frequency times Shift clamped to 10..22000 Hz, slope in 6 dB steps as the
// filter order, phase as a fraction). Parallel band modes have no series
// response; then, and for settings it cannot read, it answers false. Any thread.
#include <functional>
#include <vector>

namespace hm {

// realValue(index): the parameter's real value by the base conversion.
using RealValues = std::function<double(int)>;

// dB per frequency (Hz); false when no series response exists.
bool analogueResponseDb(const RealValues& realValue, const std::vector<double>& hz, std::vector<double>& db,
                        int channel = 0);

}  // namespace hm
