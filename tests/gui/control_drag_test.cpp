// Knob and slider gestures: drag distances, fine mode, wheel steps, reset role,
// begin/end pairing. Expected values come from the controls' geometry: a knob
// sweeps its range over getRange() pixels (zoomFactor times that in fine mode),
// a slider over its handle travel.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/controls/CKnob.h"
#include "gui/controls/CSlider.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {
namespace {

constexpr float kTol = 1e-5f;

TEST(ControlKnob, DragMovesByPixelsOverRangeAndFineModeByZoomFactorLess) {
    struct Case {
        int dx, dy;  // pointer travel (screen: y grows downward)
        int modifiers;
        float start;
    };
    const Case cases[] = {
        {0, -50, 0, 0.2f},        // up 50
        {30, 0, 0, 0.2f},         // right 30
        {10, 25, 0, 0.6f},        // right 10, down 25
        {0, -50, kShift, 0.2f},   // fine
        {-40, -10, kShift, 0.5f},
        {0, -400, 0, 0.5f},       // past the end: clamped
    };
    for (const Case& c : cases) {
        HeadlessFrame h(200, 200);
        Recorder rec;
        auto* knob = new CKnob(CRect(50, 50, 90, 90), &rec, 4, nullptr, nullptr);
        knob->setMin(-2.f);
        knob->setMax(6.f);  // range 8
        knob->setValue(-2.f + c.start * 8.f);
        h.frame->addView(knob);
        const float start = knob->getValue();
        h.window->press(70, 70, kLButton | c.modifiers);
        h.window->move(70 + c.dx, 70 + c.dy);
        h.window->release(70 + c.dx, 70 + c.dy, kLButton | c.modifiers);
        const float travel = knob->getRange() * ((c.modifiers & kShift) ? knob->getZoomFactor() : 1.f);
        float want = start + static_cast<float>(c.dx - c.dy) * 8.f / travel;
        want = std::fmin(6.f, std::fmax(-2.f, want));
        EXPECT_NEAR(knob->getValue(), want, kTol) << c.dx << "," << c.dy << " mods " << c.modifiers;
        EXPECT_TRUE(rec.changesInsideEdits());
        EXPECT_EQ(rec.count('b'), 1);
        EXPECT_EQ(rec.count('e'), 1);
    }
}

TEST(ControlKnob, SwitchingFineModeMidDragContinuesWithoutJump) {
    HeadlessFrame h(200, 200);
    Recorder rec;
    auto* knob = new CKnob(CRect(50, 50, 90, 90), &rec, 4, nullptr, nullptr);
    knob->setValue(0.3f);
    h.frame->addView(knob);
    const float r = knob->getRange(), z = knob->getZoomFactor();
    h.window->press(70, 70, kLButton);
    h.window->move(70, 50);             // up 20 normal
    EXPECT_NEAR(knob->getValue(), 0.3f + 20.f / r, kTol);
    h.window->move(70, 50, kShift);     // fine pressed: no jump
    EXPECT_NEAR(knob->getValue(), 0.3f + 20.f / r, kTol);
    h.window->move(70, 10, kShift);     // up 40 fine
    EXPECT_NEAR(knob->getValue(), 0.3f + 20.f / r + 40.f / (r * z), kTol);
    h.window->move(70, 10, 0);          // fine released
    h.window->move(70, 0, 0);           // up 10 normal
    EXPECT_NEAR(knob->getValue(), 0.3f + 30.f / r + 40.f / (r * z), kTol);
    h.window->release(70, 0, kLButton);
    EXPECT_TRUE(rec.changesInsideEdits());
}

TEST(ControlKnob, WheelStepsByIncrementAndATenthInFineMode) {
    HeadlessFrame h(200, 200);
    Recorder rec;
    auto* knob = new CKnob(CRect(0, 0, 40, 40), &rec, 4, nullptr, nullptr);
    knob->setValue(0.5f);
    knob->setWheelInc(0.04f);
    h.frame->addView(knob);
    h.window->wheel(20, 20, 2.f);
    EXPECT_NEAR(knob->getValue(), 0.58f, kTol);
    h.window->wheel(20, 20, -1.f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.576f, kTol);
    h.window->wheel(20, 20, 50.f);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.f);
    EXPECT_TRUE(rec.changesInsideEdits());
    EXPECT_EQ(rec.count('v'), 3);
    // At the end a further notch changes nothing and tells no one.
    h.window->wheel(20, 20, 1.f);
    EXPECT_EQ(rec.count('v'), 3);
}

