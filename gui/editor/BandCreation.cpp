#include "gui/editor/BandCreation.h"

#include <algorithm>

#include "core/Plug.h"
#include "gui/framework/CControl.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
// New bands get the full per-band phase of the FIR "Free" mode.
constexpr float kNewBandPhase = 1.f;
}  // namespace

int firstFreeBand(CControl& via) {
    Plug* plug = instanceOf(via.getListener());
    if (!plug) return -1;
    for (int b = 0; b < kNumBands; ++b)
        if (plug->getParameterReal(bandParam(b, kBandState)) == 0.0) return b;
    return -1;
}

int createBand(CControl& via, const NewBandSettings& s) {
    Plug* plug = instanceOf(via.getListener());
    const int band = firstFreeBand(via);
    if (!plug || band < 0) return -1;
    const auto tag = [band](int field) { return bandParam(band, field); };
    const auto normalised = [plug](int t, double real) {
        return static_cast<float>(std::clamp(plug->realToNormalised(t, real), 0.0, 1.0));
    };
    // Groups 0 stands for the group menu's default: the editor puts in the
    // group of the view in front.
    editUnderTag(&via, tag(kBandGroups), 0.f);
    editUnderTag(&via, tag(kBandType), normalised(tag(kBandType), std::clamp(s.type, 1, 6)));
    editUnderTag(&via, tag(kBandSubtype), 0.f);
    editUnderTag(&via, tag(kBandGain), normalised(tag(kBandGain), s.gainDb));
    editUnderTag(&via, tag(kBandFrequency), normalised(tag(kBandFrequency), s.frequency));
    editUnderTag(&via, tag(kBandQ), normalised(tag(kBandQ), s.q));
    editUnderTag(&via, tag(kBandShift), plug->getParameterDefault(tag(kBandShift)));
    editUnderTag(&via, tag(kBandSlope), plug->getParameterDefault(tag(kBandSlope)));
    editUnderTag(&via, tag(kBandPhase), kNewBandPhase);
    reportUnderTag(&via, kGUIReloadFreqDefault, static_cast<float>(band));
    editUnderTag(&via, tag(kBandState), normalised(tag(kBandState), 2.0));
    return band;
}

}  // namespace hm::gui
