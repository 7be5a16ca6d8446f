#pragma once
// Control tags by enumerator name: the parameter model's enumeration text
// (parameters and editor tags), looked up by exact, case-sensitive name.
#include <string_view>

namespace hm::gui {

// The tag value of an enumerator name; −1 for unknown or empty names. The
// table is built once per process and shared by every editor. Any thread.
int resolveTagName(std::string_view name);

}  // namespace hm::gui
