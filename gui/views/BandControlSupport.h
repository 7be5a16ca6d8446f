#pragma once
// What the band value controls (CEQKnob, CEQText) share: the band selection
// traffic, the wheel rule and the right-button drag.
#include "gui/framework/CControl.h"

namespace hm::gui {

// Tells the listener that one of the band's own controls was pressed, under
// kGUIBandPressed with the band as the value; nothing for band < 0. Hovering
// tells nothing: passing over a strip must not change what an edit reaches.
void reportBandPress(CControl* control, int band);

// One wheel movement: value += wheel increment × notches × 0.01 (a tenth of
// that with the fine role), clamped, reported inside its own begin/end edit.
// False when the distance is no usable number.
bool bandWheelStep(CControl* control, float distance, int buttons);

// Sets the control's default value and reports it inside a begin/end edit.
void resetToDefault(CControl* control);

// A right-button drag behaves as a fine left-button drag.
int remapRightDrag(int buttons);

// The reset role held on a left click (a double click alone does not count).
bool resetOrActionClick(int buttons);

struct ViewRequest;
// The layout's `band` attribute (0..31); −1 when absent (not linked to a band).
int bandAttribute(const ViewRequest& request);

}  // namespace hm::gui
