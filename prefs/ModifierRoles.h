#pragma once
// Which modifier key plays which role for the knobs, sliders, meters and the
// EQ graph, as chosen by the global preference "ProTools Opt/Shift". The masks
// are bits of the modifier mask every view receives with a mouse event.
namespace hm::prefs {

inline constexpr int kModifierShift = 0x10;
inline constexpr int kModifierControl = 0x20;
inline constexpr int kModifierAlt = 0x40;

struct ModifierRoles {
    int fineAdjust;       // drag slower / finer steps
    int returnToDefault;  // click resets the control
    int alternate;        // the control's second action
};

// "Off" (index 0) keeps shift/control/alt; "On" (index 1) moves fine adjustment
// to control, return-to-default to alt and the alternate action to shift.
constexpr ModifierRoles modifierRoles(bool proToolsOptShift) {
    return proToolsOptShift ? ModifierRoles{kModifierControl, kModifierAlt, kModifierShift}
                            : ModifierRoles{kModifierShift, kModifierControl, kModifierAlt};
}

// The roles for the current value of the global preference; any value other
// than 1 ("On"), including a missing store, means "Off".
ModifierRoles currentModifierRoles();

}  // namespace hm::prefs
