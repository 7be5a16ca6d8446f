#include "gui/views/GraphSubControls.h"

#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/EQGraph.h"

namespace hm::gui {

GraphMenu::GraphMenu(const CRect& rect, CControlListener* listener) : COptionMenu(rect, listener, -1) {
    setMouseEnabled(false);
}

bool GraphMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "GraphMenu") == 0 || COptionMenu::isTypeOf(className);
}

GraphValueField::GraphValueField(const CRect& rect, EQGraph* graph) : CTextEdit(rect, nullptr, -1), graph_(graph) {
    setStripFont(102);
    setFontColor(0xFFFFFF);
    setMaxLength(31);
}

void GraphValueField::start(const CRect& area, int tag, const std::string& text) {
    editedTag_ = tag;
    setViewSize(area);
    setMouseableArea(area);
    setText(text.c_str());
    if (CFrame* f = getFrame()) f->setFocusView(this);
    else takeFocus();
}

void GraphValueField::commitEdit(const std::string& typed) {
    setText(typed.c_str());
    if (graph_ && editedTag_ >= 0) graph_->valueTyped(editedTag_, typed);
}

void GraphValueField::looseFocus() {
    CTextEdit::looseFocus();
    editedTag_ = -1;
    // The layer hides again once typing is over.
    if (auto* layer = dynamic_cast<GraphSubControls*>(getParentView())) layer->setHidden(true);
}

bool GraphValueField::isTypeOf(const char* className) const {
    return std::strcmp(className, "GraphValueField") == 0 || CTextEdit::isTypeOf(className);
}

GraphSubControls::GraphSubControls(const CRect& rect, EQGraph* graph) : CGViewContainer(rect, true) {
    const CRect local(0, 0, 1, 1);
    type_ = new GraphMenu(local, graph);
    subtype_ = new GraphMenu(local, graph);
    group_ = new GraphMenu(local, graph);
    band_ = new GraphMenu(local, graph);
    field_ = new GraphValueField(local, graph);
    addView(type_);
    addView(subtype_);
    addView(group_);
    addView(band_);
    addView(field_);
}

void GraphSubControls::popUp(GraphMenu* menu, const CRect& area) {
    menu->setViewSize(area);
    menu->openPopup(kLButton);
}

bool GraphSubControls::hitTest(const CPoint& where, const int& buttons) {
    if (isHidden()) return false;
    // Only the typed field takes clicks; the graph beneath keeps the rest.
    const CPoint local(where.x - size.left, where.y - size.top);
    return field_->isEditing() && field_->getViewSize().pointInside(local) && CGViewContainer::hitTest(where, buttons);
}

bool GraphSubControls::isTypeOf(const char* className) const {
    return std::strcmp(className, "GraphSubControls") == 0 || CGViewContainer::isTypeOf(className);
}

}  // namespace hm::gui
