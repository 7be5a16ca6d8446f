#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tools/harmoniform/Commands.h"

namespace hm::tool {

std::string defaultPluginPath() {
    if (const char* env = std::getenv("HARMONIFORM_PLUGIN"); env && *env) return env;
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) return "Harmoniform.so";
    std::string dir(self, static_cast<std::size_t>(n));
    dir = dir.substr(0, dir.rfind('/'));           // build/tools
    return dir.substr(0, dir.rfind('/')) + "/Harmoniform.so";  // build/Harmoniform.so
}

}  // namespace hm::tool
