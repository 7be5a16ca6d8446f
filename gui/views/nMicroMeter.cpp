#include "gui/views/nMicroMeter.h"

#include <cstring>

namespace hm::gui {

nMicroMeter::nMicroMeter(const CRect& rect, CControlListener* l, int t, int fontId) : nVU(rect, l, t, fontId) {
    channels_ = 1;
}

void nMicroMeter::setValue(float v) {
    const bool changed = v != left_;
    value = v;
    left_ = right_ = v;
    const bool raised = raise(leftPeak_, v);
    rightPeak_ = leftPeak_;
    if (changed || raised || holdRunsOut()) setDirty();
}

void nMicroMeter::draw(CDrawContext* context) {
    if (rebuild_ || !unlit_) rebuildScale(true, kBarWidth, false);
    expireHold();
    paintBar(context, 0, getWidth(), left_);
    paintPeak(context, 0, kBarWidth - 1, leftPeak_);
    setDirty(false);
}

bool nMicroMeter::isTypeOf(const char* className) const {
    return std::strcmp(className, "nMicroMeter") == 0 || nVU::isTypeOf(className);
}

}  // namespace hm::gui
