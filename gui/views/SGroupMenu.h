#pragma once
// The tool bar's stereo / group menu (tags kGUIStereoMode and, as `alttag`,
// kGUIStereoMode2): which channel groups the graph shows in front and behind.
// Its items come from the instance's channel groups: "Both" (exactly two
// groups) or "None" (more), a separator, then the group names; the editor
// gives the items their meaning. With one group it is hidden. With more than
// two groups it holds a second value: a press with the right button (or
// command) chooses that one and reports it under the alternate tag; any other
// press chooses the main value.
#include <string>
#include <vector>

#include "gui/controls/COptionMenu.h"

namespace hm::gui {

class SGroupMenu : public COptionMenu {
public:
    static constexpr int kFirstGroupItem = 2;

    SGroupMenu(const CRect& size, CControlListener* listener, int tag, int altTag, CBitmap* background);

    int getAltTag() const { return altTag_; }
    int getAltValue() const { return altValue_; }
    // Items from these group names (the instance's when the menu refreshes itself).
    void setGroupNames(const std::vector<std::string>& names);
    int groupCount() const { return static_cast<int>(names_.size()); }
    bool isShown() const { return groupCount() > 1; }
    bool isEditingAlternate() const { return editingAlternate_; }

    std::string displayText() const override;
    void draw(CDrawContext* context) override;
    bool hitTest(const CPoint& where, const int& buttons = -1) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    void popupChosen(COptionMenu* menu, int index) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~SGroupMenu() override = default;

private:
    // Takes the instance's current groups when they changed.
    void refreshFromInstance();

    int altTag_;
    int altValue_ = 0;
    bool editingAlternate_ = false;
    std::vector<std::string> names_;
};

void registerGroupMenu();

}  // namespace hm::gui
