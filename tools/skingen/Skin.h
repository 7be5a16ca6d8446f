#pragma once
// The skin generator's catalogue: every bitmap id with the function that
// draws it. Each function returns a new bitmap (one reference, the caller's).
#include <vector>

#include "gui/draw/CDIB.h"

namespace hm::skingen {

struct SkinEntry {
    int id;
    gui::CDIB* (*draw)();
};

// Appends the entries of each group.
void addFonts(std::vector<SkinEntry>& out);
void addControls(std::vector<SkinEntry>& out);
void addButtons(std::vector<SkinEntry>& out);
void addPanels(std::vector<SkinEntry>& out);
void addWizard(std::vector<SkinEntry>& out);

}  // namespace hm::skingen
