#pragma once
// A host callback for unit tests of the instance classes: records every call.
#include <atomic>
#include <mutex>
#include <vector>

#include "core/vst/VstAbi.h"

namespace hm::test {

struct RecordedCall {
    int opcode;
    int index;
    float opt;
    int delay;  // audioMasterIOChanged: the effect record's initial delay, as the host reads it
};

inline std::mutex gFakeHostMutex;
inline std::vector<RecordedCall> gFakeHostCalls;

// What the host answers to audioMasterGetCurrentProcessLevel (4: rendering offline).
inline std::atomic<int> gFakeHostProcessLevel{0};

inline vst::VstIntPtr fakeHost(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr,
                               void*, float opt) {
    // Asked at the start of every processing call: answered as a real-time host
    // does, without a lock or a record.
    if (opcode == vst::audioMasterGetCurrentProcessLevel) return gFakeHostProcessLevel.load();
    std::lock_guard lock(gFakeHostMutex);
    const bool ioChanged = opcode == vst::audioMasterIOChanged && effect;
    gFakeHostCalls.push_back({opcode, index, opt, ioChanged ? std::atomic_ref(effect->initialDelay).load() : 0});
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

inline void clearFakeHost() {
    std::lock_guard lock(gFakeHostMutex);
    gFakeHostCalls.clear();
}

inline std::vector<RecordedCall> fakeHostCalls() {
    std::lock_guard lock(gFakeHostMutex);
    return gFakeHostCalls;
}

inline int countFakeHost(int opcode, int index = -1) {
    std::lock_guard lock(gFakeHostMutex);
    int n = 0;
    for (const auto& c : gFakeHostCalls) n += c.opcode == opcode && (index < 0 || c.index == index);
    return n;
}

}  // namespace hm::test
