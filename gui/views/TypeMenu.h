#pragma once
// The band type menu: the six band types, and, when asked, each type's
// subtypes as a sub-menu of its entry (the type button of the strips, and the
// graph's value panel). Also the subtype lists of the subtype menus.
#include <string>
#include <vector>

namespace hm::gui {

class COptionMenu;

// Menu texts of the user-facing band types 1..6.
const char* bandTypeName(int type);

// Subtype names of a user-facing band type (empty for types without subtypes).
std::vector<std::string> subtypeNames(int type);

// Fills `menu` with the six types (entry i is type i + 1), checking the
// current one; with subtypes, types that have them get a sub-menu whose entry
// j is subtype j (the current one checked). Sub-menus are new menus the root
// holds.
void buildTypeMenu(COptionMenu& menu, bool withSubtypes, int currentType, int currentSubtype);

// What a choice in such a menu means: type 1..6 (0 when nothing was chosen)
// and the 0-based subtype, or −1 when only the type was chosen.
struct TypeChoice {
    int type = 0;
    int subtype = -1;
};
TypeChoice typeMenuChoice(const COptionMenu& root, const COptionMenu* chosenMenu, int index);

}  // namespace hm::gui
