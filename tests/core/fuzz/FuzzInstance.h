#pragma once
// The one instance a fuzz target drives, made on first use with settings
// folders that do not exist (a run must neither read nor write a user's files).
#include <cstdlib>
#include <memory>

#include "core/Plug.h"

namespace hm::fuzz {

inline vst::VstIntPtr host(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

inline Plug& instance() {
    static std::unique_ptr<Plug> plug = [] {
        ::setenv("XDG_CONFIG_HOME", "/nonexistent-harmoniform-fuzz", 1);
        ::setenv("XDG_DATA_HOME", "/nonexistent-harmoniform-fuzz", 1);
        ::setenv("XDG_DATA_DIRS", "/nonexistent-harmoniform-fuzz", 1);
        return std::make_unique<Plug>(&host);
    }();
    return *plug;
}

}  // namespace hm::fuzz
