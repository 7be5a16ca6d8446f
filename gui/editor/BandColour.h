#pragma once
// The colour of a band (its type button, its curve and handle in the graph):
// a fully saturated hue picked either by band number or by where the band's
// frequency lies between 10 Hz and half the sample rate.
#include "gui/draw/Geometry.h"

namespace hm::gui {

enum class BandColouring { ByFrequency = 0, ByNumber = 1 };  // "Band Colours": "By Freq", "By Number"

// band: 0..31; frequency: the displayed frequency in Hz.
Rgb bandColour(BandColouring mode, int band, double frequency, double sampleRate);

// Full saturation and value at a hue in degrees (any real number, wrapped).
Rgb hueColour(double hueDegrees);
// The six-sector conversion with saturation and value 0..1 (clamped).
Rgb hsvColour(double hueDegrees, double saturation, double value);

}  // namespace hm::gui
