#pragma once
// The graph's preferences packed into two words (each field holds the index of
// the chosen item of its preference) and the meter flags word.
#include <cstdint>

namespace hm::prefs {
class EditorPreferences;
}

namespace hm::gui {

struct GraphFlags {
    std::uint32_t flags1 = 0;
    std::uint32_t flags2 = 0;
};

GraphFlags packGraphFlags(const prefs::EditorPreferences& preferences);

// "Meter Peak/Hold" index * 4 + "Scale" index.
int packMeterFlags(const prefs::EditorPreferences& preferences);
// "FS" 0, "K-12" 12, "K-14" 14, "K-20" 20 dB.
int meterScaleOffsetDb(int scaleIndex);

// Analyser "Decay": "Instant", "Fast", "Med", "Slow".
double analyserDecay(int decayIndex);

// "Refresh Rate" index into 10, 20, 30, 50 passes a second.
int refreshRateOf(int index);

// "MouseWheel Sensitivity": "Broad" 4, "Med" 1, "Fine" 0.1.
float wheelSensitivity(int index);

// "Slider Labels": "Off" 2, "Hover" 5, "On" 0.
int sliderLabelMode(int index);

}  // namespace hm::gui
