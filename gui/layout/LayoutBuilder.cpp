#include "gui/layout/LayoutBuilder.h"

#include <algorithm>
#include <cstdio>

#include "gui/framework/CViewContainer.h"
#include "gui/layout/StockViews.h"
#include "gui/layout/TagNames.h"
#include "gui/layout/ViewFactory.h"

namespace hm::gui {

namespace {

// Geometry beyond any editor window is cut back, so rectangle arithmetic
// cannot overflow and no view asks for an absurd buffer.
constexpr int kMaxCoordinate = 1 << 14;
constexpr int kMaxExtent = 2048;

int coordinate(const LayoutElement& e, std::string_view name) {
    return std::clamp(attributeInt(e, name), -kMaxCoordinate, kMaxCoordinate);
}
int extent(const LayoutElement& e, std::string_view name) {
    return std::clamp(attributeInt(e, name), 0, kMaxExtent);
}

struct Build {
    CViewContainer* top;
    CControlListener* listener;
    LayoutBuildReport* report;

    void elements(const LayoutElement* element, CViewContainer* parent) {
        for (; element; element = element->next.get()) one(*element, parent);
    }

    void one(const LayoutElement& e, CViewContainer* parent) {
        const CRect rect = CRect::fromSize(coordinate(e, "x"), coordinate(e, "y"), extent(e, "width"),
                                           extent(e, "height"));
        const auto tagName = findAttribute(e, "tag");
        const int tag = tagName ? resolveTagName(*tagName) : -1;
        const CPoint offset(coordinate(e, "xoff"), coordinate(e, "yoff"));
        const CPoint handleOffset(coordinate(e, "offsetx"), coordinate(e, "offsety"));
        const ViewRequest request{e.name, rect, listener, tag, top, offset, handleOffset, e};

        ViewMaker maker = findStockClass(e.name);
        if (!maker) maker = findViewClass(e.name);
        CView* view = maker ? maker(request) : nullptr;
        if (!view) {
            if (report) report->skipped.push_back(e.name);
            return;
        }
        if (!parent) {
            std::fprintf(stderr, "Something very odd happened. name=%s, tag=%d\n", e.name.c_str(), tag);
            view->release();
            return;
        }
        parent->addView(view);
        if (report) ++report->made;
        if (!e.firstChild) return;
        if (CViewContainer* container = view->asContainer())
            elements(e.firstChild.get(), container);
        else
            std::fprintf(stderr,
                         "XML is wrong! Trying to add child controls to a non ViewContainer class. "
                         "Did you forget a /?\n");
    }
};

}  // namespace

void buildLayout(const LayoutElement* first, CViewContainer* top, CControlListener* listener,
                 LayoutBuildReport* report) {
    Build{top, listener, report}.elements(first, top);
}

}  // namespace hm::gui
