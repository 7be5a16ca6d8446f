#include "gui/views/ViewValues.h"

#include "core/Plug.h"
#include "core/params/Conversion.h"
#include "core/params/ParamTable.h"
#include "gui/framework/CControl.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

float currentParameterValue(CControlListener* listener, int tag) {
    if (!isParam(tag)) return 0.f;
    if (Plug* plug = instanceOf(listener)) return plug->getParameter(tag);
    if (iParameterText* source = parameterTextSource(listener)) return source->parameterValue(tag);
    return parameterDefaultValue(tag);
}

double baseRealValue(int tag, float normalised) {
    if (!isParam(tag)) return 0.0;
    const ParamRecord& record = staticParamTable()[static_cast<std::size_t>(tag)];
    return normalisedToRealBase(record.kind, record.minimum, record.maximum, normalised);
}

float baseNormalisedValue(int tag, double real) {
    if (!isParam(tag)) return 0.f;
    const ParamRecord& record = staticParamTable()[static_cast<std::size_t>(tag)];
    return static_cast<float>(realToNormalisedBase(record.kind, record.minimum, record.maximum, real));
}

}  // namespace hm::gui
