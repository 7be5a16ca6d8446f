#pragma once
// nAnalyserButton: switches the analyser on and off (left button; the new
// state shows while the pointer stays on the button and stands at release,
// reported under its tag kGUIAnalyser) and opens the analyser's menu (right
// button or command-click): "Primary Signal", "Display Type" and, while the
// display type is "Analyser", "Secondary Signal". A signal is a channel of
// this instance after the equaliser, the same "(pre)" before it, or a channel
// of another instance, listed under that instance's name. Choices go to the
// graph and are reported to the editor under kGUIAnalyserUpdated. UI thread only.
#include <map>
#include <vector>

#include "gui/controls/COptionMenu.h"

namespace hm::gui {

class EQGraph;

class nAnalyserButton : public COptionMenu {
public:
    static constexpr int kFrameHeight = 19;

    nAnalyserButton(const CRect& size, CControlListener* listener, int tag, CBitmap* background);

    // Builds the menu as it would open now (the tests read it).
    void buildMenu();
    // The code an entry of a source menu stands for (−1 for none).
    int codeOf(COptionMenu* menu, int index) const;

    void setValue(float value) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint&, const float&, const int&) override { return false; }
    void popupChosen(COptionMenu* menu, int index) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nAnalyserButton() override = default;

private:
    enum Role { kPrimary, kSecondary, kType };
    struct SourceMenu {
        Role role;
        std::vector<int> codes;  // per entry
    };
    EQGraph* graph() const;
    COptionMenu* sourceMenu(Role role, int current);

    std::map<COptionMenu*, SourceMenu> menus_;
    bool pressed_ = false;
    float before_ = 0.f;
};

void registerAnalyserButton();

}  // namespace hm::gui
