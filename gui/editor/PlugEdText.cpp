// Text typed into value fields: the instance name, channel levels in dB, note
// names for frequencies, and plain numbers with the "k" notation.
#include <cstring>
#include <string>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "core/params/ParamFormat.h"
#include "gui/editor/PlugEd.h"
#include "gui/editor/TextEntry.h"

namespace hm::gui {

std::string PlugEd::parameterText(int tag, float normalised, bool noteNames) {
    if (tag == kGUIInstanceName) return plug_->instanceName();
    if (!isParam(tag)) return {};
    char text[64] = {};
    plug_->formatParameterValue(tag, normalised, text, noteNames ? kFormatNoteNames : 0);
    return text;
}

float PlugEd::parameterValue(int tag) {
    if (isParam(tag)) return plug_->getParameter(tag);
    return tag >= 0 && tag < kEditorValueSlots ? paramValues_[tag].load(std::memory_order_relaxed) : 0.f;
}

void PlugEd::setParameterFromText(int tag, std::string_view text, bool noteMode) {
    if (tag == kGUIInstanceName) {
        // setInstanceName tells every instance that the list changed.
        plug_->setInstanceName(std::string(text.substr(0, 31)).c_str());
        return;
    }
    if (!isParam(tag)) return;
    float normalised;
    if (channelFieldOf(tag) == kChannelLevel) {
        const auto gain = parseLevelText(text);
        normalised = gain ? static_cast<float>(plug_->realToNormalised(tag, *gain)) : 0.f;
    } else if (noteMode) {
        const auto frequency = parseNoteFrequency(text);
        if (!frequency) return;
        normalised = static_cast<float>(plug_->realToNormalised(tag, *frequency));
    } else {
        const auto value = parseValueText(text);
        normalised = value ? static_cast<float>(plug_->realToNormalised(tag, *value)) : plug_->getParameterDefault(tag);
    }
    sendAutomated(tag, normalised);
}

}  // namespace hm::gui
