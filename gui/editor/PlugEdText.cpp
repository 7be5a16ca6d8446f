// Text typed into value fields: the instance name, channel levels in dB, note
// names for frequencies, and plain numbers with the "k" notation.
#include <cstring>
#include <string>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "gui/editor/PlugEd.h"
#include "gui/editor/TextEntry.h"

namespace hm::gui {

void PlugEd::setParameterFromText(int tag, const char* text, bool noteMode) {
    if (!text) return;
    if (tag == kGUIInstanceName) {
        // setInstanceName tells every instance that the list changed.
        plug_->setInstanceName(std::string(text).substr(0, 31).c_str());
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
