#pragma once
// Whole-file reads and crash-safe whole-file writes for the settings store,
// the default bank and preset/bank files.
//
// A write goes to a fresh temporary file in the destination's own folder, is
// flushed and synced to disk, and only then renamed over the destination. A
// crash or a full disk at any point leaves either the old file or the new one,
// never a truncated mix. The temporary file is removed when anything fails.
#include <cstddef>
#include <string>
#include <string_view>

namespace hm::platform {

// UI thread (any thread that may block on disk). False when any step failed;
// the destination is then untouched.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// Creates the folder and every missing parent (like "mkdir -p"). True when the
// folder exists afterwards.
bool createFolders(const std::string& folder);

// True when something (a file, a folder, anything) exists at the path.
bool pathExists(const std::string& path);

// The folder part of a path ("" for a bare file name, "/" for "/x").
std::string parentFolder(const std::string& path);

enum class ReadStatus {
    Ok,
    Missing,     // no such file
    Unreadable,  // exists but cannot be read (permissions, a folder, I/O error)
    TooLarge,    // larger than the caller's cap; nothing is returned
};

struct FileRead {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;  // the whole file when status is Ok
};

// Reads a whole file of at most maxBytes bytes. A longer file is refused rather
// than cut, so a reader never parses half a document.
FileRead readWholeFile(const std::string& path, std::size_t maxBytes);

}  // namespace hm::platform
