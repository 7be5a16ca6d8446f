#pragma once
// The strip's groups menu: which channel groups the band acts on. Item 0 is
// every group ("Stereo" with exactly two groups, else "All"), item 1 a
// separator, then one item per group of the instance, checked while the band
// acts on that group. Choosing a group item adds or removes that group;
// choosing item 0 gives the band every group. A band left without any group
// is reported as 0, for which the editor puts in the group of the view in
// front.
//
// Its value is the Groups parameter's real value, the 8-bit group set (group
// 1 in the top bit), as the editor gives it; choices are reported as the
// parameter's normalised value. Its text: "Stereo" when there are 4 items
// and item 0 is checked, else the names of the checked group items joined
// with "+".
#include <string>
#include <vector>

#include "gui/views/StripMenu.h"

namespace hm::gui {

class nGroupMenu : public StripMenu {
public:
    // Items from the instance's group names (through the listener).
    nGroupMenu(const CRect& size, CControlListener* listener, int band);

    // Replaces the group items by these names (item 0 and the separator stay).
    void setGroupNames(const std::vector<std::string>& names);
    int groupCount() const { return getNbEntries() > 2 ? getNbEntries() - 2 : 0; }
    int groupMask() const;
    // Check marks from the current group set.
    void updateChecks();
    // What choosing an item does to the group set.
    int maskAfterChoosing(int item) const;

    void setValue(float value) override;
    std::string displayText() const override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    void popupChosen(COptionMenu* menu, int index) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nGroupMenu() override = default;
};

// The group names of the listener's instance (none without one).
std::vector<std::string> instanceGroupNames(CControlListener* listener);

// How a band's group set reads wherever it is shown (strip menu, graph value
// panel): "Stereo" for both groups of a two-group instance, else the names of
// its groups joined with "+"; "" for none.
std::string bandGroupsText(const std::vector<std::string>& names, int mask);

}  // namespace hm::gui
