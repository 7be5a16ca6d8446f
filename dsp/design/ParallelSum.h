#pragma once
// A band summed in parallel contributes H - 1, where H is the product of all its
// sections. For one section that is simply (b - a)/a; for several the numerator
// prod(N_i) - prod(D_i) is a polynomial of twice the section count, which is split
// back into second-order factors so the band still runs as a biquad cascade over
// its own denominators.
#include "dsp/AnalogSection.h"
#include "dsp/Biquad.h"

namespace hm::dsp {

// Writes count sections whose product is prod(in) - 1; the denominators are those
// of in. Returns false (out untouched) if the numerator cannot be factored.
bool parallelDifference(const Biquad* in, int count, Biquad* out);

// Whether a band of this engine type joins the parallel sum in "Parallel" mode m
// (1: peaks, 2: peaks and shelves; 0: every band in series).
bool summedInParallel(int parallelMode, int engineType);

}  // namespace hm::dsp
