// The bundle library's only export: the descriptors of the three plug-ins.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "lv2/Lv2Instance.h"

namespace hm::lv2 {
namespace {

Lv2Instance* self(LV2_Handle handle) { return static_cast<Lv2Instance*>(handle); }

template <int V>
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    try {
        return Lv2Instance::create(kVariants[V], rate, features);
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle h, uint32_t port, void* data) { self(h)->connectPort(port, data); }
void activate(LV2_Handle h) { self(h)->activate(); }
void run(LV2_Handle h, uint32_t frames) { self(h)->run(frames); }
void deactivate(LV2_Handle h) { self(h)->deactivate(); }
void cleanup(LV2_Handle h) { delete self(h); }

// Nothing is thrown across the host boundary.
template <class Call>
LV2_State_Status guarded(Call call) {
    try {
        return call();
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status saveState(LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                           const LV2_Feature* const*) {
    return guarded([&] { return self(h)->save(store, handle); });
}

LV2_State_Status restoreState(LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                              const LV2_Feature* const*) {
    return guarded([&] { return self(h)->restore(retrieve, handle); });
}

const LV2_State_Interface kState = {saveState, restoreState};

const void* extensionData(const char* uri) { return std::strcmp(uri, LV2_STATE__interface) == 0 ? &kState : nullptr; }

const LV2_Descriptor kDescriptors[kNumVariants] = {
    {kVariants[0].uri, instantiate<0>, connectPort, activate, run, deactivate, cleanup, extensionData},
    {kVariants[1].uri, instantiate<1>, connectPort, activate, run, deactivate, cleanup, extensionData},
    {kVariants[2].uri, instantiate<2>, connectPort, activate, run, deactivate, cleanup, extensionData},
};

}  // namespace
}  // namespace hm::lv2

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < static_cast<uint32_t>(hm::lv2::kNumVariants) ? &hm::lv2::kDescriptors[index] : nullptr;
}
