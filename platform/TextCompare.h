#pragma once
// ASCII case-insensitive comparison, as resource names and JSON member names
// are matched (locale-independent on purpose: names are ASCII).
#include <string>
#include <string_view>

namespace hm::platform {

inline bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Whether a path ends in `suffix` (an extension such as ".hmp"), letters in
// either case.
inline bool endsWithIgnoreCase(std::string_view path, std::string_view suffix) {
    return path.size() >= suffix.size() && equalsIgnoreCase(path.substr(path.size() - suffix.size()), suffix);
}

// The text with A-Z turned into a-z, everything else as it is.
inline std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace hm::platform
