// The band value controls: selection traffic under kGUISelectedBand + band,
// reset gestures, fine right-button drags, the wheel rule, text entry through
// the editor, and the value labels of the scale tray's sliders.
#include <gtest/gtest.h>

#include <string>

#include "core/params/ParamIds.h"
#include "gui/draw/BitmapCache.h"
#include "gui/views/CEQKnob.h"
#include "gui/views/CEQSlider.h"
#include "gui/views/CEQText.h"
#include "gui/views/ParameterText.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {
namespace {

// An editor stand-in: hears the controls and formats and reads their texts.
struct TextSource : Recorder, iParameterText {
    std::string parameterText(int, float v, bool noteNames) override {
        return text.empty() ? std::string(noteNames ? "note " : "") + std::to_string(static_cast<int>(v * 100.f))
                            : text;
    }
    bool setParameterFromText(int tag, std::string_view t, bool noteMode) override {
        typedTag = tag;
        typed = t;
        typedAsNote = noteMode;
        return t.find("refused") == std::string_view::npos;
    }
    std::string textRefusal() override { return "not a value"; }
    float parameterValue(int) override { return stored; }

    std::string text;  // what parameterText answers when set
    std::string typed;
    int typedTag = -1;
    bool typedAsNote = false;
    float stored = 0.25f;
};

// The events of one tag (the selection traffic comes outside edits).
Recorder eventsOf(const Recorder& all, int tag) {
    Recorder out;
    for (const auto& e : all.events)
        if (e.tag == tag) out.events.push_back(e);
    return out;
}

constexpr int kBand = 3;
constexpr int kGainTag = kFirstBandParam + kBand * kParamsPerBand + kBandGain;

struct KnobRig {
    HeadlessFrame h{200, 120};
    TextSource editor;
    CEQKnob* knob = nullptr;
    KnobRig() {
        knob = new CEQKnob(CRect(10, 10, 40, 40), &editor, kGainTag, kBand);
        h.frame->addView(knob);
    }
    ~KnobRig() { clearSkinBitmaps(); }
};

TEST(BandKnob, APressNamesItsBandAndHoveringTellsNothing) {
    KnobRig r;
    r.knob->setValue(0.3f);
    r.h.window->move(20, 20, 0);
    r.h.window->move(150, 100, 0);
    EXPECT_TRUE(r.editor.events.empty()) << "passing over the knob changes no selection";
    r.h.click(25, 25, kLButton);
    ASSERT_FALSE(r.editor.events.empty());
    EXPECT_EQ(r.editor.events[0].tag, kGUIBandPressed);
    EXPECT_EQ(r.editor.events[0].value, static_cast<float>(kBand));
    for (const auto& e : r.editor.events) EXPECT_NE(e.tag, kGUISelectedBand + kBand);
    // The knob keeps its own tag and value.
    EXPECT_EQ(r.knob->getTag(), kGainTag);
    EXPECT_FLOAT_EQ(r.knob->getValue(), 0.3f);
}

TEST(BandKnob, DoubleClickAndResetRoleReturnTheDefault) {
    for (int buttons : {kLButton | kDoubleClick, kLButton | kControl, kLButton | kAlt}) {
        KnobRig r;
        r.knob->setValue(0.9f);
        r.h.click(25, 25, buttons);
        EXPECT_FLOAT_EQ(r.knob->getValue(), parameterDefaultValue(kGainTag)) << buttons;
        const Recorder own = eventsOf(r.editor, kGainTag);
        EXPECT_EQ(own.lastValue(), r.knob->getValue());
        EXPECT_TRUE(own.changesInsideEdits());
    }
}

TEST(BandKnob, RightButtonDragIsFineAndCommandClickIsIgnored) {
    float moved[2];
    int i = 0;
    for (int button : {kLButton, kRButton}) {
        KnobRig r;
        r.knob->setValue(0.5f);
        r.h.drag(25, 25, 25, 5, button);
        moved[i++] = r.knob->getValue() - 0.5f;
    }
    EXPECT_NEAR(moved[0], 20.f / 200.f, 1e-5f);
    EXPECT_NEAR(moved[1], moved[0] / 10.f, 1e-5f);

    KnobRig r;
    r.knob->setValue(0.5f);
    r.h.drag(25, 25, 25, 5, kLButton | kApple);
    EXPECT_FLOAT_EQ(r.knob->getValue(), 0.5f);
}

TEST(BandKnob, WheelMovesByTheWheelStepInHundredths) {
    KnobRig r;
    r.knob->setWheelInc(4.f);  // "Broad"
    r.knob->setValue(0.5f);
    r.h.window->wheel(25, 25, 1.f);
    EXPECT_NEAR(r.knob->getValue(), 0.54f, 1e-6f);
    r.h.window->wheel(25, 25, -2.f, kShift);  // fine: a tenth
    EXPECT_NEAR(r.knob->getValue(), 0.532f, 1e-6f);
    EXPECT_TRUE(eventsOf(r.editor, kGainTag).changesInsideEdits());
    EXPECT_EQ(eventsOf(r.editor, kGainTag).count('v'), 2);
}

constexpr int kFreqTag = kFirstBandParam + kBandFrequency;  // band 1

struct TextRig {
    HeadlessFrame h{200, 120};
    TextSource editor;
    CEQText* text = nullptr;
    explicit TextRig(bool withSource = true, bool general = false) {
        CControlListener* l = withSource ? static_cast<CControlListener*>(&editor) : &plain;
        text = general ? new CEQTextG(CRect(10, 60, 80, 77), l, kFreqTag)
                       : new CEQText(CRect(10, 60, 80, 77), l, kFreqTag, 0);
        h.frame->addView(text);
    }
    ~TextRig() { clearSkinBitmaps(); }
    Recorder plain;
};

TEST(BandText, ShiftControlClickShowsNoteNamesAndTypingReadsThemAsNotes) {
    TextRig r;
    r.text->setValue(0.5f);
    EXPECT_EQ(r.text->displayText(), "50");
    r.h.click(20, 65, kLButton | kShift | kControl);
    EXPECT_TRUE(r.text->getAlternateDisplay());
    EXPECT_EQ(r.text->displayText(), "note 50");

    r.h.click(20, 65, kLButton | kDoubleClick);
    ASSERT_TRUE(r.text->CTextEdit::isEditing());
    EXPECT_EQ(r.text->editBuffer(), "note 50");
    r.h.window->typeText("!");
    platform::KeyEvent ret;
    ret.key = platform::Key::kReturn;
    r.h.window->key(ret);
    EXPECT_FALSE(r.text->CTextEdit::isEditing());
    EXPECT_EQ(r.editor.typedTag, kFreqTag);
    EXPECT_EQ(r.editor.typed, "note 50!");
    EXPECT_TRUE(r.editor.typedAsNote);
    // The control shows what the editor made of it; the editor applied it, so no report.
    EXPECT_FLOAT_EQ(r.text->getValue(), 0.25f);
    EXPECT_EQ(eventsOf(r.editor, kFreqTag).count('v'), 0);
}

TEST(BandText, RefusedTextKeepsTheValueAndShowsWhyUntilTouched) {
    TextRig r;
    r.text->setValue(0.25f);
    r.text->setNotify(true);
    r.editor.text = "x";
    r.h.click(20, 65, kLButton | kDoubleClick);
    r.h.window->typeText("refused");
    r.h.frame->setFocusView(nullptr);
    ASSERT_EQ(r.editor.typed, "xrefused");
    EXPECT_EQ(r.text->refusal(), "not a value");
    EXPECT_EQ(r.text->displayText(), "not a value");
    EXPECT_FLOAT_EQ(r.text->getValue(), 0.25f);
    EXPECT_EQ(eventsOf(r.editor, kFreqTag).count('v'), 0) << "nothing is reported for refused text";
    // A new value from the editor shows again.
    r.text->setValue(0.5f);
    EXPECT_EQ(r.text->refusal(), "");
    EXPECT_EQ(r.text->displayText(), "x");
}

TEST(BandText, TypedTextIsReportedOnlyWithTheNotifyFlagAndNeedsAReader) {
    {
        TextRig r;
        r.text->setValue(0.5f);
        r.text->setNotify(true);
        r.h.click(20, 65, kLButton | kDoubleClick);
        r.h.window->typeText("7");
        r.h.frame->setFocusView(nullptr);  // leaving the field commits
        EXPECT_EQ(r.editor.typed, "507");
        EXPECT_EQ(eventsOf(r.editor, kFreqTag).lastValue(), 0.25f);
    }
    {
        TextRig r(false);
        r.text->setValue(0.5f);
        r.h.click(20, 65, kLButton | kDoubleClick);
        r.h.window->typeText("9");
        r.h.frame->setFocusView(nullptr);
        EXPECT_FLOAT_EQ(r.text->getValue(), 0.5f);  // nobody read the text: the old value stays
    }
}

TEST(BandText, EditTextDropsPrefixOrKeepsOnlyTheNumber) {
    struct Case {
        const char* shown;
        bool stripPrefix, numbersOnly;
        const char* edit;
    };
    const Case cases[] = {
        {"3 Hamming", true, false, "Hamming"},
        {"-12.50 dB", false, true, "-12.50"},
        {"-12.50 dB", false, false, "-12.50 dB"},
        {"12 - 7.5 x", true, true, ".5"},
    };
    for (const Case& c : cases) {
        TextRig r;
        r.editor.text = c.shown;
        r.text->setStripPrefix(c.stripPrefix);
        r.text->setNumbersOnly(c.numbersOnly);
        EXPECT_EQ(r.text->editText(), c.edit) << c.shown;
    }
}

TEST(BandText, DragsLikeAKnobAndResetsWithTheAlternateRole) {
    TextRig r;
    r.text->setValue(0.5f);
    r.h.drag(20, 65, 20, 45);
    EXPECT_NEAR(r.text->getValue(), 0.6f, 1e-5f);
    r.h.click(20, 65, kLButton | kAlt);
    EXPECT_FLOAT_EQ(r.text->getValue(), parameterDefaultValue(kFreqTag));
    EXPECT_TRUE(eventsOf(r.editor, kFreqTag).changesInsideEdits());
}

TEST(BandText, OnlyTheLinkedTextNamesItsBandWhenPressed) {
    for (bool general : {false, true}) {
        TextRig r(true, general);
        r.h.window->move(20, 65, 0);
        r.h.window->move(150, 5, 0);
        r.h.click(20, 65, kLButton);
        int presses = 0;
        for (const auto& e : r.editor.events) {
            presses += e.tag == kGUIBandPressed;
            EXPECT_LT(e.tag, kGUISelectedBand) << "no selection from hovering or pressing";
        }
        EXPECT_EQ(presses, general ? 0 : 1);
    }
}

TEST(ScaleTraySlider, LabelFollowsTheSliderLabelsMode) {
    HeadlessFrame h(200, 300);
    TextSource editor;
    auto* slider = new CEQSlider(CRect(10, 10, 56, 234), &editor, kScale, CPoint(9, 0), 208, nullptr, nullptr,
                                 CPoint(), kBottom | kVertical);
    h.frame->addView(slider);
    EXPECT_FALSE(slider->labelShown());  // "Hover" until the pointer comes
    h.window->move(30, 100, 0);
    EXPECT_TRUE(slider->labelShown());
    h.window->move(150, 280, 0);
    EXPECT_FALSE(slider->labelShown());
    slider->setLabelMode(CEQSlider::kLabelOn);
    EXPECT_TRUE(slider->labelShown());
    slider->setLabelMode(CEQSlider::kLabelOff);
    h.window->move(30, 100, 0);
    EXPECT_FALSE(slider->labelShown());
    clearSkinBitmaps();
}

}  // namespace
}  // namespace hm::gui::test
