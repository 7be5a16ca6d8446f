#include "gui/views/TypeMenu.h"

#include "core/BandMapping.h"
#include "dsp/design/SubtypeNames.h"
#include "gui/controls/COptionMenu.h"

namespace hm::gui {

namespace {
constexpr int kTypes = 6;
constexpr const char* kTypeNames[kTypes] = {"Peak", "High-pass", "Low shelf", "High shelf", "Low-pass", "Notch"};
}  // namespace

const char* bandTypeName(int type) { return type >= 1 && type <= kTypes ? kTypeNames[type - 1] : ""; }

std::vector<std::string> subtypeNames(int type) {
    std::vector<std::string> names;
    if (type < 1 || type > kTypes) return names;
    const int engine = engineBandType(type);
    for (int i = 0; i < dsp::subtypeCount(engine); ++i)
        if (const char* name = dsp::subtypeName(engine, i)) names.emplace_back(name);
    return names;
}

void buildTypeMenu(COptionMenu& menu, bool withSubtypes, int currentType, int currentSubtype) {
    menu.removeAllEntry();
    for (int type = 1; type <= kTypes; ++type) {
        const std::vector<std::string> names = withSubtypes ? subtypeNames(type) : std::vector<std::string>{};
        if (names.empty()) {
            menu.addEntry(bandTypeName(type));
        } else {
            auto* sub = new COptionMenu(CRect(), nullptr, -1);
            for (int j = 0; j < static_cast<int>(names.size()); ++j) {
                sub->addEntry(names[static_cast<std::size_t>(j)].c_str());
                sub->checkEntry(j, type == currentType && j == currentSubtype);
            }
            menu.addEntry(sub, bandTypeName(type));
            sub->release();  // the root holds it
        }
        menu.checkEntry(type - 1, type == currentType);
    }
}

TypeChoice typeMenuChoice(const COptionMenu& root, const COptionMenu* chosen, int index) {
    TypeChoice c;
    if (!chosen || index < 0) return c;
    if (chosen == &root) {
        if (index < kTypes) c.type = index + 1;
        return c;
    }
    for (int i = 0; i < root.getNbEntries() && i < kTypes; ++i) {
        if (root.getSubMenu(i) != chosen) continue;
        c.type = i + 1;
        c.subtype = index;
        break;
    }
    return c;
}

}  // namespace hm::gui
