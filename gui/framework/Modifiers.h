#pragma once
// Mouse buttons and modifier keys travel through the view tree as one bit mask,
// the same for mouse, wheel and key handlers. Which key means "fine",
// "reset" and "alternate action" is a process-wide choice that the global
// preference "ProTools Opt/Shift" switches; the preference store calls
// setProToolsModifiers() whenever it reads that preference.

namespace hm::gui {

enum ButtonMask : int {
    kLButton = 0x002,
    kMButton = 0x004,
    kRButton = 0x008,
    kShift = 0x010,
    kControl = 0x020,
    kAlt = 0x040,
    kApple = 0x080,      // command key: never produced here; handlers that see it ignore the click
    kButton4 = 0x100,
    kButton5 = 0x200,
    kDoubleClick = 0x400,
};

constexpr int kAnyMouseButton = kLButton | kMButton | kRButton | kButton4 | kButton5;
constexpr int kAnyModifierKey = kShift | kControl | kAlt | kApple;

struct ModifierRoles {
    int actionModifier = kAlt;   // alternate action (linked scaling, per-band toggle)
    int fineModifier = kShift;   // fine adjustment while dragging or wheeling
    int resetModifier = kControl; // click resets to the default value (a double click does too)
};

// UI thread only: written when global preferences are read, read by every control.
const ModifierRoles& modifierRoles();
void setModifierRoles(const ModifierRoles& roles);
// "Off" (default): alt / shift / control; "On": shift / control / alt.
void setProToolsModifiers(bool on);

inline bool isFine(int buttons) { return (buttons & modifierRoles().fineModifier) != 0; }
inline bool isReset(int buttons) {
    return (buttons & modifierRoles().resetModifier) != 0 || (buttons & kDoubleClick) != 0;
}
inline bool isAction(int buttons) { return (buttons & modifierRoles().actionModifier) != 0; }

}  // namespace hm::gui
