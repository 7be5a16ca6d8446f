#include "gui/views/nIdleControl.h"

#include "gui/framework/CFrame.h"

namespace hm::gui {

void nIdleControl::joinIdle() {
    if (CFrame* f = getFrame()) f->addIdleView(this);
}

bool nIdleControl::attached(CView* parent) {
    const bool ok = CControl::attached(parent);
    joinIdle();
    return ok;
}

bool nIdleControl::removed(CView* parent) {
    if (CFrame* f = getFrame()) f->removeIdleView(this);
    return CControl::removed(parent);
}

}  // namespace hm::gui
