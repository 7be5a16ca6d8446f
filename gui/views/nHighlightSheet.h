#pragma once
// A page for one band's controls (layout element "nHighlightSheet",
// attributes `highlight` bitmap, `band`, `num`), drawn on a picture of its own
// size. A press, move or wheel that lands on none of its children goes to its
// first child, so the whole sheet acts as that control's handle.
#include "gui/framework/nPage.h"

namespace hm::gui {

class nHighlightSheet : public nPage {
public:
    nHighlightSheet(const CRect& size, int tag, int pagenumber, CBitmap* highlight, int band, int num);

    int getBand() const { return band_; }
    int getNum() const { return num_; }

    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nHighlightSheet() override = default;

private:
    // The first child, when the point (parent coordinates) is on the sheet but on no child.
    CView* fallbackTarget(const CPoint& where) const;

    int band_;
    int num_;
};

void registerHighlightSheet();

}  // namespace hm::gui
