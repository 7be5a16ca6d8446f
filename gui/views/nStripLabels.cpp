#include "gui/views/nStripLabels.h"

#include <cstring>

#include "gui/draw/Fonts.h"

namespace hm::gui {

nStripLabels::nStripLabels(const CRect& rect, const StripFlags& flags, Rgb background)
    : CView(rect), background_(background) {
    count_ = labelColumn(flags, labels_);
}

void nStripLabels::draw(CDrawContext* context) {
    context->fillRect(size, background_);
    const TrueTypeFont& font = TrueTypeFont::futura();
    // Each text hangs from the top of its label box, its right end kRightInset
    // short of the strips, so the words line up with the rows they name.
    for (int i = 0; i < count_; ++i) {
        const CRect& r = labels_[i].rect;
        const int width = font.measure(labels_[i].text, kTextSize);
        font.draw(*context, size.left + r.right - kRightInset - width, size.top + r.top, labels_[i].text, kTextSize,
                  kTextColour);
    }
    setDirty(false);
}

CMouseEventResult nStripLabels::onMouseDown(CPoint&, const int&) { return kMouseEventHandled; }

bool nStripLabels::onWheel(const CPoint&, const float&, const int&) { return false; }

bool nStripLabels::isTypeOf(const char* className) const {
    return std::strcmp(className, "nStripLabels") == 0 || CView::isTypeOf(className);
}

}  // namespace hm::gui
