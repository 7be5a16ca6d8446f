#pragma once
// Loads the built plug-in once per test binary, as a host would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "tools/harmoniform/PluginHost.h"

namespace hm::test {

inline const host::PluginLibrary& pluginLibrary() {
    static std::unique_ptr<host::PluginLibrary> library = [] {
        const char* path = std::getenv("HARMONIFORM_PLUGIN");
        std::string error;
        auto lib = host::PluginLibrary::open(path ? path : "Harmoniform.so", error);
        if (!lib) ADD_FAILURE() << "cannot load the plug-in: " << error;
        return lib;
    }();
    return *library;
}

inline std::unique_ptr<host::PluginInstance> makeInstance(host::HostBehaviour behaviour = {}) {
    auto instance = host::PluginInstance::create(pluginLibrary(), std::move(behaviour));
    if (instance) instance->start(48000.0f, 256);
    return instance;
}

}  // namespace hm::test
