#include "tools/harmoniform/AnalogueReference.h"

namespace hm::tool {

// Stub until the filter engine's prototype responses are in the build.
bool analogueResponseDb(HostSession& /*session*/, const std::vector<double>& /*hz*/, std::vector<double>& db) {
    db.clear();
    return false;
}

}  // namespace hm::tool
