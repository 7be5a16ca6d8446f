#pragma once
// Turns parsed layout elements into views: for each element in document order
// it reads the rectangle, tag and offsets, makes the view (stock framework
// classes here, every other name through the view registry), adds it to its
// parent container and descends into the element's children. Elements whose
// class nobody knows are skipped with their children, silently. Two faults
// are reported on the standard error stream: children under a view that is
// not a container, and a view without a parent container.
#include <string>
#include <vector>

#include "gui/layout/LayoutElement.h"

namespace hm::gui {

class CControlListener;
class CViewContainer;

// What a build made and skipped (tests, diagnostics).
struct LayoutBuildReport {
    int made = 0;
    std::vector<std::string> skipped;  // names of elements no class made, in document order
};

// UI thread. `first` is the first child of the root element; its views go
// into `top`, which is also handed to every maker as the top-level container.
void buildLayout(const LayoutElement* first, CViewContainer* top, CControlListener* listener,
                 LayoutBuildReport* report = nullptr);

}  // namespace hm::gui
