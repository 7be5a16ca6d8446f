// Creates an instance for a host: only after the host answered its version.
#include "core/Plug.h"

vst::AEffect* createEffectInstance(vst::HostCallback host) {
    if (!host) return nullptr;
    if (host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        hm::Plug* plug = new hm::Plug(host);
        return plug->getAeffect();
    } catch (...) {
        return nullptr;
    }
}
