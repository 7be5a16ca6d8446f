#pragma once
// Lets a page (a container with the iControl interface) sit in the editor's
// control list: a control outside the view tree whose rectangle is the page's
// and which passes value, tag, dirty marking, size and background on to it.
#include "gui/framework/CControl.h"
#include "gui/framework/iControl.h"

namespace hm::gui {

class iControlWrapper : public CControl {
public:
    // `view` is the page as a view (for its rectangle); neither is owned.
    iControlWrapper(iControl* page, CView* view);

    iControl* page() const { return page_; }
    CView* pageView() const { return view_; }

    void setValue(float val) override;
    float getValue() const override { return page_->getValue(); }
    int getTag() const override { return page_->getTag(); }
    void setDirty(bool state = true) override;
    bool isDirty() const override { return view_->isDirty(); }
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    void setMouseableArea(const CRect& rect) override;
    void setBackground(CBitmap* background) override;
    void draw(CDrawContext*) override {}
    bool isTypeOf(const char* className) const override;

protected:
    ~iControlWrapper() override = default;

private:
    iControl* page_;
    CView* view_;
};

}  // namespace hm::gui
