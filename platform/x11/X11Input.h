#pragma once
// Translation of X11 input into the editor's button mask. Plain integers in and
// out (X protocol button numbers, key/button state bits, server times in ms),
// so the rules can be checked without a display.
namespace hm::platform::x11 {

// Shift, control and alt (Mod1) of an X state word as mask bits 0x10/0x20/0x40.
int keyBits(unsigned state);
// Buttons 1–3 held according to an X state word, as 0x2/0x4/0x8.
int heldButtonBits(unsigned state);
// The mask bit of a pressed button: 1 left, 2 middle, 3 right, 8 and 9 the
// extra buttons (0x100, 0x200); 0 for the wheel buttons and unknown ones.
int buttonBit(unsigned button);
// Wheel buttons: 4 up and 5 down (vertical), 6 left and 7 right (horizontal)
// are one notch each. Returns false for other buttons.
bool wheelNotch(unsigned button, float& distance, int& axis);

// Marks the second press of a double click: the same button again within
// kTimeMs and kDistance pixels of the first. A third press starts a new pair.
class DoubleClickDetector {
public:
    static constexpr unsigned long kTimeMs = 400;
    static constexpr int kDistance = 4;
    bool press(unsigned button, unsigned long timeMs, int x, int y);

private:
    unsigned lastButton_ = 0;
    unsigned long lastTime_ = 0;
    int lastX_ = 0, lastY_ = 0;
};

}  // namespace hm::platform::x11
