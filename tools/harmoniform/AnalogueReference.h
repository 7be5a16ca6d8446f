#pragma once
// The analogue response the instance's settings stand for, as the reference of
// the response command's deviation report (core/BankAnalogue.h computes it from
// the session's current parameters). It describes one path the response command
// measures (a probe's processing channel: left or mid is 0, right or side 1).
#include <vector>

#include "tools/harmoniform/HostSession.h"

namespace hm::tool {

// dB per frequency for the session's current parameters; false when no reference exists.
bool analogueResponseDb(HostSession& session, const std::vector<double>& hz, std::vector<double>& db, int channel = 0);

}  // namespace hm::tool
