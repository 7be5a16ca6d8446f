#pragma once
// Frequency response of a biquad cascade, evaluated on the unit circle.
//
// Each section is taken with numerator and denominator multiplied by z^2, so
// N = b0 e^{2jw} + b1 e^{jw} + b2 and D = e^{2jw} + a1 e^{jw} + a2 (the ratio is
// unchanged). w is in radians per sample.
#include "dsp/Biquad.h"

namespace hm::dsp {

// sqrt(prod |N|^2 / prod |D|^2); where the denominator product vanishes: 1 if the
// numerator product vanishes too, else 0.
double cascadeMagnitude(const double (*coeffs)[kBiquadCoefficients], int sections, double w);

// H = prod N / prod D. Each non-null output receives its component; where |prod D|^2
// is 0 a component is 1 when its numerator term is 0, else 0.
void cascadeResponse(const double (*coeffs)[kBiquadCoefficients], int sections, double w, double* re,
                     double* im);

double biquadMagnitude(const Biquad& bq, double w);

}  // namespace hm::dsp
