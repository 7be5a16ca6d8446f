#pragma once
// The byte form of a state document as handed to the host and stored in preset
// and bank files:
//   compressed  "ZIP " (5A 49 50 20) followed by a zlib stream (RFC 1950
//               wrapper, deflate level 9) of the JSON text, no terminating zero;
//   plain       the JSON text followed by one zero byte (written only when the
//               compressor cannot be used).
// Pure functions; any thread; no instance state.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hm::state {

inline constexpr char kChunkMarker[4] = {'Z', 'I', 'P', ' '};

// A state document is a few hundred kilobytes at most; anything that inflates
// beyond this is damaged or hostile (a "zip bomb") and is rejected rather than
// allowed to exhaust the host's memory.
inline constexpr std::size_t kMaxInflatedChunkBytes = 64u << 20;  // 64 MiB

// The compressed form, or the plain form when compression cannot start or
// fails (a stream error also writes "bailing!" on stderr).
std::vector<unsigned char> encodeChunk(std::string_view jsonText);

// The JSON text held by exactly `size` bytes at `data` (never read past them).
// Compressed data is inflated up to maxInflated bytes; plain data is taken up
// to its first zero byte; bytes after the end of a stream are ignored. Nothing
// when the data is null or empty, the stream is truncated, corrupt or inflates
// beyond the cap, or the text is empty.
std::optional<std::string> decodeChunk(const void* data, std::size_t size,
                                       std::size_t maxInflated = kMaxInflatedChunkBytes);

inline std::optional<std::string> decodeChunk(std::string_view bytes,
                                              std::size_t maxInflated = kMaxInflatedChunkBytes) {
    return decodeChunk(bytes.data(), bytes.size(), maxInflated);
}

}  // namespace hm::state
