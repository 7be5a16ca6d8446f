#pragma once
// The layout's pop-up menus (items from `txt`, see splitMenuItems):
//   SOptionMenu  drawn from a bitmap of cells: the row is the current item,
//                the column 0 while closed and 1 while open (when the bitmap
//                is that wide). A right click does not open the list: it
//                reports the current item under `alttag` (the A/B toggle).
//   CopyToMenu   drawn from the top row of its bitmap (column as above).
//   TOptionMenu  its current item's text in strip font 101, 0x999999.
//   nTTMenu      its current item's text in FUTURAB 12, white, centred, on a
//                field of its own with the hover highlight.
#include <string>
#include <vector>

#include "gui/controls/COptionMenu.h"
#include "gui/framework/CHighlightControl.h"

namespace hm::gui {

// Replaces a menu's entries by `items`.
void setMenuItems(COptionMenu* menu, const std::vector<std::string>& items);

// Draws the cell (column, row) of a cell-bitmap menu: column 1 while open
// when the bitmap holds a second column.
void drawMenuCell(CDrawContext* context, const CBitmap* bitmap, const CRect& size, bool open, int row);

class SOptionMenu : public COptionMenu {
public:
    SOptionMenu(const CRect& size, CControlListener* listener, int tag, int altTag, CBitmap* background);
    int getAltTag() const { return altTag_; }
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~SOptionMenu() override = default;

private:
    int altTag_;
};

class CopyToMenu : public COptionMenu {
public:
    CopyToMenu(const CRect& size, CControlListener* listener, int tag, CBitmap* background);
    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CopyToMenu() override = default;
};

class TOptionMenu : public COptionMenu {
public:
    TOptionMenu(const CRect& size, CControlListener* listener, int tag);
    bool isTypeOf(const char* className) const override;

protected:
    ~TOptionMenu() override = default;
};

class nTTMenu : public COptionMenu, public CHighlightControl {
public:
    nTTMenu(const CRect& size, CControlListener* listener, int tag);
    void draw(CDrawContext* context) override;
    void onMouseEntered(CPoint& where, const int& buttons) override;
    void onMouseExited(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;
    bool isHovered() const { return hovered_; }

protected:
    ~nTTMenu() override = default;

private:
    bool hovered_ = false;
};

void registerMenuViews();

}  // namespace hm::gui
