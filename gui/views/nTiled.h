#pragma once
// Strips drawn by repeating a small background picture: nTiled left to
// right across its width, nTiledV top to bottom down its height. They carry
// a tag so the editor can place them (title bar fillers, the meter fade);
// with `clickthru` they take no mouse input, otherwise they swallow clicks.
#include "gui/framework/CControl.h"

namespace hm::gui {

class nTiled : public CControl {
public:
    nTiled(const CRect& size, int tag, CBitmap* background, bool clickThrough, bool vertical = false);

    bool isVertical() const { return vertical_; }
    void draw(CDrawContext* context) override;
    bool hitTest(const CPoint& where, const int& buttons = -1) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nTiled() override = default;

private:
    bool clickThrough_;
    bool vertical_;
};

void registerTiledViews();

}  // namespace hm::gui
