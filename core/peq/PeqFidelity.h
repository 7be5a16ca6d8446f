#pragma once
// What an import changes: the largest difference, below 20 kHz, between the
// imported filters as the textbook digital biquads at the rate the correction
// was made for (44.1 or 48 kHz) and the bands they became (their analogue
// response, which the bank matches at any rate). Pure functions; any thread.
#include <string>
#include <vector>

#include "core/peq/PeqMapping.h"

namespace hm::peq {

inline constexpr double kCorrectionRates[] = {44100.0, 48000.0};

struct Fidelity {
    double sampleRate = 44100.0;
    int channel = -1;           // -1: every channel alike; else 0 left, 1 right
    double differenceDb = 0.0;  // bands minus textbook, where its magnitude is largest
    double atHz = 0.0;
};

// One figure per correction rate, and per side when filters act on one side.
std::vector<Fidelity> fidelityReport(const Import& import);

// "at 44.1 kHz: largest difference +1.23 dB at 15.2 kHz" (with "left: " first
// for a side).
std::string describe(const Fidelity& f);

}  // namespace hm::peq
