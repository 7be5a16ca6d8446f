// The strips' knobs and value fields inside the editor, end to end: gestures
// and typed text reach the instance (and the host) through the editor.
#include <gtest/gtest.h>

#include <cmath>

#include "core/vst/VstAbi.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/CEQKnob.h"
#include "gui/views/CEQText.h"
#include "gui/views/bandStrips.h"
#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

struct StripControls {
    EditorRig rig;
    explicit StripControls(int stripsMode) {
        rig.plug->editorPreferenceTree().setUIPreference("Layout", "BandStrips", stripsMode);
        rig.change(kGUIUIPrefsChange, 1.f);
        rig.plug->setParameterAutomated(bandParam(0, kBandState), 1.f);
        for (int i = 0; i < 3; ++i) rig.editor->forceIdlePass();
    }
    template <class T>
    T* control(int tag) {
        T* found = nullptr;
        rig.editor->forEachControl(tag, [&](CControl* c) {
            if (!found) found = dynamic_cast<T*>(c);
        });
        return found;
    }
    CPoint centre(CView* v) const {
        const CRect r = v->getFrameRect();
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Double click, clear the field, type, Return.
    void type(CEQText* field, const char* text) {
        const CPoint p = centre(field);
        rig.window()->press(p.x, p.y, kLButton);
        rig.window()->release(p.x, p.y, kLButton);
        rig.window()->press(p.x, p.y, kLButton | kDoubleClick);
        rig.window()->release(p.x, p.y, kLButton);
        for (int i = 0; i < 24; ++i) rig.window()->key({platform::Key::kBackspace, 0, 0});
        rig.window()->typeText(text);
        rig.window()->key({platform::Key::kReturn, 0, 0});
    }
};

TEST(StripControlsInEditor, TypedTextReachesTheInstance) {
    const double nan = std::nan("");
    struct Case {
        const char* text;
        int field;
        bool notes;
        double expected;  // NaN: refused, the value stays
    };
    const Case cases[] = {
        {"A4", kBandFrequency, true, 440.0},
        {"C4", kBandFrequency, true, 440.0 * std::pow(2.0, 3.0 / 12.0 - 1.0)},
        {"A#4-50", kBandFrequency, true, 440.0 * std::pow(2.0, 1.0 / 12.0 - 50.0 / 1200.0)},
        {"1k5", kBandFrequency, false, 1500.0},
        {"Hz", kBandFrequency, false, nan},
        {"A4", kBandGain, false, nan},
        {"0,7", kBandGain, false, nan},
        {"0", kBandGain, false, 0.0},
        {"-6", kBandGain, false, -6.0},
        {"dB", kBandGain, false, nan},
    };
    StripControls s(1);  // "Text"
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const int tag = bandParam(0, c.field);
        s.rig.change(tag, s.rig.normalised(tag, c.field == kBandGain ? 9.0 : 5000.0));
        s.rig.editor->forceIdlePass();
        auto* field = s.control<CEQText>(tag);
        ASSERT_NE(field, nullptr);
        if (field->getAlternateDisplay() != c.notes) {
            const CPoint p = s.centre(field);
            s.rig.window()->press(p.x, p.y, kLButton | kShift | kControl);
            s.rig.window()->release(p.x, p.y, kLButton | kShift | kControl);
            ASSERT_EQ(field->getAlternateDisplay(), c.notes);
        }
        s.rig.clearCalls();
        s.type(field, c.text);
        const bool refused = std::isnan(c.expected);
        const double expected = refused ? (c.field == kBandGain ? 9.0 : 5000.0) : c.expected;
        EXPECT_NEAR(s.rig.real(tag), expected, std::fabs(expected) * 2e-5 + 1e-3);
        EXPECT_EQ(field->refusal().empty(), !refused) << "a refusal shows in the field";
        if (refused) EXPECT_TRUE(s.rig.calls().empty()) << "the host hears nothing of refused text";
        EXPECT_FLOAT_EQ(field->getValue(), s.rig.value(tag)) << "the field reads the value back";
    }
}

TEST(StripControlsInEditor, KnobGesturesReachTheInstanceAndTheHost) {
    StripControls s(2);  // "Knobs"
    const int tag = bandParam(0, kBandGain);
    auto* knob = s.control<CEQKnob>(tag);
    ASSERT_NE(knob, nullptr) << "a gain knob in the band's strip";
    const CPoint p = s.centre(knob);

    s.rig.change(tag, 0.8f);
    s.rig.clearCalls();
    s.rig.window()->press(p.x, p.y, kLButton);
    s.rig.window()->release(p.x, p.y, kLButton);
    s.rig.window()->press(p.x, p.y, kLButton | kDoubleClick);
    s.rig.window()->release(p.x, p.y, kLButton);
    EXPECT_FLOAT_EQ(s.rig.value(tag), s.rig.plug->getParameterDefault(tag)) << "double click: the default";
    EXPECT_EQ(s.rig.countCalls(vst::audioMasterBeginEdit, tag), s.rig.countCalls(vst::audioMasterEndEdit, tag));
    EXPECT_GE(s.rig.countCalls(vst::audioMasterAutomate, tag), 1);

    s.rig.change(tag, 0.8f);
    s.rig.editor->forceIdlePass();
    s.rig.window()->press(p.x, p.y, kLButton | kControl);  // the reset role
    s.rig.window()->release(p.x, p.y, kLButton | kControl);
    EXPECT_FLOAT_EQ(s.rig.value(tag), s.rig.plug->getParameterDefault(tag));

    // Dragging 20 pixels up: a tenth of the range over 200 pixels; with the right button a tenth of that.
    float moved[2];
    int i = 0;
    for (int button : {kLButton, kRButton}) {
        s.rig.change(tag, 0.5f);
        s.rig.editor->forceIdlePass();
        s.rig.window()->press(p.x, p.y, button);
        s.rig.window()->move(p.x, p.y - 20);
        s.rig.window()->release(p.x, p.y - 20, button);
        moved[i++] = s.rig.value(tag) - 0.5f;
    }
    EXPECT_NEAR(moved[0], 0.1f, 1e-4f);
    EXPECT_NEAR(moved[1], 0.01f, 1e-4f);

    // The wheel: "MouseWheel Sensitivity" "Broad" (4) hundredths a notch, a tenth with the fine role.
    s.rig.change(tag, 0.5f);
    s.rig.editor->forceIdlePass();
    s.rig.window()->wheel(p.x, p.y, 1.f);
    EXPECT_NEAR(s.rig.value(tag), 0.54f, 1e-5f);
    s.rig.window()->wheel(p.x, p.y, -2.f, kShift);
    EXPECT_NEAR(s.rig.value(tag), 0.532f, 1e-5f);
}

}  // namespace
}  // namespace hm::gui::test
