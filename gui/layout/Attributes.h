#pragma once
// Reading an element's attributes by name. Names compare without regard to
// case. The attribute list keeps unquoted values as attributes of their own
// with empty values (see LayoutParser.h), so a look-up walks the list in
// pairs: a valueless attribute followed by another valueless one takes that
// one's name as its value, and the value is never itself found as a name.
// Absent attributes read as "", 0, false or no bitmap.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/layout/LayoutElement.h"

namespace hm::gui {

class CBitmap;

// The value text, or nothing when the attribute is absent.
std::optional<std::string_view> findAttribute(const LayoutElement& element, std::string_view name);

std::string attributeString(const LayoutElement& element, std::string_view name);
// Decimal integer read from the start of the value ("%d"); 0 when unreadable.
int attributeInt(const LayoutElement& element, std::string_view name);
// Hexadecimal integer ("%x"); 0 when absent or unreadable.
unsigned attributeHex(const LayoutElement& element, std::string_view name);
// "true"/"false" in any case; other text is read as an integer, true when not 0.
bool attributeBool(const LayoutElement& element, std::string_view name);
// Skin bitmap id (0 = none).
int attributeBitmapId(const LayoutElement& element, std::string_view name);
// The skin bitmap of that id from the process-wide cache (borrowed; a view
// that keeps it retains it); null for 0, absent or unknown ids. UI thread.
CBitmap* attributeBitmap(const LayoutElement& element, std::string_view name);

// Menu items of a `txt` value: pieces separated by the two characters
// backslash and n; every piece, an empty last one included, is an item.
std::vector<std::string> splitMenuItems(std::string_view text);

}  // namespace hm::gui
