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
    double expectedReal;    // NaN: refused
    const char* refusal;    // what the field shows when refused
};

TEST(EditorText, TypedTextIsReadWholeOrRefusedWithTheValueKept) {
    const double refused = std::nan("");
    const int freq = bandParam(3, kBandFrequency);
    const int gain = bandParam(3, kBandGain);
    const int q = bandParam(3, kBandQ);
    const int shift = bandParam(3, kBandShift);
    const int level = channelParam(1, kChannelLevel);
    const TextCase cases[] = {
        // Note names in a frequency field, shown as notes or not.
        {"A4", true, freq, 440.0, ""},
        {"A4", false, freq, 440.0, ""},
        {"a4", false, freq, 440.0, ""},
        {"C4", true, freq, 261.6255653, ""},  // C lies below A in the same octave number
        {"C#3", false, freq, 440.0 * std::pow(2.0, 4.0 / 12.0 - 2.0), ""},
        {"A4+12", false, freq, 440.0 * std::pow(2.0, 12.0 / 1200.0), ""},
        {"A#4-50", true, freq, 440.0 * std::pow(2.0, 1.0 / 12.0 - 50.0 / 1200.0), ""},
        {"  E2 ", true, freq, 82.40689, ""},
        // Numbers with "k" and units.
        {"1k5", false, freq, 1500.0, ""},
        {"1.5k", false, freq, 1500.0, ""},
        {"1500Hz", false, freq, 1500.0, ""},
        {"1500 hz", false, freq, 1500.0, ""},
        {"1.5kHz", false, freq, 1500.0, ""},
        {"2k", false, freq, 2000.0, ""},
        {"250", false, freq, 250.0, ""},
        {"+3", false, gain, 3.0, ""},
        {"-3dB", false, gain, -3.0, ""},
        {"-6", false, gain, -6.0, ""},
        {"0", false, gain, 0.0, ""},  // a real zero is a value
        {".5", false, q, 0.5, ""},
        {"-25%", false, shift, -25.0, ""},
        {"-6", false, level, std::pow(10.0, -6.0 / 20.0), ""},
        {"-6 dB", false, level, std::pow(10.0, -6.0 / 20.0), ""},
        // Refused, never read in part and never turned into the default.
        {"xyz", false, freq, refused, "not a value or note"},
        {"xyz", true, freq, refused, "not a note"},
        {"note", true, freq, refused, "not a note"},
        {"A", false, freq, refused, "not a note"},
        {"A4x", true, freq, refused, "not a note"},
        {"123", true, freq, refused, "not a note"},
        {"Hz", false, freq, refused, "not a value or note"},
        {"250abc", false, freq, refused, "not in Hz"},
        {"abc", false, gain, refused, "not a value"},
        {"A4", false, gain, refused, "not a value"},
        {"3Hz", false, gain, refused, "not in dB"},
        {"0,7", false, q, refused, "use 0.7"},
        {"-1,5 dB", false, gain, refused, "use -1.5 dB"},
        {"", false, gain, refused, "no value"},
        {"loud", false, level, refused, "not a value"},
        {"1e3", false, q, refused, "not a value"},
    };
    EditorRig rig;
    for (const TextCase& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        rig.change(c.index, rig.normalised(c.index, c.index == level ? 0.5 : 1000.0));
        const float before = rig.value(c.index);
        rig.clearCalls();
        const bool accepted = rig.editor->setParameterFromText(c.index, c.text, c.noteMode);
        if (std::isnan(c.expectedReal)) {
            EXPECT_FALSE(accepted);
            EXPECT_EQ(rig.value(c.index), before);
            EXPECT_TRUE(rig.calls().empty()) << "the host hears nothing of refused text";
            EXPECT_EQ(rig.editor->textRefusal(), c.refusal);
        } else {
            EXPECT_TRUE(accepted);
            EXPECT_EQ(rig.editor->textRefusal(), "");
            // Normalised values are floats: the real value is exact to a few parts per million.
            EXPECT_NEAR(rig.real(c.index), c.expectedReal, std::fabs(c.expectedReal) * 2e-5 + 1e-4);
        }
    }
}

TEST(EditorText, ValuesBeyondTheRangeStopAtItsEnds) {
    EditorRig rig;
    const int freq = bandParam(0, kBandFrequency);
    ASSERT_TRUE(rig.editor->setParameterFromText(freq, "99k", false));
    EXPECT_EQ(rig.value(freq), 1.f);
    ASSERT_TRUE(rig.editor->setParameterFromText(freq, "-5", false));
    EXPECT_EQ(rig.value(freq), 0.f);
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
    EXPECT_EQ(rig.plug->instanceName(), "A very long name for one instan");
    EXPECT_TRUE(rig.plug->instanceNameSet());
    EXPECT_EQ(rig.editor->parameterText(kGUIInstanceName, 0.f, false), "A very long name for one instan");
}

}  // namespace
}  // namespace hm::gui::test
