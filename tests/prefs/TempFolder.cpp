#include "tests/prefs/TempFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace hm::test {
namespace {

// Runs before any test: the user's real folders are out of reach.
struct SandboxHome {
    SandboxHome() {
        char tmpl[] = "/tmp/hm-prefs-home-XXXXXX";
        if (::mkdtemp(tmpl) == nullptr) std::abort();
        home = tmpl;
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    }
    ~SandboxHome() {
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
    std::string home;
} sandbox;

}  // namespace

TempFolder::TempFolder() {
    char tmpl[] = "/tmp/hm-prefs-test-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

int entryCount(const std::string& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace hm::test
