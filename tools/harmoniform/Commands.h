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
int runBench(const std::vector<std::string>& args);
int runImport(const std::vector<std::string>& args);
int runExport(const std::vector<std::string>& args);

}  // namespace hm::tool
