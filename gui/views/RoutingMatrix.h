#pragma once
// The "Routing" page of an instance with three or more channels: a grid with a
// row per channel and a column per channel group, where a filled cell means
// the group's bands act on that channel, the groups' names over their columns
// (a click on one edits it) and a last column "M/S" that switches mid/side
// processing per channel pair. Masks and names belong to the instance; the
// mid/side bits travel as the kMsState parameter through the editor, so the
// host sees them. Every change is reported under the view's tag. With one or
// two channels the grid draws nothing and takes no clicks.
#include <string>

#include "gui/framework/CControl.h"

namespace hm {
class Plug;
}

namespace hm::gui {

class CTextEdit;

class RoutingMatrix : public CControl, public CControlListener {
public:
    RoutingMatrix(const CRect& size, CControlListener* listener, int tag);

    int channels() const { return n_; }
    bool active() const { return n_ >= 3 && plug_ != nullptr; }
    float cellWidth() const;
    float cellHeight() const;
    // Cell (column, row) in the parent's coordinates: column 0 holds the
    // channel names, columns 1..n the groups, n + 1 "M/S"; row 0 the names.
    CRect cellRect(int column, int row) const;
    CTextEdit* nameEditor() const { return edit_; }
    int editedGroup() const { return editGroup_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isDirty() const override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* className) const override;

    // The name editor reports here.
    void valueChanged(CControl* control) override;

protected:
    ~RoutingMatrix() override;

private:
    int msBits() const;  // kMsState's real value (bit 3 is the first pair)
    void endNameEdit();
    void changed();

    Plug* plug_;
    int n_;
    CTextEdit* edit_;
    int editGroup_ = -1;
};

void registerRoutingMatrix();

}  // namespace hm::gui
