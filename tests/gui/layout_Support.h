#pragma once
// Pieces the layout tests share: building a text into a headless frame, the
// page/control value distribution the editor performs, and walks over the
// parsed and the built tree.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "gui/framework/iControl.h"
#include "gui/layout/LayoutBuilder.h"
#include "gui/layout/LayoutParser.h"
#include "gui/views/RegisterViews.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {

// Calls f(element, parent) for every element below `first` in document order.
inline void forEachElement(const LayoutElement* first, const LayoutElement* parent,
                           const std::function<void(const LayoutElement&, const LayoutElement*)>& f) {
    for (const LayoutElement* e = first; e; e = e->next.get()) {
        f(*e, parent);
        forEachElement(e->firstChild.get(), e, f);
    }
}

// Gives a value to every control and page with the tag, as the editor does.
inline void distribute(CFrame* frame, int tag, float value) {
    frame->forEachDescendant([&](CView* v) {
        if (auto* page = dynamic_cast<iControl*>(v)) {
            if (page->getTag() == tag) page->setValue(value);
        } else if (auto* control = dynamic_cast<CControl*>(v)) {
            if (control->getTag() == tag) control->setValue(value);
        }
    });
}

// The first view of a class (isTypeOf) with the tag, null when none.
template <class T = CView>
T* findView(CFrame* frame, const char* className, int tag = -2) {
    T* found = nullptr;
    frame->forEachDescendant([&](CView* v) {
        if (found || !v->isTypeOf(className)) return;
        if (tag != -2) {
            const auto* c = dynamic_cast<const CControl*>(v);
            const auto* p = dynamic_cast<const iControl*>(v);
            if (!(c && c->getTag() == tag) && !(p && p->getTag() == tag)) return;
        }
        found = dynamic_cast<T*>(v);
    });
    return found;
}

// Parses `text` and builds its root's children into the frame.
inline LayoutParseResult buildText(CFrame* frame, std::string_view text, CControlListener* listener,
                                   LayoutBuildReport* report = nullptr) {
    registerEditorViews();
    LayoutParseResult parsed = parseLayoutText(text);
    if (parsed.root) buildLayout(parsed.root->firstChild.get(), frame, listener, report);
    return parsed;
}

}  // namespace hm::gui::test
