// Typing into value fields: note names, the "k" notation, unreadable text and
// levels in dB, through the editor to the instance's parameters.
#include <cmath>

#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

struct TextCase {
    const char* text;
    bool noteMode;
    int index;
    double expectedReal;  // NaN: the parameter's default
};

TEST(EditorText, TypedTextReachesTheParameterAsItsRealValue) {
    const double nan = std::nan("");
    const int freq = bandParam(3, kBandFrequency);
    const int gain = bandParam(3, kBandGain);
    const TextCase cases[] = {
        {"A4", true, freq, 440.0},
        {"a4", true, freq, 440.0},
        // C lies below A in the same octave number: 440 * 2^(3/12 - 1).
        {"C4", true, freq, 261.6255653},
        // Half a semitone above A#4: 440 * 2^(1/12 - 50/1200).
        {"A#4-50", true, freq, 440.0 * std::pow(2.0, 1.0 / 12.0 - 50.0 / 1200.0)},
        {"  E2", true, freq, 82.40689},
        // Everything up to the first note letter is skipped: the "e" of "note" is the note.
        {"note", true, freq, 440.0 * std::pow(2.0, 7.0 / 12.0 - 5.0)},
        {"1k5", false, freq, 1500.0},
        {"2k", false, freq, 2000.0},
        {"250", false, freq, 250.0},
        {"Hz", false, freq, nan},       // letters only: the default
        {"-6", false, gain, -6.0},      // band gain in dB at the default Scale
        {"0", false, gain, 0.0},        // a real zero is not "unreadable"
    };
    EditorRig rig;
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        rig.change(c.index, rig.normalised(c.index, 1000.0));  // away from both expected values and the default
        rig.editor->setParameterFromText(c.index, c.text, c.noteMode);
        const double expected = std::isnan(c.expectedReal)
                                    ? rig.plug->normalisedToReal(c.index, rig.plug->getParameterDefault(c.index))
                                    : c.expectedReal;
        // Normalised values are floats: the real value is exact to a few parts per million.
        EXPECT_NEAR(rig.real(c.index), expected, std::fabs(expected) * 2e-5 + 1e-4);
    }
}

TEST(EditorText, NoteModeWithoutANoteLetterChangesNothing) {
    EditorRig rig;
    const int freq = bandParam(0, kBandFrequency);
    rig.change(freq, rig.normalised(freq, 1234.0));
    const float before = rig.value(freq);
    rig.editor->setParameterFromText(freq, "123", true);
    rig.editor->setParameterFromText(freq, "xyz", true);
    EXPECT_EQ(rig.value(freq), before);
}

TEST(EditorText, ChannelLevelsReadDecibels) {
    EditorRig rig;
    const int level = channelParam(1, kChannelLevel);
    rig.editor->setParameterFromText(level, "-6", false);
    EXPECT_NEAR(rig.real(level), std::pow(10.0, -6.0 / 20.0), 1e-4);
    // Unreadable text reads as 0 dB; a level beyond any number gives the bottom.
    rig.editor->setParameterFromText(level, "loud", false);
    EXPECT_NEAR(rig.real(level), 1.0, 1e-4);
    rig.editor->setParameterFromText(level, "1e999", false);
    EXPECT_EQ(rig.value(level), 0.f);
}

TEST(EditorText, TypedValuesReachTheHostAsAutomation) {
    EditorRig rig;
    const int freq = bandParam(5, kBandFrequency);
    rig.clearCalls();
    rig.editor->setParameterFromText(freq, "1k", false);
    EXPECT_EQ(rig.countCalls(vst::audioMasterAutomate, freq), 1);
    EXPECT_EQ(rig.countCalls(vst::audioMasterBeginEdit, freq), 1);
    EXPECT_EQ(rig.countCalls(vst::audioMasterEndEdit, freq), 1);
}

TEST(EditorText, InstanceNameIsCutTo31Characters) {
    EditorRig rig;
    rig.editor->setParameterFromText(kGUIInstanceName, "A very long name for one instance of it", false);
    EXPECT_STREQ(rig.plug->instanceName(), "A very long name for one instan");
    EXPECT_TRUE(rig.plug->instanceNameSet());
    EXPECT_EQ(rig.editor->parameterText(kGUIInstanceName, 0.f, false), "A very long name for one instan");
}

}  // namespace
}  // namespace hm::gui::test
