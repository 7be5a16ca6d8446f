#pragma once
// The enumeration text of parameter and editor-tag names, parsed once per process
// into (name, value) pairs, with look-ups both ways.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hm {

extern const char* const kEnumerationText;

using EnumerationEntry = std::pair<std::string, int>;

// Parses an enumeration text: items split at commas; "name=N" sets the running
// counter to N; white space (codes up to 32) around a name is dropped; every name
// takes the counter, which then increases by one. Empty items are skipped.
std::vector<EnumerationEntry> parseEnumeration(std::string_view text);

// The shipped enumeration, parsed on first use (thread-safe). Any thread.
const std::vector<EnumerationEntry>& enumeration();

// Exact, case-sensitive name look-up; -1 when absent.
int enumValueOf(std::string_view name);
// First name with that value; null when absent.
const char* enumNameOf(int value);

}  // namespace hm
