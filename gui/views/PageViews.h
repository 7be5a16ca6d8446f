#pragma once
// Pages and hideable containers as the layout makes them: the framework's
// nCGViewContainer, nPage, nClickThruPage, nDraggablePage and nPageSelect,
// and the variants defined here.
#include <vector>

#include "gui/framework/nPage.h"

namespace hm::gui {

// The setup window's right-hand pane: when the editor changes its height,
// children that reach its bottom edge (within a margin) stretch with it,
// keeping their distance from the bottom.
class nPageR : public nPage {
public:
    static constexpr int kStretchMargin = 20;

    using nPage::nPage;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nPageR() override = default;

private:
    struct Anchor {
        CView* view;
        CRect rect;      // where the layout put it
        int fromBottom;  // its bottom's distance from the page's bottom then
        bool stretch;
    };
    std::vector<Anchor> anchors_;
};

// A page of the system's own (pagenumber 0, the common attributes only).
class nFaded : public nPage {
public:
    nFaded(const CRect& size, int tag) : nPage(size, tag, 0) {}
    bool isTypeOf(const char* className) const override;

protected:
    ~nFaded() override = default;
};

// The draggable setup panel: its background picture keeps its top and bottom
// edges and repeats its middle rows when the editor makes it taller than the
// picture.
class nDraggablePanel : public nDraggablePage {
public:
    using nDraggablePage::nDraggablePage;
    bool isTypeOf(const char* className) const override;

protected:
    ~nDraggablePanel() override = default;
    void drawBackgroundRect(CDrawContext* context, const CRect& updateRect) override;
};

void registerPageViews();

}  // namespace hm::gui
