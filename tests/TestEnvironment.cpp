// Linked into every test binary: tests never touch the user's own settings or
// banks, and always find the freshly built plug-in and the source tree.
#include <cstdlib>
#include <string>

namespace {

void setDefault(const char* name, const std::string& value, bool force) {
    if (force || std::getenv(name) == nullptr) ::setenv(name, value.c_str(), 1);
}

const bool kEnvironmentReady = [] {
    const std::string home = HM_TEST_HOME;
    setDefault("XDG_CONFIG_HOME", home + "/config", true);
    setDefault("XDG_DATA_HOME", home + "/data", true);
    setDefault("XDG_DATA_DIRS", home + "/system", true);
    setDefault("HARMONIFORM_PLUGIN", HM_TEST_PLUGIN, false);
    setDefault("HARMONIFORM_SOURCE", HM_SOURCE_DIR, false);
    return true;
}();

}  // namespace
