#pragma once
// Editor preferences travel in the instance's state document ("uiprefs"); a
// host-side tool changes one by reading the state, changing it and giving it
// back through the chunk calls, as a host restoring a project would.
#include <string>

#include "tools/harmoniform/PluginHost.h"

namespace hm::tool {

// Sets uiprefs.<page>.<name>.value; false with a message when the state holds
// no such preference.
bool setEditorPreference(host::PluginInstance& plugin, const std::string& page, const std::string& name, int value,
                         std::string& error);

}  // namespace hm::tool
