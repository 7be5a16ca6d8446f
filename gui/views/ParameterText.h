#pragma once
// What value controls ask the editor: the display text of a parameter or
// editor tag, and the reading of typed text. The editor (the listener of
// every control) implements iParameterText; a control finds it through its
// listener. Without one (a tree built for a picture or a test) the texts come
// from the parameter model's static table.
#include <string>
#include <string_view>

namespace hm::gui {

class CControl;
class CControlListener;

class iParameterText {
public:
    virtual ~iParameterText() = default;
    // Text shown for `tag` at the normalised value (frequencies as note names
    // when asked). Editor tags with text of their own (the instance name)
    // return that text whatever the value.
    virtual std::string parameterText(int tag, float normalised, bool noteNames) = 0;
    // Reads typed text and applies it as an automated change. False when the
    // text was refused: nothing changed, and textRefusal() says why in a few
    // words a field can show.
    virtual bool setParameterFromText(int tag, std::string_view text, bool noteMode) = 0;
    virtual std::string textRefusal() { return {}; }
    // The parameter's current normalised value, as the editor holds it.
    virtual float parameterValue(int tag) = 0;
};

// The listener's iParameterText, or null.
iParameterText* parameterTextSource(CControlListener* listener);

// Display text through the listener, or from the static parameter table
// (real value from the normalised one, no instance adjustments); "" for tags
// that are not parameters when there is no source.
std::string parameterDisplayText(CControlListener* listener, int tag, float normalised, bool noteNames);

// The parameter model's default normalised value of a parameter (0 for tags
// that are not parameters).
float parameterDefaultValue(int tag);

// Tells the control's listener of `value` under `tag` (band selection
// traffic): the listener reads tag and value from the control as usual; both
// are put back afterwards. UI thread.
void reportUnderTag(CControl* control, int tag, float value);
// The begin and end of an edit gesture of `tag`, told through the control's
// listener in the same way (views that edit band parameters they do not carry).
void beginEditUnderTag(CControl* control, int tag);
void endEditUnderTag(CControl* control, int tag);

// A gesture on `tag` told through the control's listener as if the control
// carried that tag: begin edit, end edit, and a whole edit (begin, value,
// end). The listener hears every call (no nesting count). UI thread.
void beginEditUnderTag(CControl* control, int tag);
void endEditUnderTag(CControl* control, int tag);
void editUnderTag(CControl* control, int tag, float value);

}  // namespace hm::gui