TEST(ControlReset, ResetRoleOrDoubleClickRestoresTheDefault) {
    struct Case {
        bool proTools;
        int buttons;
        bool resets;
    };
    const Case cases[] = {
        {false, kLButton | kControl, true},
        {false, kLButton | kAlt, false},
        {false, kLButton | kDoubleClick, true},
        {false, kLButton, false},
        {true, kLButton | kAlt, true},
        {true, kLButton | kControl, false},  // control is the fine key there
        {true, kLButton | kDoubleClick, true},
    };
    for (const Case& c : cases) {
        for (int kind = 0; kind < 2; ++kind) {
            HeadlessFrame h(300, 300);
            setProToolsModifiers(c.proTools);
            Recorder rec;
            CControl* ctl;
            if (kind == 0) ctl = new CKnob(CRect(0, 0, 40, 40), &rec, 1, nullptr, nullptr);
            else ctl = new CVerticalSlider(CRect(0, 0, 40, 240), &rec, 1, CPoint(0, 8), 208, nullptr, nullptr);
            ctl->setDefaultValue(0.25f);
            ctl->setValue(0.9f);
            h.frame->addView(ctl);
            h.window->press(20, 20, c.buttons);
            h.window->move(20, 10);
            h.window->release(20, 10, c.buttons);
            if (c.resets) {
                EXPECT_FLOAT_EQ(ctl->getValue(), 0.25f) << "kind " << kind << " buttons " << c.buttons;
                EXPECT_EQ(rec.count('v'), 1);
            } else {
                EXPECT_NE(ctl->getValue(), 0.25f) << "kind " << kind << " buttons " << c.buttons;
            }
            EXPECT_TRUE(rec.changesInsideEdits());
            EXPECT_EQ(rec.count('b'), rec.count('e'));
        }
    }
}

TEST(ControlReset, ModifierRolesFollowTheProToolsPreference) {
    setProToolsModifiers(false);
    EXPECT_EQ(modifierRoles().actionModifier, kAlt);
    EXPECT_EQ(modifierRoles().fineModifier, kShift);
    EXPECT_EQ(modifierRoles().resetModifier, kControl);
    setProToolsModifiers(true);
    EXPECT_EQ(modifierRoles().actionModifier, kShift);
    EXPECT_EQ(modifierRoles().fineModifier, kControl);
    EXPECT_EQ(modifierRoles().resetModifier, kAlt);
    setProToolsModifiers(false);
}

// Vertical slider 20 × 240 with a 20 × 16 handle travelling 208 pixels from y = 8.
struct SliderRig {
    HeadlessFrame h{100, 300};
    Recorder rec;
    CSlider* slider = nullptr;
    SliderRig(int style, float value) {
        CDIB* handle = new CDIB(20, 16);
        slider = new CVerticalSlider(CRect(40, 20, 60, 260), &rec, 2, CPoint(0, 8), 208, handle, nullptr,
                                     CPoint(), style);
        handle->release();
        slider->setValue(value);
        h.frame->addView(slider);
    }
    // Frame y of the handle's top for a value (minimum at the bottom unless kTop).
    int handleTop(float value, bool topStyle) const {
        const float along = topStyle ? value : 1.f - value;
        return 20 + 8 + static_cast<int>(std::lround(along * 208.f));
    }
};

TEST(ControlSlider, HandleSitsWhereTheValueSays) {
    for (bool topStyle : {false, true}) {
        for (float v : {0.f, 0.25f, 0.5f, 1.f}) {
            SliderRig rig(topStyle ? kTop : kBottom, v);
            const CRect r = rig.slider->handleRect();  // parent = frame coordinates
            EXPECT_EQ(r.top, rig.handleTop(v, topStyle)) << v;
            EXPECT_EQ(r.height(), 16);
            EXPECT_EQ(r.left, 40);
        }
    }
}

