#pragma once
// What band views show of a band, read through the editor: its frequency as
// the user sees it and its colour (the same colour the graph gives it).
#include "gui/draw/Geometry.h"

namespace hm::gui {

class CControlListener;

// The band's frequency in Hz after the global shift and the MIDI factor
// (the parameter's default without an instance).
double bandDisplayFrequency(CControlListener* listener, int band);

// The band's colour by the "Band Colours" preference (by number without an instance).
Rgb bandDisplayColour(CControlListener* listener, int band);

// The band's State as a whole number: 0 off, 1 bypassed, 2 on.
int bandState(CControlListener* listener, int band);

}  // namespace hm::gui
