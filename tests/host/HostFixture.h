#pragma once
// Loads the built plug-in once per test binary, as a host would.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

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

// The instance finishes work asked for on the audio thread on its own timer, and
// builds FIRs on a thread of its own: a host just keeps going. Repeats `attempt`
// (which renders and checks what the host hears) until it succeeds; false when
// it still has not after ten seconds.
template <class Attempt>
bool eventually(Attempt attempt) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!attempt()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace hm::test
