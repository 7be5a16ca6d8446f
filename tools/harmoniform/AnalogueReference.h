#pragma once
// The analogue response the instance's bands stand for, used as the reference of
// the response command's deviation report.
//
// STUB: the filter engine's response queries are not part of this build yet, so
// analogueResponseDb answers false and callers report that no reference exists.
#include <vector>

#include "tools/harmoniform/HostSession.h"

namespace hm::tool {

// dB per frequency for the session's current parameters; false when no reference
// can be computed.
bool analogueResponseDb(HostSession& session, const std::vector<double>& hz, std::vector<double>& db);

}  // namespace hm::tool
