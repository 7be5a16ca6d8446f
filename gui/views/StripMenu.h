#pragma once
// What the strip's menus share: the field they sit on (skin 604), their text
// in the small strip font (102), centred and shortened from the end until it
// fits, the hover outline, and the band selection traffic (hovering or
// pressing selects the band).
#include <string>

#include "gui/controls/COptionMenu.h"

namespace hm::gui {

class StripMenu : public COptionMenu {
public:
    StripMenu(const CRect& size, CControlListener* listener, int tag, int band);

    int getBand() const { return band_; }
    bool isHovered() const { return hovered_; }
    // The text as drawn: the display text without the characters from the end
    // that do not fit in width − 2 pixels.
    std::string fittedText() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    void onMouseEntered(CPoint& where, const int& buttons) override;
    void onMouseExited(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~StripMenu() override = default;

private:
    int band_;
    bool hovered_ = false;
};

}  // namespace hm::gui
