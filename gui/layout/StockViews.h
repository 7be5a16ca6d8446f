#pragma once
// The framework's stock classes as the layout names them (COnOffButton,
// CKnob, CVerticalSwitch2, ...), made from an element's attributes. The
// plain-named variants take their frame size from the element's rectangle
// and the frame count from the bitmap; the "2" variants read them from
// `heightofoneimage`, `subpixmaps` and `maxpositions`.
#include <string_view>

#include "gui/layout/ViewFactory.h"

namespace hm::gui {

// The maker of a stock class (name compared without regard to case); null
// when the name is not one.
ViewMaker findStockClass(std::string_view name);

}  // namespace hm::gui
