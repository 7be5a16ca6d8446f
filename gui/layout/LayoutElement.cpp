#include "gui/layout/LayoutElement.h"

namespace hm::gui {

LayoutElement::~LayoutElement() {
    // Children and siblings are unlinked onto a work list and freed one by
    // one, so neither a long sibling chain nor deep nesting recurses.
    std::vector<std::unique_ptr<LayoutElement>> pending;
    if (firstChild) pending.push_back(std::move(firstChild));
    if (next) pending.push_back(std::move(next));
    while (!pending.empty()) {
        std::unique_ptr<LayoutElement> element = std::move(pending.back());
        pending.pop_back();
        if (element->firstChild) pending.push_back(std::move(element->firstChild));
        if (element->next) pending.push_back(std::move(element->next));
    }
}

}  // namespace hm::gui
