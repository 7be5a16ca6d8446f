#pragma once
// The bands of a preset as parametric EQ text: the output Gain as Preamp, a
// channel's Level as a Preamp under a Channel line of its own. Every band in use (on, or
// bypassed: written OFF) is taken apart into its analogue sections, exactly as
// the filter engine builds them, and each section becomes the textbook filter
// with the same analogue response: a peaking section a PK, a second-order shelf
// whose zeros and poles share one Q an LSC/HSC with its midpoint as Fc, a
// first-order shelf an LSC/HSC 6dB, resonant low-/high-pass, notch and all-pass
// sections LPQ, HPQ, NO and AP. A band may so become several filters (a 24 dB
// per octave Butterworth low-pass is two LPQ). Bands with a section no textbook
// filter has (odd pass orders, elliptic and circuit-model shapes, tilts, shelves
// with a shift), bands summed in parallel, and bands acting on the mid or side
// signal alone are left out and named. Pure functions; any thread.
#include <string>
#include <vector>

#include "core/peq/PeqMapping.h"

namespace hm::peq {

struct Export {
    std::string text;
    int filters = 0;                   // Filter lines written
    std::vector<std::string> leftOut;  // "Band3 (LSh Tilt): ..." per band left out
};

// `name` (may be empty) goes into a comment at the top.
Export exportText(const PresetValues& values, const std::string& name);

}  // namespace hm::peq
