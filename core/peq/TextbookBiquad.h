#pragma once
// The digital filters parametric EQ text stands for where it is made: each
// filter as the textbook digital biquad (the audio-EQ cookbook's bilinear
// designs, prewarped at Fc) at the sample rate the correction was made for.
// Their peaks cramp toward the Nyquist frequency, which the bands, matched to
// the analogue prototypes, do not: the fidelity report compares the two.
// Pure functions; any thread.
#include "core/peq/PeqText.h"
#include "dsp/Biquad.h"

namespace hm::peq {

// Coefficients normalised to a0 = 1. A first-order shelf ("6dB") is the
// bilinear first-order shelf with its midpoint at Fc (b2 = a2 = 0).
dsp::Biquad textbookBiquad(const Filter& f, double sampleRate);

}  // namespace hm::peq
