#pragma once
// The layout texts compiled into the library: one per "UI Size", so that the
// tree built from a text already fits a window of that size before the
// editor's relayout adjusts it to the user's layout preferences.
#include <string_view>

namespace hm::gui {

// Window width of each "UI Size" index (Tiny .. Huge).
inline constexpr int kUiSizeCount = 5;
inline constexpr int kUiSizeWidths[kUiSizeCount] = {555, 650, 750, 1100, 1300};

// The layout text for a "UI Size" index (0 Tiny .. 4 Huge; out-of-range
// indices give the nearest size). Empty when the resource is missing. Any thread.
std::string_view layoutTextFor(int uiSize);

}  // namespace hm::gui
