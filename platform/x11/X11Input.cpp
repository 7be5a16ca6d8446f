#include "platform/x11/X11Input.h"

#include <X11/X.h>

#include <cstdint>
#include <cstdlib>

namespace hm::platform::x11 {

namespace {
constexpr int kLeft = 0x002, kMiddle = 0x004, kRight = 0x008, kShift = 0x010, kCtrl = 0x020, kAlt = 0x040,
              kExtra1 = 0x100, kExtra2 = 0x200;
}

int keyBits(unsigned state) {
    int b = 0;
    if (state & ShiftMask) b |= kShift;
    if (state & ControlMask) b |= kCtrl;
    if (state & Mod1Mask) b |= kAlt;
    return b;
}

int heldButtonBits(unsigned state) {
    int b = 0;
    if (state & Button1Mask) b |= kLeft;
    if (state & Button2Mask) b |= kMiddle;
    if (state & Button3Mask) b |= kRight;
    return b;
}

int buttonBit(unsigned button) {
    switch (button) {
        case 1: return kLeft;
        case 2: return kMiddle;
        case 3: return kRight;
        case 8: return kExtra1;
        case 9: return kExtra2;
        default: return 0;
    }
}

bool wheelNotch(unsigned button, float& distance, int& axis) {
    if (button < 4 || button > 7) return false;
    distance = (button == 4 || button == 6) ? 1.f : -1.f;
    axis = button >= 6 ? 1 : 0;
    return true;
}

bool DoubleClickDetector::press(unsigned button, unsigned long timeMs, int x, int y) {
    // Server times are 32-bit milliseconds that wrap after 49 days; the gap is
    // taken modulo 2^32 so a pair across the wrap still counts.
    const std::uint32_t gap = static_cast<std::uint32_t>(timeMs) - static_cast<std::uint32_t>(lastTime_);
    const bool again = button == lastButton_ && gap <= kTimeMs &&
                       std::abs(x - lastX_) <= kDistance && std::abs(y - lastY_) <= kDistance;
    lastButton_ = again ? 0 : button;
    lastTime_ = timeMs;
    lastX_ = x;
    lastY_ = y;
    return again;
}

}  // namespace hm::platform::x11
