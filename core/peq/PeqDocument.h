#pragma once
// An imported preset as the bytes of a preset file (.hmp): the same document a
// program's preset chunk holds (`parameters` of the EQ part by enumerator name,
// `name`, `bandOrder`), compressed as every chunk is. Loading it is loading a
// preset, so programs, A/B slots, undo and state treat it like any other.
// Pure functions; any thread.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/peq/PeqMapping.h"

namespace hm::peq {

// The most a filter list read from a file may hold: a real one is a few
// kilobytes, and anything far larger is not one.
inline constexpr std::size_t kMaxTextBytes = 1u << 20;

std::vector<unsigned char> presetChunk(const PresetValues& values, std::string_view name);

// A program name for a text file: the file's name without folder and
// extension, cut to what a program name keeps.
std::string presetNameFor(std::string_view path);

// Whether a path names a parametric EQ text rather than a preset or bank
// (its extension is .txt, in any letter case).
bool isTextPath(std::string_view path);

}  // namespace hm::peq
