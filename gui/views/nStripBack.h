#pragma once
// The background of one band strip: the strip body (skin 600, or 601 while
// its band is the selected one), the number header (602) when band numbers
// show, and under each value control either a knob well (603, Knobs mode) or
// a framed text field (604 with the 212 frame, Text mode). Its tag is the
// band's selection tag (kGUISelectedBand + band): the editor's selection
// traffic sets its value, non-zero while the band is selected. It takes no
// clicks, so presses on the bare strip reach the strips container (drag
// selection). All strip backs of a build share one height, the bottom of the
// tallest strip's content.
#include <vector>

#include "gui/framework/CControl.h"

namespace hm::gui {

class nStripBack : public CControl {
public:
    nStripBack(const CRect& size, int band, bool textMode, bool numberHeader);

    int getBand() const { return band_; }
    bool isTextMode() const { return textMode_; }
    // Rectangles (container coordinates) of the knob wells or text frames.
    void addWell(const CRect& rect) { wells_.push_back(rect); }
    const std::vector<CRect>& wells() const { return wells_; }
    // Lowest pixel row (exclusive) the body reaches; the view's bottom caps it.
    void setCommonHeight(int bottom);
    int getCommonHeight() const { return commonHeight_; }
    bool isSelected() const { return value != 0.f; }

    void setViewSize(const CRect& rect, bool invalidate = true) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nStripBack() override = default;

private:
    void drawBody(CDrawContext* context, const CRect& body) const;

    int band_;
    bool textMode_;
    bool numberHeader_;
    int commonHeight_;
    std::vector<CRect> wells_;
};

}  // namespace hm::gui
