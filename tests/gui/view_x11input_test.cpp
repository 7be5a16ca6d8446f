// X11 input translated into the editor's button mask. State bits and button
// numbers are those of the X protocol: Shift 1<<0, Control 1<<2, Mod1 1<<3,
// Button1..3 held 1<<8..1<<10; buttons 1-3 left/middle/right, 4-7 wheel, 8-9 extra.
#include <gtest/gtest.h>

#include "gui/framework/Modifiers.h"
#include "platform/x11/X11Input.h"

namespace hm::platform::x11 {
namespace {

using namespace hm::gui;

constexpr unsigned kXShift = 1u << 0, kXLock = 1u << 1, kXControl = 1u << 2, kXMod1 = 1u << 3,
                   kXMod4 = 1u << 6, kXButton1 = 1u << 8, kXButton2 = 1u << 9, kXButton3 = 1u << 10;

TEST(ViewX11Input, StateBitsBecomeModifierAndButtonBits) {
    struct Case {
        unsigned state;
        int keys;
        int held;
    };
    const Case cases[] = {
        {0, 0, 0},
        {kXShift, kShift, 0},
        {kXControl, kControl, 0},
        {kXMod1, kAlt, 0},
        {kXLock | kXMod4, 0, 0},  // caps lock and the super key mean nothing here
        {kXShift | kXControl | kXMod1, kShift | kControl | kAlt, 0},
        {kXButton1, 0, kLButton},
        {kXButton2 | kXButton3, 0, kMButton | kRButton},
        {kXButton1 | kXShift, kShift, kLButton},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyBits(c.state), c.keys) << c.state;
        EXPECT_EQ(heldButtonBits(c.state), c.held) << c.state;
    }
}

TEST(ViewX11Input, ButtonNumbersBecomeMaskBitsAndWheelNotches) {
    const int bits[] = {0, kLButton, kMButton, kRButton, 0, 0, 0, 0, kButton4, kButton5, 0};
    for (unsigned b = 0; b <= 10; ++b) EXPECT_EQ(buttonBit(b), bits[b]) << b;

    struct Notch {
        unsigned button;
        float distance;
        int axis;
    };
    for (const Notch& n : {Notch{4, 1.f, 0}, Notch{5, -1.f, 0}, Notch{6, 1.f, 1}, Notch{7, -1.f, 1}}) {
        float d = 0.f;
        int axis = -1;
        ASSERT_TRUE(wheelNotch(n.button, d, axis)) << n.button;
        EXPECT_EQ(d, n.distance);
        EXPECT_EQ(axis, n.axis);
    }
    float d;
    int axis;
    for (unsigned b : {1u, 2u, 3u, 8u, 9u}) EXPECT_FALSE(wheelNotch(b, d, axis)) << b;
}

TEST(ViewX11Input, SecondPressSoonAndCloseIsADoubleClick) {
    struct Press {
        unsigned button;
        unsigned long time;
        int x, y;
        bool isDouble;
    };
    const Press sequence[] = {
        {1, 1000, 10, 10, false},
        {1, 1300, 12, 9, true},    // within 400 ms and 4 pixels
        {1, 1400, 12, 9, false},   // a third press starts over
        {1, 1900, 12, 9, false},   // 500 ms later: too slow
        {3, 2000, 12, 9, false},   // another button
        {1, 2100, 12, 9, false},
        {1, 2200, 20, 9, false},   // moved 8 pixels
        {1, 2300, 20, 9, true},
    };
    DoubleClickDetector detector;
    for (const Press& p : sequence)
        EXPECT_EQ(detector.press(p.button, p.time, p.x, p.y), p.isDouble) << "at " << p.time;

    // The server clock wraps around; a gap across the wrap still counts.
    DoubleClickDetector wrap;
    EXPECT_FALSE(wrap.press(1, 0xFFFFFFF0ul, 5, 5));
    EXPECT_TRUE(wrap.press(1, (0xFFFFFFF0ul + 100ul) & 0xFFFFFFFFul, 5, 5));
}

}  // namespace
}  // namespace hm::platform::x11
