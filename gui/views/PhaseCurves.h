#pragma once
// The phase the phase graph shows, per pixel column, from the bands' analogue
// prototypes (the filter engine's own prototype builder and section
// evaluation). Series bands multiply; bands the "Parallel" mode sums add H − 1
// to the dry path; the total is the series product times that sum. With the
// FIR's "Free" phase each series band's phase is scaled by its own Phase
// setting (−1..1), as the impulse builder scales it; parallel bands keep theirs.
// Phases are in turns, −0.5..0.5 (atan2 ÷ 2π).
#include <vector>

#include "gui/views/GraphBands.h"

namespace hm::gui::phase {

struct BandCurve {
    int band = -1;
    std::vector<float> turns;  // the band's own phase per column
    float centre = 0.f;        // the band's own phase at its centre frequency
};

struct PhaseCurves {
    std::vector<float> total;      // per column
    std::vector<BandCurve> bands;  // the active bands (State 2) of the view, in band order
};

// Every active band (State 2) of channel view `view` at the column frequencies `hz`.
void computePhaseCurves(const graph::BandSet& set, int view, bool freePhase, const std::vector<double>& hz,
                        PhaseCurves& out);

// A band's own phase (turns) at one frequency, as the curves show it.
float bandPhaseAt(const graph::BandSet& set, int band, bool freePhase, double hz);

}  // namespace hm::gui::phase
