#pragma once
// The gallery's frame: one of every stock control and of the framework's own
// classes, placed on panels drawn from the skin.
#include "gui/framework/CControl.h"
#include "gui/framework/CFrame.h"

namespace hm::gallery {

inline constexpr int kWidth = 760;
inline constexpr int kHeight = 510;

// Fills the frame; listener hears every control (tags are the order of creation).
void buildGallery(gui::CFrame* frame, gui::CControlListener* listener);

// Gives a value to every page with that tag, as the editor does for page groups.
void distributeToPages(gui::CFrame* frame, int tag, float value);

// Control used by the demo interactions of the headless rendering.
gui::CControl* galleryControl(gui::CFrame* frame, int tag);

}  // namespace hm::gallery
