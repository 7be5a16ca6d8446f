#pragma once
// The layout tokenizer. XML markup with one difference that the shipped text
// relies on: attribute values may be written without quotes, and such a value
// is kept as an attribute of its own (name = the value, empty value) right
// after the valueless attribute it belongs to; Attributes.h pairs them again.
// Processing instructions, comments, CDATA sections and a document type
// declaration are skipped; text between tags is ignored; the standard XML
// character references are decoded in quoted values. Errors stop the parse;
// whatever was built before the error is kept.
#include <memory>
#include <string>
#include <string_view>

#include "gui/layout/LayoutElement.h"

namespace hm::gui {

struct LayoutParseResult {
    std::unique_ptr<LayoutElement> root;  // null when not even the root opened
    std::string error;                    // empty when the whole text was read
    std::size_t errorOffset = 0;          // byte offset where the parse stopped
};

// Any thread (no shared state).
LayoutParseResult parseLayoutText(std::string_view text);

// The root element (errors stop parsing and keep what was built).
std::unique_ptr<LayoutElement> parseLayout(std::string_view text);

}  // namespace hm::gui
