#include "gui/views/ParameterText.h"

#include "core/params/Conversion.h"
#include "core/params/ParamFormat.h"
#include "core/params/ParamIds.h"
#include "core/params/ParamTable.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

iParameterText* parameterTextSource(CControlListener* listener) {
    return dynamic_cast<iParameterText*>(listener);
}

std::string parameterDisplayText(CControlListener* listener, int tag, float normalised, bool noteNames) {
    if (iParameterText* source = parameterTextSource(listener))
        return source->parameterText(tag, normalised, noteNames);
    if (tag < 0 || tag >= kNumParams) return {};
    const ParamRecord& record = staticParamTable()[static_cast<std::size_t>(tag)];
    const double real = normalisedToRealBase(record.kind, record.minimum, record.maximum, normalised);
    char text[64];
    formatParameterText(tag, record, real, noteNames ? kFormatNoteNames : 0, NumberFormat::Precise, true, text,
                        sizeof text);
    return text;
}

float parameterDefaultValue(int tag) {
    if (tag < 0 || tag >= kNumParams) return 0.f;
    return staticParamTable()[static_cast<std::size_t>(tag)].normalised;
}

void reportUnderTag(CControl* control, int tag, float value) {
    CControlListener* listener = control ? control->getListener() : nullptr;
    if (!listener) return;
    const int ownTag = control->getTag();
    const float ownValue = control->getValue();
    // The base setter only: a control's own setter may redraw its text for the value.
    control->setTag(tag);
    control->CControl::setValue(value);
    listener->valueChanged(control);
    control->setTag(ownTag);
    control->CControl::setValue(ownValue);
}

namespace {
void editUnderTag(CControl* control, int tag, bool begin) {
    CControlListener* listener = control ? control->getListener() : nullptr;
    if (!listener || tag < 0) return;
    const int ownTag = control->getTag();
    control->setTag(tag);
    if (begin) listener->controlBeginEdit(control);
    else listener->controlEndEdit(control);
    control->setTag(ownTag);
}
}  // namespace

void beginEditUnderTag(CControl* control, int tag) { editUnderTag(control, tag, true); }
void endEditUnderTag(CControl* control, int tag) { editUnderTag(control, tag, false); }

}  // namespace hm::gui
