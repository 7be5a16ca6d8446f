#pragma once
// The subcommands of the harmoniform tool; each returns the process exit code.
#include <string>
#include <vector>

namespace hm::tool {

int runInfo(const std::vector<std::string>& args);
int runPreset(const std::vector<std::string>& args);
int runRender(const std::vector<std::string>& args);
int runResponse(const std::vector<std::string>& args);
int runDemo(const std::vector<std::string>& args);
int runEditor(const std::vector<std::string>& args);

// The plug-in the tool drives when none is named: $HARMONIFORM_PLUGIN, else the
// Harmoniform.so built beside the tool (build tree), else the one installed with
// it (<prefix>/lib/vst), else ~/.vst/Harmoniform.so.
std::string defaultPluginPath();

}  // namespace hm::tool
