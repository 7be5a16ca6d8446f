#include "gui/views/nTiled.h"

#include <algorithm>
#include <cstring>

#include "gui/draw/CBitmap.h"
#include "gui/layout/ViewFactory.h"

namespace hm::gui {

nTiled::nTiled(const CRect& rect, int t, CBitmap* background, bool clickThrough, bool vertical)
    : CControl(rect, nullptr, t, background), clickThrough_(clickThrough), vertical_(vertical) {
    if (clickThrough_) setMouseEnabled(false);
}

void nTiled::draw(CDrawContext* context) {
    setDirty(false);
    if (!background_) return;
    const int step = vertical_ ? background_->getHeight() : background_->getWidth();
    if (step <= 0) return;
    const int start = vertical_ ? size.top : size.left;
    const int end = vertical_ ? size.bottom : size.right;
    for (int p = start; p < end; p += step) {
        const CRect tile = vertical_
                               ? CRect(size.left, p, std::min(size.right, size.left + background_->getWidth()),
                                       std::min(end, p + step))
                               : CRect(p, size.top, std::min(end, p + step),
                                       std::min(size.bottom, size.top + background_->getHeight()));
        background_->drawAlphaBlend(*context, tile);
    }
}

bool nTiled::hitTest(const CPoint& where, const int& buttons) {
    return !clickThrough_ && CControl::hitTest(where, buttons);
}

CMouseEventResult nTiled::onMouseDown(CPoint&, const int&) {
    return clickThrough_ ? kMouseEventNotHandled : kMouseEventHandled;
}

CMouseEventResult nTiled::onMouseUp(CPoint&, const int&) {
    return clickThrough_ ? kMouseEventNotHandled : kMouseEventHandled;
}

bool nTiled::isTypeOf(const char* className) const {
    return std::strcmp(className, vertical_ ? "nTiledV" : "nTiled") == 0 || CControl::isTypeOf(className);
}

namespace {
template <bool Vertical>
CView* makeTiled(const ViewRequest& r) {
    return new nTiled(r.rect, r.tag, r.bitmap("background"), r.boolean("clickthru"), Vertical);
}
}  // namespace

void registerTiledViews() {
    registerViewClass("nTiled", makeTiled<false>);
    registerViewClass("nTiledV", makeTiled<true>);
}

}  // namespace hm::gui
