#pragma once
// The presets the preset menu offers besides the instance's programs: the
// bank folder's "Presets" tree. A sub-folder becomes a sub-menu; a ".hmp" file
// an entry named after the file; a ".hmb" file a sub-menu of the bank's
// presets by name. Each folder's (or bank's) presets form one list, which is
// what the previous/next buttons walk once a preset of it was chosen.
//
// Entries of one folder are ordered presets first, then sub-menus; each group
// by the number a name starts with (none counts as 0), then by the bytes of
// the name. UI thread (reads files).
#include <memory>
#include <string>
#include <vector>

#include "core/state/BankPresetList.h"

namespace hm::gui {

struct PresetList {
    std::vector<state::BankPreset> presets;  // name and preset document (JSON text)
};

struct PresetNode {
    std::string name;
    std::shared_ptr<PresetList> list;  // the preset's list (null for a sub-menu)
    int index = -1;                    // position in that list
    std::vector<PresetNode> children;  // a sub-menu's entries
    bool isMenu() const { return list == nullptr; }
};

struct PresetTree {
    std::vector<PresetNode> entries;
};

// The tree under `folder` (empty when it does not exist). Hidden entries
// (names starting with ".") are skipped; files that cannot be read or decoded
// are left out; at most 8 folder levels are visited.
PresetTree scanPresetFolder(const std::string& folder);

// Reading one preset or bank file as the menu and the load buttons do.
enum class PresetFileStatus { Ok, Unreadable, Damaged };
struct PresetFile {
    PresetFileStatus status = PresetFileStatus::Unreadable;
    std::string document;  // the JSON text (inflated when the file starts with "ZIP ")
};
PresetFile readPresetFile(const std::string& path);

// A bank document's presets without the "-" entries, in menu order (stable).
// `hasList` tells whether the document had a "presets" list at all.
std::vector<state::BankPreset> bankPresetsOf(const std::string& document, bool& hasList);

}  // namespace hm::gui
