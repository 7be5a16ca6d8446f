#include "gui/layout/ShippedLayout.h"

#include <algorithm>

#include "platform/Resources.h"

namespace hm::gui {

std::string_view layoutTextFor(int uiSize) {
    // Written by tools/layoutgen/make_layouts.py; "ui" is the default size (Med).
    static constexpr const char* kNames[kUiSizeCount] = {"ui-Tiny", "ui-Small", "ui", "ui-Large", "ui-Huge"};
    const int index = std::clamp(uiSize, 0, kUiSizeCount - 1);
    return platform::findResource(kNames[index], "xml").text();
}

}  // namespace hm::gui
