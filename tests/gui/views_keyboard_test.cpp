// The keyboard under the graph: key geometry on the graph's axis, the keys as
// drawn, band creation at a note and frequency drags from a band's dot, and
// the graph's visible range followed inside the editor.
#include <gtest/gtest.h>

#include <cmath>

#include "core/vst/VstAbi.h"
#include "gui/views/BandDisplay.h"
#include "gui/views/nKeyboard.h"
#include "tests/gui/editor_Rig.h"
#include "views_BandEditorStub.h"

namespace hm::gui::test {
namespace {

TEST(KeyboardGeometry, NoteA4SitsAtTheReferenceOnTheGraphsAxis) {
    struct Span {
        double width, fMin, fMax, reference;
    };
    const Span spans[] = {{750, 10, 22050, 440}, {555, 10, 24000, 880}, {1300, 100, 1600, 440 * std::exp2(-3.0 / 12)},
                          {400, 300, 700, 440 * 1.5}};
    for (const Span& sp : spans) {
        SCOPED_TRACE(sp.reference);
        const KeyboardGeometry g = keyboardGeometry(sp.width, sp.fMin, sp.fMax, sp.reference);
        // The graph maps f to width * ln(f / fMin) / ln(fMax / fMin).
        const double graphX = sp.width * std::log(sp.reference / sp.fMin) / std::log(sp.fMax / sp.fMin);
        EXPECT_NEAR(g.pitchX(69), graphX, 1e-9);
        EXPECT_NEAR(g.xOfFrequency(sp.reference), graphX, 1e-9);
        // A4's white key (between the line of G# and A's own right edge) holds that point.
        EXPECT_LT(g.x(69) - g.k, graphX);
        EXPECT_GT(g.x(69), graphX);
        EXPECT_EQ(g.noteAt(graphX, 30, 40), 69);
        // An octave is seven white keys and twelve semitones wide.
        EXPECT_NEAR(g.x(81) - g.x(69), 7 * g.k, 1e-9);
        EXPECT_NEAR(7 * g.k, 12 * g.s, 1e-9);
        EXPECT_NEAR(g.noteFrequency(69), sp.reference, 1e-9);
        EXPECT_NEAR(g.noteFrequency(57), sp.reference / 2, 1e-9);
        // Every visible note is listed.
        EXPECT_LE(g.noteFrequency(g.lowNote), sp.fMin * 1.0000001);
        EXPECT_GE(g.noteFrequency(g.highNote), sp.fMax * 0.9999999);
    }
}

TEST(KeyboardGeometry, KeysOfAnOctaveAndTheNoteUnderThePointer) {
    const int kinds[12] = {0, 3, 1, 3, 2, 0, 3, 1, 3, 1, 3, 2};
    for (int p = 0; p < 12; ++p) EXPECT_EQ(keyKind(p), kinds[p]) << p;
    EXPECT_EQ(keyKind(-1), kKeyWhiteBlackBelow) << "B below C0";
    const KeyboardGeometry g = keyboardGeometry(1000, 200, 1000, 440);
    // C4 (60): the white key from its left edge; C#4 over the boundary of C and D.
    EXPECT_NEAR(g.x(61), g.x(60) + g.k, 1e-9);
    EXPECT_NEAR(g.keyCentre(60), g.x(60) + g.k / 2, 1e-9);
    EXPECT_EQ(g.noteAt(g.x(61), 5, 40), 61) << "upper half over the black key";
    EXPECT_EQ(g.noteAt(g.x(61) - 1, 35, 40), 60) << "lower half: the white key beside it";
    EXPECT_EQ(g.noteAt(g.x(61) + 1, 35, 40), 62);
    EXPECT_EQ(g.noteAt(g.keyCentre(64), 5, 40), 64) << "E has no black key above its middle";
}

// Runs of a row of the picture between x0 and x1 that are dark (or light).
int runs(const HeadlessFrame& h, int y, int x0, int x1, bool dark) {
    int n = 0;
    bool inRun = false;
    for (int x = x0; x < x1; ++x) {
        const bool match = ((h.pixel(x, y) & 0xFF) < 0x60) == dark;
        if (match && !inRun) ++n;
        inRun = match;
    }
    return n;
}

TEST(KeyboardDrawing, AnOctaveShowsSevenWhiteKeysAndFiveBlackKeys) {
    BandEditorStub editor;
    HeadlessFrame host(1200, 40);
    auto* keyboard = new nKeyboard(CRect(0, 0, 1200, 40), &editor, kGUIKeyboard);
    host.frame->addView(keyboard);
    keyboard->setVisibleRange(100.0, 800.0);
    host.frame->updateDirty();
    const KeyboardGeometry g = keyboard->geometry();
    // From just inside C4's left edge to just short of C5's.
    const int x0 = static_cast<int>(std::ceil(g.x(60))) + 2, x1 = static_cast<int>(std::floor(g.x(72))) - 2;
    EXPECT_EQ(runs(host, 36, x0, x1, false), 7) << "seven white keys, parted by lines in the lower half";
    EXPECT_EQ(runs(host, 5, x0, x1, true), 6) << "the five black keys and the line between E and F";
    EXPECT_EQ(host.pixel((x0 + x1) / 2, 36), nKeyboard::kBackground) << "white key face";
    // The line between E and F runs full height, the black keys stop halfway.
    const int ef = static_cast<int>(std::floor(g.x(64)));
    EXPECT_LT(host.pixel(ef, 5) & 0xFF, 0x60);
    const int cSharp = static_cast<int>(std::floor(g.x(61) + 0.25 * g.s));  // inside the black key, off the C|D line
    EXPECT_LT(host.pixel(cSharp, 5) & 0xFF, 0x60);
    EXPECT_EQ(host.pixel(cSharp, 30), nKeyboard::kBackground);
}

TEST(KeyboardDrawing, BandsShowAsDotsInTheirColours) {
    BandEditorStub editor;
    HeadlessFrame host(800, 40);
    auto* keyboard = new nKeyboard(CRect(0, 0, 800, 40), &editor, kGUIKeyboard);
    host.frame->addView(keyboard);
    keyboard->setVisibleRange(20.0, 20000.0);
    editor.addBand(4, 1, 0, 1000.0);
    host.frame->updateDirty();
    const int x = static_cast<int>(keyboard->dotX(4)), y = static_cast<int>(keyboard->dotY());
    EXPECT_NEAR(keyboard->dotX(4), 800 * std::log(1000 / 20.0) / std::log(1000.0), 1e-3);
    EXPECT_EQ(host.pixel(x, y), bandDisplayColour(&editor, 4));
    // A bypassed band's dot is half transparent.
    editor.plug.setParameter(bandParam(4, kBandState), baseNormalisedValue(bandParam(4, kBandState), 1));
    keyboard->onIdle();  // notices the change
    host.frame->updateDirty();
    EXPECT_NE(host.pixel(x, y), bandDisplayColour(&editor, 4));
    EXPECT_NE(host.pixel(x, y), nKeyboard::kBackground);
}

// The keyboard of an opened editor, and where a frequency lies on it in window coordinates.
struct KeyboardInEditor {
    EditorRig rig;
    nKeyboard* keyboard = nullptr;
    KeyboardInEditor() {
        if (rig.editor) keyboard = rig.editor->findView<nKeyboard>();
    }
    CPoint at(double hz, int y) const {
        const CRect r = keyboard->getFrameRect();
        return CPoint(r.left + static_cast<int>(std::lround(keyboard->geometry().xOfFrequency(hz))), r.top + y);
    }
};

TEST(KeyboardInEditorTest, ControlClickOnA4CreatesABandAtTheReferenceFrequency) {
    for (int note : {60, 72, 55}) {  // MIDI factors 1, 2 and 2^(-5/12)
        SCOPED_TRACE(note);
        KeyboardInEditor k;
        ASSERT_NE(k.keyboard, nullptr) << "the shipped layout has a keyboard";
        vst::VstMidiEvent on{};
        on.type = vst::kVstMidiType;
        on.byteSize = sizeof on;
        on.midiData[0] = static_cast<char>(0x90);
        on.midiData[1] = static_cast<char>(note);
        on.midiData[2] = 100;
        vst::VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<vst::VstEvent*>(&on);
        k.rig.plug->processEvents(&events);
        float silence[16] = {};
        float* io[2] = {silence, silence};
        k.rig.plug->processReplacing(io, io, 16);  // the events' processing call
        const double factor = std::exp2((note - 60) / 12.0);
        ASSERT_DOUBLE_EQ(k.rig.plug->frequencyMultiplier(), factor);

        // Lower half of the A4 key, a little off its centre.
        const KeyboardGeometry g = k.keyboard->geometry();
        const CRect r = k.keyboard->getFrameRect();
        const int x = r.left + static_cast<int>(std::lround(g.keyCentre(69) + g.k * 0.3));
        k.rig.window()->press(x, r.top + 32, kLButton | kControl);
        k.rig.window()->release(x, r.top + 32, kLButton | kControl);
        const int band = 0;  // the first band not in use
        ASSERT_EQ(k.rig.real(bandParam(band, kBandState)), 2.0);
        EXPECT_NEAR(k.rig.real(bandParam(band, kBandFrequency)), 440.0 * factor, 440.0 * factor * 1e-4);
        EXPECT_EQ(k.rig.real(bandParam(band, kBandType)), 1.0);
        EXPECT_NEAR(k.rig.real(bandParam(band, kBandGain)), 0.0, 1e-6);
        EXPECT_NEAR(k.rig.real(bandParam(band, kBandQ)), 0.707, 1e-3);
        EXPECT_TRUE((k.rig.editor->selectedBands() >> band) & 1u) << "the new band is selected";
        EXPECT_EQ(k.rig.countCalls(vst::audioMasterBeginEdit, bandParam(band, kBandFrequency)),
                  k.rig.countCalls(vst::audioMasterEndEdit, bandParam(band, kBandFrequency)));

        // A double click on the black key above G4 gives G#4 for the second band.
        const int gs = r.left + static_cast<int>(std::lround(g.x(68)));
        k.rig.window()->press(gs, r.top + 6, kLButton | kDoubleClick);
        k.rig.window()->release(gs, r.top + 6, kLButton);
        EXPECT_NEAR(k.rig.real(bandParam(1, kBandFrequency)), 440.0 * factor * std::exp2(-1.0 / 12),
                    440.0 * factor * 1e-4);
    }
}

TEST(KeyboardInEditorTest, DraggingADotMovesItsBandsFrequency) {
    KeyboardInEditor k;
    ASSERT_NE(k.keyboard, nullptr);
    const int state = bandParam(3, kBandState), freq = bandParam(3, kBandFrequency);
    k.rig.change(bandParam(3, kBandFrequency), k.rig.normalised(freq, 500.0));
    k.rig.change(state, 1.f);
    const int y = static_cast<int>(k.keyboard->dotY());
    const CPoint from = k.at(500.0, y);
    const CPoint to = k.at(1000.0, y);
    k.rig.clearCalls();
    k.rig.window()->press(from.x + 3, from.y, kLButton);  // a little off the dot's centre
    k.rig.window()->move(to.x + 3, to.y);
    EXPECT_NEAR(k.rig.real(freq), 1000.0, 1000.0 * 0.01) << "the band follows the pointer";
    // Fine: the pointer's further movement counts a tenth.
    const CPoint far = k.at(2000.0, y);
    k.rig.window()->move(to.x + 3, to.y, kShift);
    k.rig.window()->move(far.x + 3, far.y, kShift);
    const double fine = 1000.0 * std::pow(2.0, 0.1);
    EXPECT_NEAR(k.rig.real(freq), fine, fine * 0.01);
    k.rig.window()->release(far.x + 3, far.y, kLButton | kShift);
    EXPECT_EQ(k.rig.countCalls(vst::audioMasterBeginEdit, freq), 1);
    EXPECT_EQ(k.rig.countCalls(vst::audioMasterEndEdit, freq), 1);
    EXPECT_GT(k.rig.countCalls(vst::audioMasterAutomate, freq), 1);
    // Far from every dot a plain press does nothing.
    k.rig.clearCalls();
    const CPoint away = k.at(60.0, y);
    k.rig.window()->press(away.x, away.y, kLButton);
    k.rig.window()->release(away.x, away.y, kLButton);
    EXPECT_EQ(k.rig.countCalls(vst::audioMasterAutomate), 0);
}

TEST(KeyboardInEditorTest, FollowsTheGraphsVisibleRange) {
    KeyboardInEditor k;
    ASSERT_NE(k.keyboard, nullptr);
    auto* graph = k.rig.editor->findView<EQGraph>();
    ASSERT_NE(graph, nullptr);
    const auto same = [&] {
        const KeyboardGeometry g = k.keyboard->geometry();
        return std::abs(g.fMin - graph->view().fMin) < 1e-9 && std::abs(g.fMax - graph->view().fMax) < 1e-9;
    };
    EXPECT_TRUE(same()) << "from the start";
    graph->setVisibleRange(100.0, 1600.0);
    EXPECT_TRUE(same());
    EXPECT_NEAR(k.keyboard->geometry().fMin, 100.0, 1e-9);
    // A wheel zoom over the graph's empty space.
    const CRect r = graph->getFrameRect();
    k.rig.window()->wheel(r.left + r.width() / 3, r.top + 10, 2.f);
    EXPECT_TRUE(same());
    EXPECT_GT(k.keyboard->geometry().fMin, 100.0);
    // Keys stay under the graph's frequencies: A4 where the graph has 440 Hz.
    const double graphX = graph->getWidth() * std::log(440.0 / graph->view().fMin) /
                          std::log(graph->view().fMax / graph->view().fMin);
    EXPECT_NEAR(k.keyboard->geometry().pitchX(69), graphX, 1e-6);
}

}  // namespace
}  // namespace hm::gui::test
