#pragma once
// Minimum-phase conversion by the real cepstrum (the homomorphic method): the
// log magnitude's cepstrum is folded onto its causal half, exponentiated back in
// the frequency domain, and the first n samples of its transform are the
// minimum-phase response with (up to cepstral aliasing) the same magnitude.
#include <vector>

#include "dsp/fft/Fft.h"

namespace hm::dsp {

class MinimumPhase {
public:
    // Replaces values[0..n) by the minimum-phase response of the same magnitude.
    // Uses a transform of M = 2 * (power of two >= n) points; allocates on growth.
    void convert(double* values, int n);

private:
    Fft fft_;
    std::vector<double> work_;
};

// One-shot convenience for callers without a converter of their own.
void toMinimumPhase(double* values, int n);

}  // namespace hm::dsp
