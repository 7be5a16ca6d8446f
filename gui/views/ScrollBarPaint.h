#pragma once
// What the scrolling containers share when they draw over their children:
// the clip limited to the part of the view being redrawn, and the bar itself
// (a dark track, a frame, a thumb whose length is the visible share of the
// content and whose place is the scroll position).
#include "gui/framework/CView.h"

namespace hm::gui {

// Limits drawing to updateRect ∩ view (parent coordinates) while it lives.
class ViewClip {
public:
    ViewClip(CDrawContext& context, const CRect& updateRect, const CRect& view);
    bool isEmpty() const { return empty_; }

private:
    CDIB::StateSaver saved_;
    bool empty_;
};

// `visible` and `content` are lengths along the bar; position 0..1.
void drawScrollBar(CDrawContext& context, const CRect& bar, bool horizontal, float position, int visible, int content,
                   int minimumThumb);

}  // namespace hm::gui
