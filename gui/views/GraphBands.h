#pragma once
// The bands as the graph shows them, read from the instance in one pass: the
// user-facing fields (State, Groups, Type, real gain and frequency) and the
// filter engine's settings the curves are designed from. A band belongs to
// channel view c when bit (7 − c) of its Groups mask is set; it is shown when
// it is in use (State not 0) and belongs to one of the two views.
#include <cstdint>

#include "core/params/ParamIds.h"
#include "dsp/AnalogSection.h"

namespace hm {
class Plug;
}

namespace hm::gui::graph {

inline constexpr int kGraphBands = kNumBands;

struct GraphBand {
    int state = 0;      // 0 off, 1 bypassed, 2 active
    int groups = 0;     // 8-bit mask, group 1 in the top bit
    int type = 1;       // Type parameter: 1 peak, 2 HPF, 3 LSh, 4 HSh, 5 LPF, 6 notch
    int subtype = 0;    // 0-based item of the type's subtype list
    double gain = 0.0;  // real dB (stored gain × Scale); 0 for the pass types
    double frequency = 1000.0;  // real Hz: the centre the filter itself uses
    int controlMask = 0;        // which controls the filter offers (dsp ControlBits)
    dsp::BandSettings settings;  // what the curve is designed from (enabled)
};

struct BandSet {
    GraphBand bands[kGraphBands];
    double sampleRate = 44100.0;
    int parallelMode = 0;  // "Parallel": 0 off, 1 peaks, 2 peaks and shelves
};

bool inView(const GraphBand& band, int view);
// In use and in one of the two views.
bool isShown(const GraphBand& band, int primaryView, int secondaryView);

// UI thread: the instance's parameters as they stand.
void readBands(Plug& plug, BandSet& out);

// The Type label of the value panel: "Peak", "HPF", "LSh", "HSh", "LPF", "Ntch".
const char* typeLabel(int type);

}  // namespace hm::gui::graph
