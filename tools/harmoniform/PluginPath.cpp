#include "tools/harmoniform/PluginPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Paths.h"

namespace hm::tool {
namespace {

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder holding this executable, from /proc/self/exe; "" when unknown.
std::string toolFolder() {
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) return {};
    const std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

// Checks a named file before dlopen, whose messages for these cases are cryptic.
bool checkPluginFile(const std::string& path, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = path + ": no such file";
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = path + " is a folder; name the plug-in file inside it";
        return false;
    }
    char magic[4] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(magic, sizeof(magic))) {
        error = in.is_open() ? path + " is not a plug-in (too short to be a shared library)" : "cannot read " + path;
        return false;
    }
    if (!std::equal(magic, magic + 4, "\x7f" "ELF")) {
        error = path + " is not a plug-in (not a shared library)";
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> pluginSearchFolders() {
    std::vector<std::string> folders;
    const auto add = [&](const std::string& folder) {
        if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    };
    if (const std::string dir = toolFolder(); !dir.empty()) {
        add(dir);  // beside the tool: a tool and plug-in copied into one folder
        const std::string parent = dir.substr(0, dir.rfind('/'));
        add(parent.empty() ? "/" : parent);  // build/ (the tool is build/tools/harmoniform)
        add(platform::joinPath(parent, "lib/vst"));  // installed with a prefix: <prefix>/bin/harmoniform
    }
    if (const std::string home = platform::homeFolder(); !home.empty()) add(platform::joinPath(home, ".vst"));
    if (const char* vstPath = std::getenv("VST_PATH")) {
        const std::string list = vstPath;
        for (std::size_t at = 0; at <= list.size();) {
            const std::size_t colon = std::min(list.find(':', at), list.size());
            add(list.substr(at, colon - at));
            at = colon + 1;
        }
    }
    add("/usr/local/lib/vst");
    add("/usr/lib/vst");
    return folders;
}

std::unique_ptr<host::PluginLibrary> openPlugin(const std::string& named, std::string& error) {
    std::string path = named;
    if (path.empty()) {
        if (const char* env = std::getenv("HARMONIFORM_PLUGIN"); env && *env) {
            path = env;
            if (!isFile(path)) {
                error = "HARMONIFORM_PLUGIN names " + path + ", which is no file";
                return nullptr;
            }
        } else {
            const std::vector<std::string> folders = pluginSearchFolders();
            for (const std::string& folder : folders) {
                const std::string candidate = platform::joinPath(folder, kPluginFileName);
                if (isFile(candidate)) {
                    path = candidate;
                    break;
                }
            }
            if (path.empty()) {
                error = std::string("no ") + kPluginFileName + " found; searched, in order:\n  $HARMONIFORM_PLUGIN (not set)";
                for (const std::string& folder : folders) error += "\n  " + folder;
                error += "\ngive --plugin FILE.so, or install the plug-in (cmake --install build)";
                return nullptr;
            }
        }
    }
    if (!checkPluginFile(path, error)) return nullptr;
    // dlopen searches the library path for a name without a slash; on a command
    // line a bare name means the file in the current folder.
    if (path.find('/') == std::string::npos) path = "./" + path;
    return host::PluginLibrary::open(path, error);
}

}  // namespace hm::tool
