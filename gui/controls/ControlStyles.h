#pragma once
// Style bits of the stock controls (the layout's `style` attribute) and the
// film-strip drawing they share. A film strip holds a control's pictures one
// below the other, `heightOfOneImage` pixels apart, starting at the control's
// background offset.
#include "gui/framework/CView.h"

namespace hm::gui {

enum ControlStyle : int {
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
    kShadowText = 1 << 2,
    kLeft = 1 << 3,
    kRight = 1 << 4,
    kTop = 1 << 5,
    kBottom = 1 << 6,
    k3DIn = 1 << 7,
    k3DOut = 1 << 8,
    kPopupStyle = 1 << 9,
    kCheckStyle = 1 << 10,
    kMultipleCheckStyle = 1 << 11,
    kNoTextStyle = 1 << 12,
    kNoDrawStyle = 1 << 13,
    kDoubleClickStyle = 1 << 14,
    kNoFrame = 1 << 15,
};

// Draws picture `index` of a vertical film strip into rect.
void drawFilmFrame(CDrawContext* context, const CBitmap* strip, const CRect& rect, CPoint offset,
                   int index, int heightOfOneImage);

// Picture index for a value between min and max on a strip of `frames` pictures
// (nearest picture; 0 for strips of one picture or an empty range).
int filmFrameForValue(float value, float vmin, float vmax, int frames);

}  // namespace hm::gui
