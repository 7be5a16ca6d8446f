// Linked into every test binary: tests never touch the user's own settings or
// banks, and always find the freshly built plug-in and the source tree.
//
// Every test process gets a home of its own under the binary's test home (ctest
// runs the tests of one binary as parallel processes, which must not see each
// other's settings and banks); the process that made it removes it at exit.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

void setDefault(const char* name, const std::string& value, bool force) {
    if (force || std::getenv(name) == nullptr) ::setenv(name, value.c_str(), 1);
}

std::string gHome;
pid_t gOwner = 0;

void removeHome() {
    // A forked child (a death test) shares the home; only its maker removes it.
    if (::getpid() != gOwner || gHome.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(gHome, ignored);
}

const bool kEnvironmentReady = [] {
    gOwner = ::getpid();
    gHome = std::string(HM_TEST_HOME) + "/process-" + std::to_string(gOwner);
    std::error_code ignored;
    std::filesystem::remove_all(gHome, ignored);  // left over by an earlier process of that number
    std::filesystem::create_directories(gHome, ignored);
    std::atexit(removeHome);
    setDefault("XDG_CONFIG_HOME", gHome + "/config", true);
    setDefault("XDG_DATA_HOME", gHome + "/data", true);
    setDefault("XDG_DATA_DIRS", gHome + "/system", true);
    setDefault("HARMONIFORM_PLUGIN", HM_TEST_PLUGIN, false);
    setDefault("HARMONIFORM_SOURCE", HM_SOURCE_DIR, false);
    return true;
}();

}  // namespace
