#pragma once
// A host callback for unit tests of the instance classes: records every call.
#include <mutex>
#include <vector>

#include "core/vst/VstAbi.h"

namespace hm::test {

struct RecordedCall {
    int opcode;
    int index;
    float opt;
};

inline std::mutex gFakeHostMutex;
inline std::vector<RecordedCall> gFakeHostCalls;

inline vst::VstIntPtr fakeHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr, void*,
                               float opt) {
    std::lock_guard lock(gFakeHostMutex);
    gFakeHostCalls.push_back({opcode, index, opt});
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

inline void clearFakeHost() {
    std::lock_guard lock(gFakeHostMutex);
    gFakeHostCalls.clear();
}

inline int countFakeHost(int opcode, int index = -1) {
    std::lock_guard lock(gFakeHostMutex);
    int n = 0;
    for (const auto& c : gFakeHostCalls) n += c.opcode == opcode && (index < 0 || c.index == index);
    return n;
}

}  // namespace hm::test
