#pragma once
// gui/layout/: the editor's layout text and how it becomes a view tree. The
// text is an XML-like description (resource "ui" of type "xml"): one element
// per view, its class by name, its rectangle, its tag by enumerator name and
// class-specific attributes. LayoutParser turns the text into LayoutElements,
// LayoutBuilder turns those into views, making the stock framework classes
// itself and asking the view registry (ViewFactory) for every other name.
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace hm::gui {

// One element of the parsed layout, as written: its name, its attributes in
// the tokenizer's order (see Attributes.h for how a name is found in them),
// its first child and its next sibling.
struct LayoutElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::unique_ptr<LayoutElement> firstChild;
    std::unique_ptr<LayoutElement> next;

    LayoutElement() = default;
    LayoutElement(const LayoutElement&) = delete;
    LayoutElement& operator=(const LayoutElement&) = delete;
    // Unlinks sibling chains iteratively, so a text with very many siblings
    // cannot exhaust the stack when its tree is freed.
    ~LayoutElement();
};

}  // namespace hm::gui
