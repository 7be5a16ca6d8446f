#pragma once
// Pages: hideable containers that answer to a tag like controls. A page is shown
// exactly while the value its tag carries equals its page number, so several
// pages sharing a tag form a group of which at most one shows. Variants that
// differ only in how they take the mouse live here too.
#include "gui/framework/CControl.h"
#include "gui/framework/CGViewContainer.h"
#include "gui/framework/iControl.h"

namespace hm::gui {

class nPage : public CGViewContainer, public iControl {
public:
    // Starts hidden unless pagenumber is 0 (the page a group shows first).
    nPage(const CRect& size, int tag, int pagenumber, CBitmap* background = nullptr);

    int getPageNumber() const { return pagenumber; }
    void setPageNumber(int n);

    // iControl: storing the value shows the page when it equals the page number.
    void setValue(float value) override;
    void setDirty(bool state = true) override;
    void setMouseableArea(const CRect& rect) override;
    void setBackground(CBitmap* background) override;
    CRect getRect() const override { return size; }
    void setViewSize(const CRect& rect, bool invalidate = true) override;

    bool isTypeOf(const char* className) const override;

protected:
    ~nPage() override = default;
    int pagenumber = 0;
};

// A page whose empty area lets clicks through to the views beneath: it is hit
// only where one of its (shown, mouse-enabled) children lies.
class nClickThruPage : public nPage {
public:
    using nPage::nPage;
    bool hitTest(const CPoint& where, const int& buttons = -1) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nClickThruPage() override = default;
};

// A page that can be moved by dragging its background (children keep their clicks).
class nDraggablePage : public nPage {
public:
    using nPage::nPage;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nDraggablePage() override = default;

private:
    bool dragging_ = false;
    CPoint grab_;
};

// An invisible control that switches a page group: a left click sets its tag's
// value to `val`; while the button is held the value is `val` when the pointer
// is inside and the value from before the click otherwise.
class nPageSelect : public CControl {
public:
    nPageSelect(const CRect& size, CControlListener* listener, int tag, float val);

    float getSelectValue() const { return val_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nPageSelect() override = default;

private:
    float val_;
    float remembered_ = 0.f;
};

}  // namespace hm::gui
