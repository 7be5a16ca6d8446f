#include "gui/views/BandControlSupport.h"

#include <cmath>

#include "core/params/ParamIds.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr float kWheelScale = 0.01f;
constexpr float kFineWheel = 0.1f;
}  // namespace

void reportBandPress(CControl* control, int band) {
    if (band < 0 || band >= kNumBands) return;
    reportUnderTag(control, kGUIBandPressed, static_cast<float>(band));
}

bool bandWheelStep(CControl* control, float distance, int buttons) {
    if (!std::isfinite(distance) || distance == 0.f) return false;
    const float step = control->getWheelInc() * distance * kWheelScale * (isFine(buttons) ? kFineWheel : 1.f);
    control->beginEdit();
    control->changeValue(control->getValue() + step * (control->getMax() - control->getMin()));
    control->endEdit();
    return true;
}

void resetToDefault(CControl* control) {
    control->beginEdit();
    control->setValue(control->getDefaultValue());
    control->valueChangedNotify();
    control->endEdit();
}

int remapRightDrag(int buttons) {
    if (!(buttons & kRButton)) return buttons;
    return (buttons & ~kRButton) | kLButton | modifierRoles().fineModifier;
}

bool resetOrActionClick(int buttons) {
    return (buttons & kLButton) && (buttons & (modifierRoles().resetModifier | modifierRoles().actionModifier));
}

int bandAttribute(const ViewRequest& request) {
    return request.find("band") ? request.integer("band") : -1;
}

}  // namespace hm::gui
