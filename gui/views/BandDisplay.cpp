#include "gui/views/BandDisplay.h"

#include <cmath>

#include "core/Plug.h"
#include "gui/editor/BandColour.h"
#include "gui/views/ViewValues.h"

namespace hm::gui {

double bandDisplayFrequency(CControlListener* listener, int band) {
    const int tag = bandParam(band, kBandFrequency);
    if (Plug* plug = instanceOf(listener)) return plug->normalisedToReal(tag, plug->getParameter(tag));
    return baseRealValue(tag, currentParameterValue(listener, tag));
}

Rgb bandDisplayColour(CControlListener* listener, int band) {
    Plug* plug = instanceOf(listener);
    if (!plug) return bandColour(BandColouring::ByNumber, band, 0.0, 44100.0);
    const auto mode = plug->editorPreferenceTree().getUIPreference("Graph", "Band Colours") != 0
                          ? BandColouring::ByNumber
                          : BandColouring::ByFrequency;
    return bandColour(mode, band, bandDisplayFrequency(listener, band), plug->getSampleRate());
}

int bandState(CControlListener* listener, int band) {
    const int tag = bandParam(band, kBandState);
    return static_cast<int>(baseRealValue(tag, currentParameterValue(listener, tag)));
}

}  // namespace hm::gui
