#pragma once
// Stage one of band design: a band's settings as analogue sections at the band
// frequency (in Hz; the digital mapper scales by 2*pi). Pure functions, no state.
#include "dsp/AnalogSection.h"

namespace hm::dsp {

// The whole prototype dispatch by type and subtype, frequency-scaled to
// settings.frequency. Writes at most kMaxSections sections; returns the count (>= 1).
// A disabled band is the single unity section.
int prototypeFor(const BandSettings& settings, AnalogSection out[kMaxSections]);

// Q after the gain-to-Q rule of the peak/band-pass subtype; other types return q.
float effectiveQ(const BandSettings& settings);

}  // namespace hm::dsp
