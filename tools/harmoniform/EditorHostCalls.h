#pragma once
// What the tool asks of a plug-in's editor through the ABI: changing an
// editor preference and rendering the editor to a PNG file.
#include <string>

#include "tools/harmoniform/PluginHost.h"

namespace hm::tool {

// Editor preferences travel in the instance's state document ("uiprefs"): the
// state is read, the one preference changed, and the state given back through
// the chunk calls, as a host restoring a project would. Sets
// uiprefs.<page>.<name>.value; false with a message when the state holds no
// such preference.
bool setEditorPreference(host::PluginInstance& plugin, const std::string& page, const std::string& name, int value,
                         std::string& error);

// The editor's picture of the instance's current state, rendered by the
// plug-in without a display (its vendor-specific snapshot request) and
// written as PNG; `wizard` pictures the setup wizard instead of the
// equaliser. False with a message when either step fails.
bool writeEditorSnapshot(host::PluginInstance& plugin, const std::string& path, int& width, int& height,
                         std::string& error, bool wizard = false);

}  // namespace hm::tool
