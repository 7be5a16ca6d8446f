#pragma once
// The analogue response the instance's settings stand for, as the reference of
// the response command's deviation report: the filter engine's analogue
// prototypes of every active band that acts on a processing channel's group
// (group g holds channel g, as a new instance has it), in series, with the
// master gain and that channel's level.
//
// The settings are mapped from the parameters exactly as the instance feeds its
// filter bank (user type to engine type, gain times Scale, frequency times Shift
// clamped to 10..22000 Hz, slope in 6 dB steps as the filter order, phase as a
// fraction). It describes one path the response command measures (a probe's
// processing channel: left or mid is 0, right or side 1). Parallel band modes
// have no series reference; then, and for settings it cannot read, it answers false.
#include <vector>

#include "tools/harmoniform/HostSession.h"

namespace hm::tool {

// dB per frequency for the session's current parameters; false when no reference exists.
bool analogueResponseDb(HostSession& session, const std::vector<double>& hz, std::vector<double>& db, int channel = 0);

}  // namespace hm::tool
