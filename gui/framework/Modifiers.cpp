#include "gui/framework/Modifiers.h"

namespace hm::gui {
namespace {
ModifierRoles gRoles;
}

const ModifierRoles& modifierRoles() { return gRoles; }

void setModifierRoles(const ModifierRoles& roles) { gRoles = roles; }

void setProToolsModifiers(bool on) {
    gRoles = on ? ModifierRoles{kShift, kControl, kAlt} : ModifierRoles{kAlt, kShift, kControl};
}

}  // namespace hm::gui
