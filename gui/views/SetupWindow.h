#pragma once
// The setup window's page column: a header row, one 25-pixel row per page
// ("DSP", "GUI", "Routing", "Global Prefs", "About/Credits") and, in the last
// 25 pixels, "Setup Wizard...". The value is the selected page (0..4); a click
// on a page row selects it and reports it under the view's tag
// (kGUISetupPage), which shows the matching pane. A click on the wizard entry
// reports 1.0 under kGUIWizardOpen and leaves the selection as it was.
#include "gui/editor/EditorViews.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class SetupWindow : public CControl, public iEditorSetupList {
public:
    static constexpr int kPageCount = 5;
    static constexpr int kRowHeight = 25;
    static constexpr const char* kPageNames[kPageCount] = {"DSP", "GUI", "Routing", "Global Prefs", "About/Credits"};

    SetupWindow(const CRect& size, CControlListener* listener, int tag);

    int selectedPage() const;
    // The about page, selected and reported (the title strip's "about" click). UI thread.
    void selectLastPage() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~SetupWindow() override = default;

private:
    void select(int page);
};

void registerSetupWindow();

}  // namespace hm::gui
