#include "tools/harmoniform/Messages.h"

#include <cstdio>

namespace hm::tool {
namespace {

std::string prefix(const std::string& command) {
    return command.empty() ? "harmoniform" : "harmoniform " + command;
}

}  // namespace

std::string countOf(std::int64_t n, const char* singular) {
    return std::to_string(n) + " " + singular + (n == 1 ? "" : "s");
}

std::string programLabel(const std::string& name) { return name == "-" || name.empty() ? "(empty)" : name; }

bool namesAValue(std::string_view display) {
    for (char c : display)
        if (std::isalpha(static_cast<unsigned char>(c))) return true;
    return false;
}

int usageError(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "%s: %s\nsee '%s --help'\n", prefix(command).c_str(), message.c_str(), prefix(command).c_str());
    return 2;
}

int failure(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", prefix(command).c_str(), message.c_str());
    return 1;
}

void warning(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "%s: warning: %s\n", prefix(command).c_str(), message.c_str());
}

bool readInputFile(const std::string& path, std::size_t maxBytes, const char* what, std::string& bytes,
                   std::string& error) {
    platform::FileRead file = platform::readWholeFile(path, maxBytes);
    switch (file.status) {
        case platform::ReadStatus::Ok: bytes = std::move(file.bytes); return true;
        case platform::ReadStatus::Missing: error = "cannot open " + path + ": no such file"; break;
        case platform::ReadStatus::Unreadable: error = "cannot read " + path; break;
        case platform::ReadStatus::TooLarge: error = path + " is too large to be " + what; break;
    }
    return false;
}

void note(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", prefix(command).c_str(), message.c_str());
}

}  // namespace hm::tool
