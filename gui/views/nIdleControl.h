#pragma once
// A control that the frame's idle pass visits while it is in a frame's tree,
// for views that follow the instance on their own (the phase and impulse
// graphs compare what they show with what the instance holds now).
#include "gui/framework/CControl.h"

namespace hm::gui {

class nIdleControl : public CControl {
public:
    using CControl::CControl;

    bool attached(CView* parent) override;
    bool removed(CView* parent) override;

protected:
    ~nIdleControl() override = default;
    // Joins the frame's idle pass (again); views call it when they draw, since
    // a container may reach the frame only after its children were attached.
    void joinIdle();
};

}  // namespace hm::gui
