#pragma once
// The "Global Prefs" page of the setup window: every global preference of the
// per-user store, grouped under "Mouse and Meter" and "Misc", each with one
// button per value. A click stores the value at once (every instance sees it)
// and is reported under the view's tag (kGUIPrefsChange), after which the
// editor has its instance read the preferences again. At the bottom, "Save"
// writes the instance's whole current state as the default bank.
#include <string>

#include "gui/editor/EditorViews.h"
#include "gui/framework/CControl.h"
#include "gui/views/PreferenceRows.h"

namespace hm {
class Plug;
}

namespace hm::gui {

class Preferences : public CControl, public iEditorPreferencePage {
public:
    static constexpr int kSaveX = 180;
    static constexpr int kSaveWidth = 60;
    static constexpr int kFooterHeight = 32;  // the save row under the list

    Preferences(const CRect& size, CControlListener* listener, int tag);

    // Rows again from the store's schema, and a redraw. UI thread.
    void refreshFromStore() override;

    const PreferenceList& list() const { return list_; }
    // Outcome of the last "Save": 0 none yet, 1 written, −1 failed.
    int saveOutcome() const { return saveOutcome_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~Preferences() override = default;

private:
    CRect listArea() const;
    CRect saveButton() const;

    Plug* plug_;
    PreferenceList list_;
    bool draggingBar_ = false;
    bool savePressed_ = false;
    int saveOutcome_ = 0;
    int builtCount_ = 0;  // schema members the rows were built from
};

void registerPreferences();

}  // namespace hm::gui
