// Text typed into value fields: the instance name, channel levels in dB, note
// names for frequencies, and plain numbers with the "k" notation.
#include <algorithm>
#include <cmath>
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

bool PlugEd::setParameterFromText(int tag, std::string_view text, bool noteMode) {
    refusal_.clear();
    if (tag == kGUIInstanceName) {
        // setInstanceName tells every instance that the list changed.
        plug_->setInstanceName(std::string(text.substr(0, 31)).c_str());
        return true;
    }
    if (!isParam(tag)) return false;
    char label[64] = {};
    plug_->getParameterLabel(tag, label);
    const bool level = channelFieldOf(tag) == kChannelLevel;
    const bool frequency = std::strcmp(label, "Hz") == 0;
    // Only real units may be typed after a number; the other labels name items.
    const char* unit = level ? "dB" : (frequency || !std::strcmp(label, "dB") || !std::strcmp(label, "%")) ? label : "";
    const TextReading reading = noteMode && frequency ? readNoteText(text) : readValueText(text, unit, frequency);
    if (!reading.value || !std::isfinite(*reading.value)) {
        // Refused: the parameter keeps its value and the host hears nothing.
        refusal_ = reading.value ? "not a value" : reading.refusal;
        return false;
    }
    const double real = level ? std::pow(10.0, *reading.value * 0.05) : *reading.value;
    const double normalised = plug_->realToNormalised(tag, real);
    sendAutomated(tag, static_cast<float>(std::clamp(std::isfinite(normalised) ? normalised : 0.0, 0.0, 1.0)));
    return true;
}

}  // namespace hm::gui
