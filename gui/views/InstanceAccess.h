#pragma once
// What the band views ask of the editor besides value texts: the instance,
// for queries only (real values with the instance's adjustments, group names,
// the MIDI frequency factor, the sample rate, the editor preferences). Views
// change the instance only through the editor's value-change path. The editor
// (the listener of every control) implements iEditorInstance; a view finds it
// through its listener. Without one (a tree built for a picture or a test that
// brings no instance) the views fall back to the parameter model's static table.
namespace hm {
class Plug;
}

namespace hm::gui {

class CControlListener;

class iEditorInstance {
public:
    virtual ~iEditorInstance() = default;
    virtual Plug* editorInstance() = 0;
};

// The listener's instance, or null. UI thread.
Plug* instanceOf(CControlListener* listener);

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
