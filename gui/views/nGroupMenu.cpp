#include "gui/views/nGroupMenu.h"

#include <cmath>
#include <cstring>

#include "core/Plug.h"
#include "gui/views/ViewValues.h"

namespace hm::gui {

namespace {
constexpr int kFirstGroupItem = 2;
constexpr int kAllGroups = 255;
// Group g (0-based) is bit 7 − g of the set.
int groupBit(int group) { return 1 << (7 - group); }
}  // namespace

std::vector<std::string> instanceGroupNames(CControlListener* listener) {
    std::vector<std::string> names;
    if (Plug* plug = instanceOf(listener)) {
        const int n = plug->groupNameCount();
        for (int g = 0; g < n && g < kMaxChannels; ++g) names.push_back(plug->groupName(g));
    }
    return names;
}

nGroupMenu::nGroupMenu(const CRect& rect, CControlListener* l, int band)
    : StripMenu(rect, l, bandParam(band, kBandGroups), band) {
    value = kAllGroups;
    setGroupNames(instanceGroupNames(l));
}

void nGroupMenu::setGroupNames(const std::vector<std::string>& names) {
    const float mask = value;
    removeAllEntry();
    value = mask;
    addEntry(names.size() == 2 ? "Stereo" : "All");
    addSeparator();
    for (const std::string& name : names) addEntry(name.c_str());
    updateChecks();
}

int nGroupMenu::groupMask() const {
    const int v = static_cast<int>(std::lround(value));
    return v < 0 ? 0 : (v > kAllGroups ? kAllGroups : v);
}

void nGroupMenu::updateChecks() {
    const int mask = groupMask();
    int every = 0;
    for (int g = 0; g < groupCount(); ++g) {
        every |= groupBit(g);
        checkEntry(kFirstGroupItem + g, (mask & groupBit(g)) != 0);
    }
    checkEntry(0, groupCount() > 0 && (mask & every) == every);
}

int nGroupMenu::maskAfterChoosing(int item) const {
    if (item == 0) return kAllGroups;
    const int g = item - kFirstGroupItem;
    if (g < 0 || g >= groupCount()) return groupMask();
    return groupMask() ^ groupBit(g);
}

void nGroupMenu::setValue(float v) {
    if (!std::isfinite(v)) return;
    StripMenu::setValue(v);
    updateChecks();
}

std::string bandGroupsText(const std::vector<std::string>& names, int mask) {
    const int count = static_cast<int>(names.size()) < 8 ? static_cast<int>(names.size()) : 8;
    if (count == 2 && (mask & groupBit(0)) && (mask & groupBit(1))) return "Stereo";
    std::string text;
    for (int g = 0; g < count; ++g) {
        if (!(mask & groupBit(g))) continue;
        if (!text.empty()) text += '+';
        text += names[static_cast<std::size_t>(g)];
    }
    return text;
}

std::string nGroupMenu::displayText() const {
    std::vector<std::string> names;
    for (int i = kFirstGroupItem; i < getNbEntries(); ++i) names.emplace_back(getEntry(i));
    return bandGroupsText(names, groupMask());
}

CMouseEventResult nGroupMenu::onMouseDown(CPoint& where, const int& buttons) {
    updateChecks();
    return StripMenu::onMouseDown(where, buttons);
}

bool nGroupMenu::onWheel(const CPoint&, const float&, const int&) { return false; }

void nGroupMenu::popupChosen(COptionMenu* menu, int index) {
    if (menu != this || index < 0) {
        COptionMenu::popupChosen(menu, index);
        return;
    }
    const int mask = maskAfterChoosing(index);
    const float normalised = baseNormalisedValue(tag, mask);
    // The editor reads the control's value as the parameter's normalised value.
    beginEdit();
    CControl::setValue(normalised);
    valueChangedNotify();
    endEdit();
    setValue(static_cast<float>(mask));
}

bool nGroupMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "nGroupMenu") == 0 || StripMenu::isTypeOf(className);
}

}  // namespace hm::gui
