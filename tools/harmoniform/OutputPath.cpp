#include "tools/harmoniform/OutputPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace hm::tool {
namespace {

// Hops allowed through links before giving up, as the kernel does (ELOOP).
constexpr int kMaxLinkHops = 40;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

// Follows `path` while it is a symbolic link; the result may not exist.
bool followLinks(const std::string& path, std::string& resolved, std::string& error) {
    resolved = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4095) + 1);
        const ssize_t n = ::readlink(resolved.c_str(), target.data(), target.size());
        if (n < 0) {
            error = "cannot follow the link " + resolved + ": " + std::strerror(errno);
            return false;
        }
        std::string next(target.data(), static_cast<std::size_t>(n));
        resolved = next.front() == '/' ? next : folderOf(resolved) + next;
    }
    error = path + ": too many levels of symbolic links";
    return false;
}

}  // namespace

bool resolveOutput(const std::string& out, const std::string& input, bool inPlace, OutputTarget& target,
                   std::string& error) {
    target = {};
    if (out == "-") {
        error = "cannot write to standard output: the file is written to a temporary file and renamed into "
                "place, which needs a file name (use ./- for a file named '-')";
        return false;
    }
    if (out.empty()) {
        error = "no output file given";
        return false;
    }
    if (!followLinks(out, target.path, error)) return false;
    struct stat outStat {};
    if (::stat(target.path.c_str(), &outStat) == 0) {
        if (S_ISDIR(outStat.st_mode)) {
            error = out + " is a folder; give a file name";
            return false;
        }
        target.exists = true;
        target.mode = outStat.st_mode & 07777;
    }
    if (input.empty() || !target.exists || inPlace) return true;
    struct stat inStat {};
    const int read = input == "-" ? ::fstat(STDIN_FILENO, &inStat) : ::stat(input.c_str(), &inStat);
    if (read == 0 && inStat.st_dev == outStat.st_dev && inStat.st_ino == outStat.st_ino) {
        error = out + " is the input file" + (input == "-" ? std::string(" (standard input)") : "") +
                "; give another output file, or --in-place to replace the input";
        return false;
    }
    return true;
}

}  // namespace hm::tool
