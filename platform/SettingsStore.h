#pragma once
// The per-user settings store: named text values kept in one JSON file
// (default $XDG_CONFIG_HOME/Harmoniform/settings.json, see platform/Paths.h),
// an object whose members are the value names, each holding a string:
//
//   { "Path": "/home/me/banks", "globals": "{\"FFT Update throttle\":1,...}" }
//
// Names compare case-insensitively. Every read goes to the file, so two
// processes see each other's changes; every write re-reads the file, changes
// one value and replaces the file atomically, holding an exclusive lock on the
// settings folder so that concurrent writers never lose each other's values.
//
// A file that exists but cannot be trusted is never overwritten behind the
// user's back:
//   - unreadable (permissions, a folder, larger than 1 MiB, I/O error): reads
//     find no values and writes fail, leaving the file as it is;
//   - readable but not a JSON object (damaged or hand-edited badly): reads find
//     no values; the first write moves it aside to "<file>.bad" (or ".bad1",
//     ".bad2", ... when that exists) and starts a fresh file.
// Members that are not strings read as missing and are kept on writes.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hm::platform {

class SettingsStore {
public:
    // The largest settings file that is read.
    static constexpr std::size_t kMaxFileBytes = 1u << 20;

    explicit SettingsStore(std::string filePath);

    // $XDG_CONFIG_HOME/Harmoniform/settings.json (~/.config when unset).
    static std::string defaultFilePath();

    const std::string& filePath() const { return path_; }

    // UI thread. The value, or nothing when the file or the value is missing,
    // unreadable or not text.
    std::optional<std::string> get(std::string_view name) const;

    // UI thread. Adds or replaces one value, keeping all others; creates the
    // folder when needed. False when nothing was written.
    bool set(std::string_view name, std::string_view value);

private:
    std::string path_;
};

}  // namespace hm::platform
