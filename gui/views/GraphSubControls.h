#pragma once
// The graph's sub-controls: a value text field and the type, subtype and
// group menus of the value panel. They live in a layer laid over the graph
// (a hideable container in the graph's parent, same rectangle), hidden until
// used: the menus only ever show their pop-up lists, the field shows while
// text is typed. The layer takes clicks only on a shown child, so the graph
// beneath keeps all others. Every choice goes to the graph, which turns it
// into band parameter changes.
#include <string>

#include "gui/controls/COptionMenu.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/framework/CGViewContainer.h"

namespace hm::gui {

class EQGraph;

// A pop-up list without a face of its own.
class GraphMenu : public COptionMenu {
public:
    GraphMenu(const CRect& size, CControlListener* listener);
    void draw(CDrawContext* context) override { setDirty(false); (void)context; }
    bool hitTest(const CPoint&, const int& = -1) override { return false; }
    bool isTypeOf(const char* className) const override;

protected:
    ~GraphMenu() override = default;
};

class GraphValueField : public CTextEdit {
public:
    GraphValueField(const CRect& size, EQGraph* graph);
    // Starts typing over `area` (layer coordinates) for a parameter tag.
    void start(const CRect& area, int tag, const std::string& text);
    int editedTag() const { return editedTag_; }
    void looseFocus() override;
    bool isTypeOf(const char* className) const override;

protected:
    ~GraphValueField() override = default;
    void commitEdit(const std::string& typed) override;

private:
    EQGraph* graph_;
    int editedTag_ = -1;
};

class GraphSubControls : public CGViewContainer {
public:
    GraphSubControls(const CRect& size, EQGraph* graph);

    GraphMenu* typeMenu() const { return type_; }
    GraphMenu* subtypeMenu() const { return subtype_; }
    GraphMenu* groupMenu() const { return group_; }
    GraphMenu* bandMenu() const { return band_; }
    GraphValueField* valueField() const { return field_; }
    // Opens a menu's list at `area` (layer coordinates).
    void popUp(GraphMenu* menu, const CRect& area);

    bool hitTest(const CPoint& where, const int& buttons = -1) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~GraphSubControls() override = default;

private:
    GraphMenu* type_;
    GraphMenu* subtype_;
    GraphMenu* group_;
    GraphMenu* band_;
    GraphValueField* field_;
};

}  // namespace hm::gui
