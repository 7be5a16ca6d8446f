#pragma once
// The subcommands of the harmoniform tool; each returns the process exit code.
#include <string>
#include <vector>

namespace hm::tool {

int runInfo(const std::vector<std::string>& args);
int runPreset(const std::vector<std::string>& args);

// The plug-in the tool drives when none is named: $HARMONIFORM_PLUGIN, else the
// Harmoniform.so built beside the tool.
std::string defaultPluginPath();

}  // namespace hm::tool