TEST(ControlSlider, DragOnTheHandleMovesByTravelOverRange) {
    struct Case {
        int style;
        int dy;
        int modifiers;
    };
    const Case cases[] = {{kBottom, -52, 0}, {kBottom, 26, 0}, {kTop, 52, 0}, {kBottom, -52, kShift},
                          {kBottom, -300, 0}};
    for (const Case& c : cases) {
        SliderRig rig(c.style, 0.5f);
        const bool topStyle = c.style == kTop;
        const int grabY = rig.handleTop(0.5f, topStyle) + 8;  // middle of the handle
        rig.h.window->press(50, grabY, kLButton | c.modifiers);
        EXPECT_FLOAT_EQ(rig.slider->getValue(), 0.5f) << "grabbing the handle does not move it";
        rig.h.window->move(50, grabY + c.dy);
        rig.h.window->release(50, grabY + c.dy, kLButton | c.modifiers);
        const float zoom = (c.modifiers & kShift) ? rig.slider->getZoomFactor() : 1.f;
        const float sign = topStyle ? 1.f : -1.f;  // bottom style: up increases
        const float want = std::fmin(1.f, std::fmax(0.f, 0.5f + sign * c.dy / (208.f * zoom)));
        EXPECT_NEAR(rig.slider->getValue(), want, kTol) << "style " << c.style << " dy " << c.dy;
        EXPECT_TRUE(rig.rec.changesInsideEdits());
    }
}

TEST(ControlSlider, ClickBesideTheHandleCentresItUnderThePointer) {
    SliderRig rig(kBottom, 0.5f);
    // Pointer at frame y 100: the handle's top goes to 100 − 8, i.e. 92 − 28 = 64 pixels down the travel.
    rig.h.window->press(50, 100, kLButton);
    EXPECT_NEAR(rig.slider->getValue(), 1.f - 64.f / 208.f, kTol);
    EXPECT_EQ(rig.slider->handleRect().top + 8, 100);
    rig.h.window->move(50, 90);  // then it drags from there
    EXPECT_NEAR(rig.slider->getValue(), 1.f - 54.f / 208.f, kTol);
    rig.h.window->release(50, 90, kLButton);
    EXPECT_TRUE(rig.rec.changesInsideEdits());
    EXPECT_EQ(rig.rec.count('b'), 1);
}

TEST(ControlSlider, HorizontalSliderGrowsToTheRightUnlessStyledRight) {
    for (int style : {kLeft, kRight}) {
        HeadlessFrame h(300, 100);
        Recorder rec;
        auto* s = new CHorizontalSlider(CRect(10, 10, 230, 30), &rec, 3, CPoint(5, 0), 200, nullptr, nullptr,
                                        CPoint(), style);
        s->setValue(0.5f);
        h.frame->addView(s);
        const CRect hr = s->handleRect();
        EXPECT_EQ(hr.left, 10 + 5 + 100);
        h.drag(hr.left + 2, 20, hr.left + 2 + 40, 20);
        const float want = style == kLeft ? 0.5f + 40.f / 200.f : 0.5f - 40.f / 200.f;
        EXPECT_NEAR(s->getValue(), want, kTol);
    }
}

TEST(ControlSlider, WheelUsesItsIncrement) {
    SliderRig rig(kBottom, 0.5f);
    rig.slider->setWheelInc(0.01f);
    rig.h.window->wheel(50, 100, 3.f);
    EXPECT_NEAR(rig.slider->getValue(), 0.53f, kTol);
    rig.h.window->wheel(50, 100, -1.f, kShift);
    EXPECT_NEAR(rig.slider->getValue(), 0.529f, kTol);
}

TEST(ControlSlider, HiddenCursorReappearsOnTheHandle) {
    SliderRig rig(kBottom, 0.5f);
    rig.slider->setMouseHideEnabled(true);
    const int grabY = rig.handleTop(0.5f, false) + 8;
    rig.h.window->press(50, grabY, kLButton);
    EXPECT_FALSE(rig.h.window->cursorVisible());
    rig.h.window->move(50, grabY - 52);
    rig.h.window->move(70, grabY - 300);  // the hidden pointer wandered off
    rig.h.window->release(70, grabY - 300, kLButton);
    EXPECT_TRUE(rig.h.window->cursorVisible());
    int x, y, b;
    rig.h.window->pointerState(x, y, b);
    // The handle went to the top (value 1): 104 pixels up from where it was grabbed.
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, grabY - 104);
}

}  // namespace
}  // namespace hm::gui::test
