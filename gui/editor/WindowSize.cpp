#include "gui/editor/WindowSize.h"

#include <algorithm>

#include "gui/layout/ShippedLayout.h"
#include "prefs/EditorPreferences.h"

namespace hm::gui {

int uiSizeWidth(int uiSize) { return kUiSizeWidths[std::clamp(uiSize, 0, kUiSizeCount - 1)]; }

int layoutFlagsFrom(const prefs::EditorPreferences& p) {
    const auto layout = [&p](const char* name) { return p.getUIPreference("Layout", name); };
    const auto strip = [&p](const char* name) { return p.getUIPreference("BandStrips", name) != 0; };
    int flags = 0;
    if (layout("Graph") != 0) flags |= kLayoutGraph;
    const int strips = layout("BandStrips");  // "Hide", "Text", "Knobs"
    if (strips != 0) flags |= kLayoutStrips;
    if (strips == 1) flags |= kLayoutStripsText;
    if (layout("Channel Meters") != 0) flags |= kLayoutChannelMeters;
    const int master = layout("Master Meters");  // "Hide", "Small", "Large"
    if (master != 0) flags |= kLayoutMasterMeters;
    if (master == 1) flags |= kLayoutMasterMetersSmall;
    if (strip("Subtype")) flags |= kLayoutStripSubtype;
    if (strip("Groups")) flags |= kLayoutStripGroups;
    if (strip("Extra")) flags |= kLayoutStripExtra;
    if (strip("Number")) flags |= kLayoutStripNumber;
    if (strip("Labels")) flags |= kLayoutStripLabels;
    if (layout("Keyboard") != 0) flags |= kLayoutKeyboard;
    if (layout("Meter Position") == 1) flags |= kLayoutMetersByGraph;
    if (layout("Scale Tray") != 0) flags |= kLayoutScaleTray;
    if (strip("Subtype menu")) flags |= kLayoutStripSubtypeMenu;
    return flags;
}

WindowSize computeWindowSize(const WindowSizeInput& in) {
    if (in.wizardOpen) return {kWizardWidth, kWizardHeight, 0};
    const int flags = in.layoutFlags;
    WindowSize s;
    s.width = uiSizeWidth(in.uiSize);
    s.height = s.width * 9 / 16;  // the graph area with the title bar
    s.graphHeight = (flags & kLayoutGraph) ? s.height - kTitleBarHeight : 0;
    if (metersBesideGraph(flags) && metersShown(flags)) s.width += in.meterSectionWidth;
    if (flags & kLayoutStrips) {
        if (!(flags & kLayoutGraph)) s.height = kTitleBarHeight;
        int strips = in.stripsHeight;
        const bool metersByStrips = metersShown(flags) && !metersBesideGraph(flags);
        if (metersByStrips) strips = std::max(strips, kMinStripsWithMeters);
        s.height += strips;
    }
    if (flags & kLayoutKeyboard) s.height += kKeyboardHeight;
    if (in.setupOpen) {
        s.width = std::max(s.width, kWizardWidth);
        s.height = std::max(s.height, kWizardHeight);
    }
    return s;
}

}  // namespace hm::gui
