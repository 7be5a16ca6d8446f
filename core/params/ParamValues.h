#pragma once
// Arrays of normalised values shared between the host's threads.
//
// Hosts set parameters from their audio thread (automation, MIDI) and from
// their user-interface thread; every value is a single 32-bit store. Relaxed
// atomics make that sharing well-defined at no cost on the platforms we run on.
#include <atomic>

#include "core/params/ParamIds.h"

namespace hm {

class ParamValues {
public:
    float get(int index) const { return isParam(index) ? values_[index].load(std::memory_order_relaxed) : 0.0f; }
    void set(int index, float value) {
        if (isParam(index)) values_[index].store(value, std::memory_order_relaxed);
    }
    void copyFrom(const ParamValues& other) {
        for (int i = 0; i < kNumParams; ++i) set(i, other.get(i));
    }

private:
    std::atomic<float> values_[kNumParams]{};
};

}  // namespace hm
