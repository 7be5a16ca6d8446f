// The editor window's size from "UI Size" and the layout preferences, and the
// rule that a new size waits for the next idle pass.
#include "gui/editor/WindowSize.h"
#include "prefs/EditorPreferences.h"
#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

constexpr int kMeters = 70;  // meter section width given to the rule
constexpr int kStrips = 150;  // strips height given to the rule

struct SizeCase {
    const char* what;
    int uiSize;
    int flags;
    bool wizard, setup;
    int width, height;
};

TEST(EditorWindow, SizeFollowsUiSizeAndLayout) {
    const int G = kLayoutGraph, S = kLayoutStrips, M = kLayoutMasterMeters, C = kLayoutChannelMeters;
    const int K = kLayoutKeyboard, BG = kLayoutMetersByGraph;
    const SizeCase cases[] = {
        // Graph only: 16:9 of the width (truncated), title bar included.
        {"tiny", 0, G, false, false, 555, 312},
        {"small", 1, G, false, false, 650, 365},
        {"med", 2, G, false, false, 750, 421},
        {"large", 3, G, false, false, 1100, 618},
        {"huge", 4, G, false, false, 1300, 731},
        // Meters beside the graph widen the window when nothing else holds them.
        {"graph+master", 2, G | M, false, false, 750 + kMeters, 421},
        {"graph+channel", 0, G | C, false, false, 555 + kMeters, 312},
        {"graph+strips+meters by graph", 2, G | S | M | BG, false, false, 750 + kMeters, 421 + kStrips},
        // Meters by the strips: the strips' part is at least 280 pixels.
        {"graph+strips+meters by knobs", 2, G | S | M, false, false, 750, 421 + 280},
        {"graph+strips", 2, G | S, false, false, 750, 421 + kStrips},
        {"strips only", 2, S, false, false, 750, 25 + kStrips},
        {"strips+meters without graph", 3, S | C | BG, false, false, 1100, 25 + 280},
        {"keyboard", 2, G | K, false, false, 750, 421 + 40},
        {"everything by knobs", 4, G | S | M | C | K, false, false, 1300, 731 + 280 + 40},
        // The wizard's window is fixed; the setup window needs at least its size.
        {"wizard", 4, G | S | M | K, true, false, 632, 428},
        {"setup on tiny", 0, G, false, true, 632, 428},
        {"setup on huge", 4, G, false, true, 1300, 731},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        WindowSizeInput in;
        in.uiSize = c.uiSize;
        in.layoutFlags = c.flags;
        in.meterSectionWidth = kMeters;
        in.stripsHeight = kStrips;
        in.wizardOpen = c.wizard;
        in.setupOpen = c.setup;
        const WindowSize s = computeWindowSize(in);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
    }
}

TEST(EditorWindow, TallStripsKeepTheirHeightBesideMeters) {
    WindowSizeInput in;
    in.uiSize = 2;
    in.layoutFlags = kLayoutGraph | kLayoutStrips | kLayoutMasterMeters;
    in.meterSectionWidth = kMeters;
    in.stripsHeight = 300;
    EXPECT_EQ(computeWindowSize(in).height, 421 + 300);
}

TEST(EditorWindow, LayoutFlagsComeFromTheLayoutAndStripPreferences) {
    prefs::EditorPreferences p = prefs::EditorPreferences::fromResources();
    struct Pref {
        const char* page;
        const char* name;
        int value;
    };
    const Pref settings[] = {
        {"Layout", "Graph", 1},          {"Layout", "BandStrips", 1},     {"Layout", "Channel Meters", 1},
        {"Layout", "Master Meters", 1},  {"Layout", "Meter Position", 1}, {"Layout", "Keyboard", 0},
        {"Layout", "Scale Tray", 1},     {"BandStrips", "Subtype", 0},    {"BandStrips", "Groups", 1},
        {"BandStrips", "Extra", 0},      {"BandStrips", "Number", 1},     {"BandStrips", "Labels", 0},
        {"BandStrips", "Subtype menu", 1},
    };
    for (const Pref& s : settings) ASSERT_TRUE(p.setUIPreference(s.page, s.name, s.value)) << s.name;
    EXPECT_EQ(layoutFlagsFrom(p), kLayoutGraph | kLayoutStrips | kLayoutStripsText | kLayoutChannelMeters |
                                      kLayoutMasterMeters | kLayoutMasterMetersSmall | kLayoutMetersByGraph |
                                      kLayoutScaleTray | kLayoutStripGroups | kLayoutStripNumber |
                                      kLayoutStripSubtypeMenu);
    // "Knobs" strips and "Large" master meters clear the Text and Small bits.
    p.setUIPreference("Layout", "BandStrips", 2);
    p.setUIPreference("Layout", "Master Meters", 2);
    p.setUIPreference("Layout", "Graph", 0);
    const int flags = layoutFlagsFrom(p);
    EXPECT_FALSE(flags & (kLayoutStripsText | kLayoutMasterMetersSmall | kLayoutGraph));
    EXPECT_TRUE(flags & kLayoutStrips);
    EXPECT_TRUE(flags & kLayoutMasterMeters);
}

TEST(EditorWindow, NewUiSizeWaitsForTheNextIdlePass) {
    EditorRig rig;
    ASSERT_TRUE(rig.editor->isOpen());
    rig.plug->editorPreferenceTree().setUIPreference("Layout", "UI Size", 3);  // "Large"
    const int before = rig.editor->windowWidth();
    rig.clearCalls();
    rig.change(kGUIUIPrefsChange, 1.f);
    EXPECT_EQ(rig.editor->uiSize(), 3);
    EXPECT_NE(rig.editor->appliedUiSize(), 3);
    EXPECT_EQ(rig.editor->windowWidth(), before);
    EXPECT_EQ(rig.window()->width(), before);

    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->appliedUiSize(), 3);
    EXPECT_EQ(rig.editor->windowWidth(), rig.editor->currentWindowSize().width);
    EXPECT_EQ(rig.window()->width(), rig.editor->windowWidth());
    EXPECT_GE(rig.editor->windowWidth(), 1100);
}

TEST(EditorWindow, HostHearsOfEveryNewSize) {
    EditorRig rig(2, false);
    // A window-less frame never asks the host; a host's window does (tests/window).
    ASSERT_TRUE(rig.editor->openHeadless());
    vst::ERect* rect = nullptr;
    ASSERT_TRUE(rig.editor->getRect(&rect));
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, rig.editor->currentWindowSize().width);
    EXPECT_EQ(rect->bottom - rect->top, rig.editor->currentWindowSize().height);
}

}  // namespace
}  // namespace hm::gui::test
