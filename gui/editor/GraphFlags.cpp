#include "gui/editor/GraphFlags.h"

#include "prefs/EditorPreferences.h"

namespace hm::gui {
namespace {

// One preference index into a field of `bits` bits at `shift`.
std::uint32_t field(int index, int shift, int bits) {
    const std::uint32_t mask = (1u << bits) - 1u;
    return (static_cast<std::uint32_t>(index < 0 ? 0 : index) & mask) << shift;
}

template <class T, int N>
T pick(const T (&table)[N], int index) {
    return table[index < 0 ? 0 : (index >= N ? N - 1 : index)];
}

}  // namespace

GraphFlags packGraphFlags(const prefs::EditorPreferences& p) {
    const auto graph = [&p](const char* name) { return p.getUIPreference("Graph", name); };
    const auto analyser = [&p](const char* name) { return p.getUIPreference("Analyser", name); };
    const auto misc = [&p](const char* name) { return p.getUIPreference("Misc", name); };
    const int handles = graph("Handles");  // "Hide", "Show", "Larger"
    GraphFlags g;
    g.flags1 = field(analyser("Hides EQ"), 0, 1) | field(graph("Display"), 1, 2) |
               field(graph("Filled Bands"), 3, 1) | field(handles == 0 ? 1 : 0, 4, 1) |
               field(graph("Readout"), 5, 2) | field(analyser("Opacity"), 7, 2) | field(analyser("Range"), 9, 2) |
               field(graph("Frequency Labels"), 11, 1) | field(misc("Inverted Q"), 12, 1) |
               field(analyser("Tilt"), 13, 2) | field(analyser("Smoothing"), 15, 2) |
               field(analyser("Colour"), 17, 1) | field(graph("Background"), 18, 2) |
               field(graph("Scrollbar"), 20, 1) | field(graph("Tooltips"), 21, 2) |
               field(graph("Crosshairs"), 23, 1) | field(misc("Swap Alt/Right"), 24, 1) |
               field(analyser("Display"), 25, 2) | field(graph("Filter Drags"), 27, 1) |
               field(analyser("Top"), 28, 2) | field(graph("Band Numbers"), 30, 1);
    g.flags2 = field(misc("New Band Types"), 0, 2) | field(analyser("Curves"), 2, 2) |
               field(graph("Band Colours"), 4, 1) | field(graph("Mousewheel Zoom"), 5, 1) |
               field(graph("New Band Q Follows Zoom"), 6, 1) | field(graph("Right-Click"), 7, 2) |
               field(graph("Sticky Selection"), 9, 1) | field(graph("MouseWheel Ctrl"), 10, 1) |
               field(handles == 2 ? 1 : 0, 11, 1) | field(graph("Tooltip type menu"), 13, 1) |
               field(graph("Tooltip for Subtype"), 14, 1) | field(analyser("Saturation"), 15, 2) |
               field(graph("Band Opacity"), 17, 2) | field(graph("BG Fade"), 19, 2);
    return g;
}

int packMeterFlags(const prefs::EditorPreferences& p) {
    return p.getUIPreference("Meters", "Meter Peak/Hold") * 4 + p.getUIPreference("Meters", "Scale");
}

int meterScaleOffsetDb(int scaleIndex) {
    static constexpr int kOffsets[] = {0, 12, 14, 20};
    return pick(kOffsets, scaleIndex);
}

double analyserDecay(int decayIndex) {
    static constexpr double kDecay[] = {0.0, 0.9, 0.99, 0.999};
    return pick(kDecay, decayIndex);
}

int refreshRateOf(int index) {
    static constexpr int kRates[] = {10, 20, 30, 50};
    return pick(kRates, index);
}

float wheelSensitivity(int index) {
    static constexpr float kSensitivity[] = {4.f, 1.f, 0.1f};
    return pick(kSensitivity, index);
}

int sliderLabelMode(int index) {
    static constexpr int kModes[] = {2, 5, 0};
    return pick(kModes, index);
}

}  // namespace hm::gui
