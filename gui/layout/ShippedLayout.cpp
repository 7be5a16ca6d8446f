#include "gui/layout/ShippedLayout.h"

#include "platform/Resources.h"

namespace hm::gui {

std::string_view layoutTextFor(int uiSize) {
    (void)uiSize;
    return platform::findResource("ui", "xml").text();
}

}  // namespace hm::gui
