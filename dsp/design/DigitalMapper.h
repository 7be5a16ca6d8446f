#pragma once
// Stage two of band design: analogue sections (radians per second) to biquads.
//
// Every section is classified by its shape (gain, first-order, peak, band-pass,
// notch, low-pass, high-pass, general), mapped by the matching digital building
// block and then refined against its own analogue magnitude on the fit grid.
// Elliptic and all-pass pass filters keep a plain prewarped bilinear mapping, since
// their phase (all-pass) and their transmission zeros (elliptic) matter more than
// a magnitude fit.
#include "dsp/AnalogSection.h"
#include "dsp/Biquad.h"
#include "dsp/design/MagnitudeFit.h"

namespace hm::dsp {

enum class SectionClass { Gain, FirstOrder, Peak, BandPass, Notch, LowPass, HighPass, General };

struct MappedSection {
    Biquad biquad;
    SectionClass kind = SectionClass::Gain;
    int method = 0;             // fitting method, -1 for none
    bool inverted = false;      // biquad approximates 1/H: fit to 1/|H|, then invert
    bool clearsUnity = false;   // the section makes the band audible
};

// Classifies and maps one section normalised by d2 (n2 ... d0 divided by d2).
// bandType and bandGainDb are the band's settings (shelf and peak unity rules).
MappedSection mapSection(const AnalogSection& normalised, int bandType, double bandGainDb, double fs);

struct CascadeDesign {
    Biquad sections[kMaxSections];  // what the filter holds: H, or H - 1 for a parallel band
    Biquad whole[kMaxSections];     // H itself, whatever the routing
    int count = 1;
    bool unity = true;
    // A parallel band whose H - 1 could not be factored into sections: `sections`
    // hold H and the band runs in series for this design.
    bool parallelFailed = false;
};

// Maps count analogue sections (already in radians per second) for a band; refines
// each with the fit workspace; a parallel band becomes (product of its sections) - 1.
CascadeDesign mapCascade(const BandSettings& band, const AnalogSection* radians, int count, double fs,
                         FitWorkspace& ws);

// Prototype in Hz (as the prototype builder writes it) to radians per second.
AnalogSection toRadiansPerSecond(const AnalogSection& hz);

}  // namespace hm::dsp
