#include "tools/harmoniform/AnalogueReference.h"

#include "core/BankAnalogue.h"

namespace hm::tool {

bool analogueResponseDb(HostSession& session, const std::vector<double>& hz, std::vector<double>& db, int channel) {
    return hm::analogueResponseDb([&session](int index) { return session.realValue(index); }, hz, db, channel);
}

}  // namespace hm::tool
