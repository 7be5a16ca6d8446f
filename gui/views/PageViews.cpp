#include "gui/views/PageViews.h"

#include <cstring>

#include <algorithm>

#include "gui/draw/CBitmap.h"
#include "gui/layout/ViewFactory.h"

namespace hm::gui {

void nPageR::setViewSize(const CRect& rect, bool invalidate) {
    const int oldHeight = size.height();
    // Each child's place is taken once, the first time the page changes
    // height, so that shrinking and growing again returns every child exactly
    // to where the layout put it.
    anchors_.erase(std::remove_if(anchors_.begin(), anchors_.end(),
                                  [this](const Anchor& a) { return !isChild(a.view); }),
                   anchors_.end());
    for (CView* child : children_) {
        if (std::any_of(anchors_.begin(), anchors_.end(), [child](const Anchor& a) { return a.view == child; })) continue;
        const CRect r = child->getViewSize();
        const int fromBottom = oldHeight - r.bottom;
        anchors_.push_back({child, r, fromBottom, fromBottom <= kStretchMargin});
    }
    nPage::setViewSize(rect, invalidate);
    const int newHeight = rect.height();
    if (newHeight == oldHeight) return;
    for (const Anchor& a : anchors_) {
        if (!a.stretch) continue;
        CRect r = a.rect;
        r.bottom = std::max(r.top, newHeight - a.fromBottom);
        a.view->setViewSize(r, invalidate);
        a.view->setMouseableArea(r);
    }
}

bool nPageR::isTypeOf(const char* className) const {
    return std::strcmp(className, "nPageR") == 0 || nPage::isTypeOf(className);
}

bool nFaded::isTypeOf(const char* className) const {
    return std::strcmp(className, "nFaded") == 0 || nPage::isTypeOf(className);
}

namespace {

// Rows of the panel picture kept as they are at the top and at the bottom.
constexpr int kPanelTopRows = 48;
constexpr int kPanelBottomRows = 24;

// Draws `rows` bitmap rows from srcTop at destTop (parent coordinates), clipped to `area`.
void blitRows(CDrawContext* context, const CBitmap* bitmap, const CRect& panel, const CRect& area, int destTop,
              int srcTop, int rows) {
    CRect dest(panel.left, destTop, panel.left + bitmap->getWidth(), destTop + rows);
    dest.bound(area);
    if (dest.isEmpty()) return;
    bitmap->drawAlphaBlend(*context, dest, CPoint(dest.left - panel.left, srcTop + dest.top - destTop));
}

}  // namespace

void nDraggablePanel::drawBackgroundRect(CDrawContext* context, const CRect& updateRect) {
    const int pictureHeight = background_ ? background_->getHeight() : 0;
    if (size.height() <= pictureHeight || pictureHeight <= kPanelTopRows + kPanelBottomRows) {
        nDraggablePage::drawBackgroundRect(context, updateRect);
        return;
    }
    CRect area = updateRect;
    area.bound(size);
    if (area.isEmpty()) return;
    blitRows(context, background_, size, area, size.top, 0, kPanelTopRows);
    const int middle = pictureHeight - kPanelTopRows - kPanelBottomRows;
    for (int y = size.top + kPanelTopRows; y < size.bottom - kPanelBottomRows; y += middle) {
        const int rows = std::min(middle, size.bottom - kPanelBottomRows - y);
        blitRows(context, background_, size, area, y, kPanelTopRows, rows);
    }
    blitRows(context, background_, size, area, size.bottom - kPanelBottomRows, pictureHeight - kPanelBottomRows,
             kPanelBottomRows);
}

bool nDraggablePanel::isTypeOf(const char* className) const {
    return std::strcmp(className, "nDraggablePanel") == 0 || nDraggablePage::isTypeOf(className);
}

namespace {

CView* makeNCGViewContainer(const ViewRequest& r) {
    auto* c = new nCGViewContainer(r.rect, r.boolean("hide"));
    c->setBackground(r.bitmap("background"));
    return c;
}
template <class Page>
CView* makePage(const ViewRequest& r) {
    return new Page(r.rect, r.tag, r.integer("pagenumber"), r.bitmap("background"));
}
CView* makeFaded(const ViewRequest& r) { return new nFaded(r.rect, r.tag); }
CView* makePageSelect(const ViewRequest& r) {
    return new nPageSelect(r.rect, r.listener, r.tag, static_cast<float>(r.integer("val")));
}

}  // namespace

void registerPageViews() {
    registerViewClass("nCGViewContainer", makeNCGViewContainer);
    registerViewClass("nPage", makePage<nPage>);
    registerViewClass("nPageR", makePage<nPageR>);
    registerViewClass("nClickThruPage", makePage<nClickThruPage>);
    registerViewClass("nDraggablePage", makePage<nDraggablePanel>);
    registerViewClass("nFaded", makeFaded);
    registerViewClass("nPageSelect", makePageSelect);
}

}  // namespace hm::gui
