#pragma once
// What an import changes: the largest difference between the imported filters
// as the textbook digital biquads and the bands they became. Bands fitted for
// a rate (import.playRate) are compared at that rate as the bank designs them,
// from 20 Hz to 16 kHz (the fit's range) and from there to 20 kHz or 0.45 of
// the rate; bands left as the analogue prototypes (which the bank matches at any
// rate) are compared below 20 kHz at both rates corrections are made for (44.1
// and 48 kHz). Pure functions; any thread.
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
    double fromHz = 20.0, toHz = 20000.0;  // the range compared
    bool fitted = false;                   // the bands were fitted for this rate
};

// One figure per rate or range, and per side when filters act on one side.
std::vector<Fidelity> fidelityReport(const Import& import);

// "at 44.1 kHz: largest difference +1.23 dB at 15.2 kHz" (with "left: " first
// for a side), and for fitted bands the range after it (", 20 Hz to 16 kHz").
std::string describe(const Fidelity& f);

}  // namespace hm::peq
