#pragma once
// A pop-up menu control. It shows its current entry's title; a click (left or
// right) opens the list in a pop-up window beside it, and choosing an entry
// makes that entry's index the value and tells the listener. Entries may hold
// sub-menus (themselves COptionMenus); a choice inside one is reported through
// getLastItemMenu()/getLastResult() with the control's own value unchanged.
// The title "-" makes a separator.
#include <memory>
#include <string>
#include <vector>

#include "gui/controls/CParamDisplay.h"

namespace hm::gui {

class MenuPopup;

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, int tag, CBitmap* background = nullptr,
                CBitmap* bgWhenClick = nullptr, int style = 0);

    struct Entry {
        std::string title;
        COptionMenu* submenu = nullptr;  // retained
        bool separator = false;
        bool checked = false;
        bool enabled = true;
    };

    // Appends (index −1) or inserts an entry.
    virtual bool addEntry(const char* title, int index = -1);
    virtual bool addEntry(COptionMenu* submenu, const char* title);
    bool addSeparator() { return addEntry("-"); }
    virtual bool removeEntry(int index);
    virtual bool removeAllEntry();
    int getNbEntries() const { return static_cast<int>(entries_.size()); }
    const Entry* getEntryRecord(int index) const;
    // Title of an entry ("" outside the list).
    const char* getEntry(int index) const;
    bool setEntryTitle(int index, const char* title);
    COptionMenu* getSubMenu(int index) const;
    bool checkEntry(int index, bool checked);
    bool isCheckEntry(int index) const;
    bool setEntryEnabled(int index, bool enabled);

    bool setCurrent(int index);
    int getCurrent() const;
    // Where the last choice was made: the menu and the index inside it (−1 when cancelled).
    COptionMenu* getLastItemMenu(int& index) const;
    int getLastResult() const { return lastResult_; }
    // Buttons of the click that opened the menu last (right-click variants use it).
    int getLastButton() const { return lastButton_; }

    // Opens the pop-up at frame coordinates (below the control by default).
    virtual bool openPopup(int buttons);
    bool isPopupOpen() const;
    MenuPopup* getPopup() const { return popup_.get(); }
    void closePopup();

    void setValue(float val) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool removed(CView* parent) override;
    std::string displayText() const override;
    bool isTypeOf(const char* className) const override;

    // Called by the pop-up when it closes: menu and index of the choice, or null and −1.
    virtual void popupChosen(COptionMenu* menu, int index);

protected:
    ~COptionMenu() override;
    void updateRange();

    std::vector<Entry> entries_;
    CBitmap* bgWhenClick_ = nullptr;
    std::unique_ptr<MenuPopup> popup_;
    COptionMenu* lastMenu_ = nullptr;
    int lastResult_ = -1;
    int lastButton_ = 0;
};

}  // namespace hm::gui
