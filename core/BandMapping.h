#pragma once
// From a band's parameters to the filter engine's settings: the one place that
// knows how the user-facing fields (Type 1..6, Subtype 1..32, Gain as a fraction
// of Scale, Frequency before the global shift, Slope in dB per octave, Phase in
// per cent) become an engine band.
#include "core/params/ParamIds.h"
#include "dsp/AnalogSection.h"

namespace hm {

// Engine type of the user-facing Type 1..6 (clamped); an auditioned band is heard
// through band-pass, low-pass or high-pass instead.
int engineBandType(int userType, bool auditioning = false);

// Engine settings from the ten real (base-converted) values of a band, the real
// Scale in dB and the frequency factor (Shift x 0.01 x MIDI multiplier). The band
// comes out enabled; whether it is in use (State) and where (Groups) is the caller's.
dsp::BandSettings engineBandSettings(const double (&fields)[kParamsPerBand], double scaleDb, double frequencyFactor);

}  // namespace hm
