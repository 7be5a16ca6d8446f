#include "platform/Paths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "platform/SettingsStore.h"

namespace hm::platform {
namespace {

std::string absoluteEnv(const char* name) {
    const char* v = std::getenv(name);
    if (v == nullptr || v[0] != '/') return {};
    return v;
}

}  // namespace

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0) size = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    struct passwd pw {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

std::string joinPath(std::string_view a, std::string_view b) {
    if (a.empty()) return std::string(b);
    std::string out(a);
    if (out.back() != '/') out.push_back('/');
    while (!b.empty() && b.front() == '/') b.remove_prefix(1);
    out.append(b);
    return out;
}

std::string configHome() {
    std::string v = absoluteEnv("XDG_CONFIG_HOME");
    return v.empty() ? joinPath(homeFolder(), ".config") : v;
}

std::string dataHome() {
    std::string v = absoluteEnv("XDG_DATA_HOME");
    return v.empty() ? joinPath(homeFolder(), ".local/share") : v;
}

std::string defaultBankFolder(std::string_view vendor, std::string_view product) {
    return joinPath(joinPath(dataHome(), vendor), product);
}

std::string bankFolder(const SettingsStore& settings) {
    if (auto path = settings.get("Path"); path && path->size() >= 2) return *path;
    return defaultBankFolder();
}

std::string presetsFolder(std::string_view bankFolder) {
    return joinPath(bankFolder, kPresetsFolderName);
}

std::vector<std::string> systemBankFolders(std::string_view vendor, std::string_view product) {
    const char* env = std::getenv("XDG_DATA_DIRS");
    const std::string dirs = env && *env ? env : "/usr/local/share:/usr/share";
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/') folders.push_back(joinPath(joinPath(dir, vendor), product));
        start = end + 1;
    }
    return folders;
}

std::vector<std::string> startupBankFiles(const SettingsStore& settings) {
    const std::string folder = bankFolder(settings);
    std::vector<std::string> files = {joinPath(folder, kDefaultBankFileName), joinPath(folder, kFactoryBankFileName)};
    for (const std::string& f : systemBankFolders()) files.push_back(joinPath(f, kFactoryBankFileName));
    return files;
}

}  // namespace hm::platform
