// The band strips in a real X server: a band switched on by the host gets its
// strip at the editor's idle pass, and turning the strip's knob with the mouse
// reaches the host as automation inside an edit gesture.
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/editor/WindowSize.h"
#include "gui/views/StripLayout.h"
#include "tests/window/window_EditorHost.h"

namespace hm::test {
namespace {

constexpr int kBand = 5;
// The "BandStrips" page's defaults: subtype, groups, extra row and labels shown.
constexpr int kStripFlags = gui::kLayoutStrips | gui::kLayoutStripSubtype | gui::kLayoutStripGroups |
                            gui::kLayoutStripExtra | gui::kLayoutStripLabels | gui::kLayoutStripSubtypeMenu;

void switchBand(host::PluginInstance& plugin, bool on) {
    plugin.setParameter(bandParam(kBand, kBandState), on ? 1.f : 0.f);
}

bool gestureOn(const std::vector<host::HostCall>& calls, int index) {
    // Begin edit, at least one automated value, end edit, in that order.
    int stage = 0;
    for (const host::HostCall& c : calls) {
        if (c.index != index) continue;
        if (stage == 0 && c.opcode == vst::audioMasterBeginEdit) stage = 1;
        else if (stage >= 1 && c.opcode == vst::audioMasterAutomate) stage = 2;
        else if (stage == 2 && c.opcode == vst::audioMasterEndEdit) return true;
        else if (c.opcode == vst::audioMasterAutomate && stage == 0) return false;  // outside the gesture
    }
    return false;
}

TEST(StripsWindow, ABandSwitchedOnByTheHostGetsItsStrip) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    switchBand(*host.plugin, true);
    const Picture on = snapshot(*host.plugin);
    switchBand(*host.plugin, false);
    const Picture off = snapshot(*host.plugin);
    // More than the graph's handle and the keyboard's dot: a whole strip.
    ASSERT_GT(differences(on, off), 65 * 150);

    ASSERT_TRUE(host.open());
    ASSERT_TRUE(host.idleUntil([&] { return differences(host.capture(), off) == 0; }));
    switchBand(*host.plugin, true);  // the host's automation
    Picture shown;
    EXPECT_TRUE(host.idleUntil([&] {
        shown = host.capture();
        return differences(shown, on) == 0;
    })) << differences(shown, on) << " pixels differ from the editor drawn with the band on";
}

TEST(StripsWindow, TurningAStripKnobIsAutomationInsideAGesture) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    std::string error;
    ASSERT_TRUE(tool::setEditorPreference(*host.plugin, "Layout", "BandStrips", 2, error)) << error;  // "Knobs"
    switchBand(*host.plugin, true);
    const Picture expected = snapshot(*host.plugin);

    // The first strip's gain knob: the strips sit under the graph area (16:9
    // of the width) and the keyboard, the first strip after the labels column.
    const int stripsTop = expected.width * 9 / 16 + gui::kKeyboardHeight;
    const gui::StripPlacement p = gui::placeStrip(gui::stripFlagsFrom(kStripFlags), gui::kStripWidth,
                                                  expected.height - stripsTop, 1 | 2 | 4 | 8);
    const int x = (p.rows[0].knob.left + p.rows[0].knob.right) / 2;
    const int y = stripsTop + (p.rows[0].knob.top + p.rows[0].knob.bottom) / 2;
    // The knob is there: its picture changes with the band's gain.
    host.plugin->setParameter(bandParam(kBand, kBandGain), 1.f);
    const Picture turned = snapshot(*host.plugin);
    host.plugin->setParameter(bandParam(kBand, kBandGain), 0.5f);
    int changedAtKnob = 0;
    for (int yy = y - 15; yy < y + 15; ++yy)
        for (int xx = x - 15; xx < x + 15; ++xx) changedAtKnob += turned.at(xx, yy) != expected.at(xx, yy);
    ASSERT_GT(changedAtKnob, 20) << "no knob at (" << x << ", " << y << ")";

    ASSERT_TRUE(host.open());
    ASSERT_TRUE(host.idleUntil([&] { return differences(host.capture(), expected) == 0; }));
    host.plugin->clearCalls();
    const int gain = bandParam(kBand, kBandGain);
    ASSERT_TRUE(host.window->press(x, y));
    host.idleUntil([] { return false; }, 100);
    ASSERT_TRUE(host.window->moveTo(x, y - 30));
    host.idleUntil([] { return false; }, 100);
    ASSERT_TRUE(host.window->release());
    EXPECT_TRUE(host.idleUntil([&] { return gestureOn(host.plugin->calls(), gain); }));
    EXPECT_GT(host.plugin->getParameter(gain), 0.55f) << "dragged up: more gain";
    // The wheel over the knob is a gesture of its own.
    host.plugin->clearCalls();
    ASSERT_TRUE(host.window->click(x, y, 5));
    EXPECT_TRUE(host.idleUntil([&] { return gestureOn(host.plugin->calls(), gain); }));
}

}  // namespace
}  // namespace hm::test
