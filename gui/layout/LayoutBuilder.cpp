#include "gui/layout/LayoutBuilder.h"

#include <cstdio>

#include "gui/framework/CViewContainer.h"
#include "gui/layout/StockViews.h"
#include "gui/layout/TagNames.h"
#include "gui/layout/ViewFactory.h"

namespace hm::gui {

namespace {

struct Build {
    CViewContainer* top;
    CControlListener* listener;
    LayoutBuildReport* report;

    void elements(const LayoutElement* element, CViewContainer* parent) {
        for (; element; element = element->next.get()) one(*element, parent);
    }

    void one(const LayoutElement& e, CViewContainer* parent) {
        const int x = attributeInt(e, "x"), y = attributeInt(e, "y");
        const CRect rect = CRect::fromSize(x, y, attributeInt(e, "width"), attributeInt(e, "height"));
        const auto tagName = findAttribute(e, "tag");
        const int tag = tagName ? resolveTagName(*tagName) : -1;
        const CPoint offset(attributeInt(e, "xoff"), attributeInt(e, "yoff"));
        const CPoint handleOffset(attributeInt(e, "offsetx"), attributeInt(e, "offsety"));
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
