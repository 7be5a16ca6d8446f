#pragma once
// The "GUI" page of the setup window: the instance's editor preference tree
// as a list of collapsible pages. A click on a page header opens or closes
// it; the header's "Load/Save..." button offers the four default commands for
// that page or the whole tree; a preference with up to four values is set by
// its value buttons, one with more through a menu of its labels. Every change
// to the tree is reported under the view's tag (kGUIUIPrefsChange), after
// which the editor applies the preferences again.
#include <string>

#include "gui/editor/EditorViews.h"
#include "gui/framework/CControl.h"
#include "gui/views/PreferenceRows.h"

namespace hm {
class Plug;
}
namespace hm::prefs {
class EditorPreferences;
}

namespace hm::gui {

class COptionMenu;

class UIPreferences : public CControl, public CControlListener, public iEditorPreferencePage {
public:
    // Default-menu entries, in menu order (2 is the separator).
    enum DefaultCommand { kSavePage = 0, kRestorePage = 1, kSaveAll = 3, kRestoreAll = 4 };
    static constexpr int kLoadSaveX = 320;
    static constexpr int kLoadSaveWidth = 90;

    // The instance comes from the listener (the editor); without one the view
    // shows an empty list.
    UIPreferences(const CRect& size, CControlListener* listener, int tag);

    // The rows again from the tree (pages opened or closed, a state loaded,
    // defaults restored), and a redraw. UI thread.
    void refreshFromStore() override;

    const PreferenceList& list() const { return list_; }
    PreferenceList& list() { return list_; }
    // Runs one of the default commands on a page (the whole tree for the "all" ones).
    void runDefaultCommand(int command, const std::string& page);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* className) const override;

    // The embedded menus report here.
    void valueChanged(CControl* control) override;

    COptionMenu* valueMenu() const { return valueMenu_; }
    COptionMenu* defaultsMenu() const { return defaultsMenu_; }

protected:
    ~UIPreferences() override;

private:
    prefs::EditorPreferences* tree() const;
    void rebuildRows();
    void headerClicked(const PreferenceRow& row, int x, const CRect& box);
    void itemClicked(const PreferenceRow& row, int x, const CRect& box);
    void setPreference(const std::string& page, const std::string& name, int value);
    void openMenu(COptionMenu* menu, const CRect& box);
    // A row's rectangle in the parent's coordinates at the current scroll.
    CRect rowRect(const PreferenceRow& row) const;

    Plug* plug_;
    PreferenceList list_;
    COptionMenu* valueMenu_;
    COptionMenu* defaultsMenu_;
    std::string menuPage_, menuName_;  // what the open menu is about
    bool draggingBar_ = false;
};

void registerUIPreferences();

}  // namespace hm::gui
