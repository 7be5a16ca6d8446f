#include "gui/framework/nTintable.h"

#include "gui/framework/CView.h"

namespace hm::gui {

void nTintable::setTint(bool tint) {
    const unsigned char t = tint ? 1 : 0;
    if (t == tint_) return;
    tint_ = t;
    if (owner_) owner_->setDirty(true);
}

}  // namespace hm::gui
