#pragma once
// Responses of analogue prototypes, evaluated directly in the s-domain.
//
// A section is read as second-order when n0 or d0 is non-zero, else as the stored
// first-order form (n2 s + n1)/(d2 s + d1) when n1 or d1 is non-zero, else as the
// gain n2/d2. The variable is s = j*f in whatever unit the section is scaled to
// (Hz for the prototype store, radians per second inside the digital mapper).
#include "dsp/AnalogSection.h"

namespace hm::dsp {

class EQ;

struct AnalogTerms {
    double nRe, nIm, dRe, dIm;
};

AnalogTerms analogTerms(const AnalogSection& s, double f);

// sqrt(prod |N|^2 / prod |D|^2) with 1 (numerator also 0) or 0 where the
// denominator product vanishes.
double analogMagnitude(const AnalogSection* sections, int count, double f);
// Sum of the per-section phase angles in radians (not wrapped).
double analogPhase(const AnalogSection* sections, int count, double f);

// The band's analogue prototype rebuilt from the filter's settings (the stored
// prototype is not touched). A disabled band is unity unless includeDisabled.
double prototypeMagnitude(const EQ& filter, double hz, bool includeDisabled);
double prototypePhase(const EQ& filter, double hz);

}  // namespace hm::dsp
