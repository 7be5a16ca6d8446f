#pragma once
// Parameter values for the band views: from the instance their listener (the
// editor) belongs to (InstanceOf.h), else from the listener's value source,
// else the parameter model's static table (a tree built for a picture or a
// test without an instance). Real values here are the table's base
// conversion, without the instance's shift and scale adjustments.
#include "gui/views/InstanceOf.h"

namespace hm::gui {

class CControlListener;

// A parameter's current normalised value: from the instance, else from the
// listener's value source (ParameterText.h), else the parameter's default.
float currentParameterValue(CControlListener* listener, int tag);

// A band parameter's real value (base conversion, as the table stores it; no
// global shift or scale). Integer fields (State, Type, Subtype, Groups, Slope)
// come out whole.
double baseRealValue(int tag, float normalised);
// And back: the normalised value of a base real value (static table).
float baseNormalisedValue(int tag, double real);

}  // namespace hm::gui
