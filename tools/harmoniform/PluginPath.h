#pragma once
// Which plug-in library the tool loads, and how it says so when it cannot.
//
// A file named on the command line (--plugin, info) is a file: a bare name is
// looked for in the current folder, not on the library search path, and
// something that is not a shared library is called what it is. Without a name
// the tool searches, in order:
//   $HARMONIFORM_PLUGIN (a file; when set it must exist)
//   the build tree the tool was built in (the folder above the tool's own)
//   <prefix>/lib/vst of the prefix the tool was installed with
//   ~/.vst, every folder of $VST_PATH, /usr/local/lib/vst, /usr/lib/vst
// and, when nothing is found, lists every place it searched.
#include <memory>
#include <string>
#include <vector>

#include "tools/harmoniform/PluginHost.h"

namespace hm::tool {

// The file name the search looks for.
inline constexpr const char* kPluginFileName = "Harmoniform.so";

// The folders searched for kPluginFileName when no plug-in is named, in order
// (without $HARMONIFORM_PLUGIN, which names a file).
std::vector<std::string> pluginSearchFolders();

// Loads the plug-in `named` (empty: search). Null with a message otherwise.
std::unique_ptr<host::PluginLibrary> openPlugin(const std::string& named, std::string& error);

}  // namespace hm::tool
