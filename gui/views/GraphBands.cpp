#include "gui/views/GraphBands.h"

#include <algorithm>
#include <cmath>

#include "core/BandMapping.h"
#include "core/Plug.h"
#include "dsp/VerdanseEQ.h"

namespace hm::gui::graph {
namespace {

int whole(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

bool inView(const GraphBand& band, int view) {
    return view >= 0 && view < 8 && ((band.groups >> (7 - view)) & 1) != 0;
}

bool isShown(const GraphBand& band, int primaryView, int secondaryView) {
    return band.state != 0 && (inView(band, primaryView) || inView(band, secondaryView));
}

void readBands(Plug& plug, BandSet& out) {
    // Base (stored) real values: Scale and the frequency shift are applied by the
    // same mapping the filter-bank update uses, so the curves show what plays.
    const double scale = plug.getParameterReal(kScale);
    const double shift = plug.getParameterReal(kFShift) * 0.01 * plug.frequencyMultiplier();
    out.sampleRate = plug.getSampleRate() > 0.f ? plug.getSampleRate() : 44100.0;
    out.parallelMode = whole(plug.getParameterReal(kParallel));
    for (int b = 0; b < kGraphBands; ++b) {
        double fields[kParamsPerBand];
        for (int f = 0; f < kParamsPerBand; ++f) fields[f] = plug.getParameterReal(bandParam(b, f));
        GraphBand& g = out.bands[b];
        g.state = std::clamp(whole(fields[kBandState]), 0, 2);
        g.groups = whole(fields[kBandGroups]) & 0xFF;
        g.type = std::clamp(whole(fields[kBandType]), 1, 6);
        g.settings = engineBandSettings(fields, scale, shift);
        g.subtype = g.settings.subtype;
        g.gain = g.settings.gain;
        g.frequency = g.settings.frequency;
        g.controlMask = dsp::controlMaskFor(g.settings.type, g.settings.subtype);
    }
}

const char* typeLabel(int type) {
    static constexpr const char* kLabels[] = {"Peak", "HPF", "LSh", "HSh", "LPF", "Ntch"};
    return kLabels[std::clamp(type, 1, 6) - 1];
}

}  // namespace hm::gui::graph
