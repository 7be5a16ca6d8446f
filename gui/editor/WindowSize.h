#pragma once
// The editor window's size: a width per "UI Size", a graph area of 16:9 below
// the title bar, then whatever the "Layout" and "BandStrips" preferences add
// (meters beside the graph, band strips, keyboard). The preferences arrive as
// one bit set, `layoutFlags`; a change of it re-places the views (relayout).
#include "gui/draw/Geometry.h"

namespace hm::prefs {
class EditorPreferences;
}

namespace hm::gui {

enum LayoutFlag : int {
    kLayoutGraph = 0x1,
    kLayoutStrips = 0x2,
    kLayoutChannelMeters = 0x4,
    kLayoutMasterMeters = 0x8,
    kLayoutMasterMetersSmall = 0x10,
    kLayoutStripsText = 0x20,
    kLayoutStripSubtype = 0x40,
    kLayoutStripGroups = 0x80,
    kLayoutStripExtra = 0x100,
    kLayoutStripNumber = 0x200,
    kLayoutStripLabels = 0x400,
    kLayoutKeyboard = 0x800,
    kLayoutMetersByGraph = 0x1000,
    kLayoutScaleTray = 0x2000,
    kLayoutStripSubtypeMenu = 0x4000,
};

constexpr int kTitleBarHeight = 25;
constexpr int kKeyboardHeight = 40;
// The wizard's window, and the least the setup window needs.
constexpr int kWizardWidth = 632;
constexpr int kWizardHeight = 428;
// With meters beside them, strips keep at least this height for the meters.
constexpr int kMinStripsWithMeters = 280;

// Window width of a "UI Size" index ("Tiny" .. "Huge", clamped into the table).
int uiSizeWidth(int uiSize);

// The flags the "Layout" and "BandStrips" preference pages give.
int layoutFlagsFrom(const prefs::EditorPreferences& preferences);

inline bool metersShown(int flags) { return (flags & (kLayoutChannelMeters | kLayoutMasterMeters)) != 0; }
// Whether the meter section sits beside the graph (else beside the strips).
inline bool metersBesideGraph(int flags) {
    return (flags & kLayoutGraph) && (!(flags & kLayoutStrips) || (flags & kLayoutMetersByGraph));
}

struct WindowSizeInput {
    int uiSize = 2;
    int layoutFlags = 0;
    int meterSectionWidth = 0;  // what the meter section needs for the instance's channels
    int stripsHeight = 0;       // what the band strips need with the current flags
    bool wizardOpen = false;
    bool setupOpen = false;
};

struct WindowSize {
    int width = 0;
    int height = 0;
    int graphHeight = 0;  // the graph area without the title bar (0 when hidden)
    bool operator==(const WindowSize&) const = default;
};

WindowSize computeWindowSize(const WindowSizeInput& in);

}  // namespace hm::gui
