#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "tools/harmoniform/Commands.h"

namespace hm::tool {

std::string defaultPluginPath() {
    if (const char* env = std::getenv("HARMONIFORM_PLUGIN"); env && *env) return env;
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string candidates[3];
    if (n > 0) {
        std::string dir(self, static_cast<std::size_t>(n));
        dir = dir.substr(0, dir.rfind('/'));                   // build/tools or <prefix>/bin
        const std::string parent = dir.substr(0, dir.rfind('/'));
        candidates[0] = parent + "/Harmoniform.so";            // build/Harmoniform.so
        candidates[1] = parent + "/lib/vst/Harmoniform.so";    // installed with a prefix
    }
    const std::string home = platform::homeFolder();
    if (!home.empty()) candidates[2] = home + "/.vst/Harmoniform.so";  // installed for the user
    for (const std::string& c : candidates)
        if (!c.empty() && platform::pathExists(c)) return c;
    return candidates[0].empty() ? "Harmoniform.so" : candidates[0];
}

}  // namespace hm::tool
