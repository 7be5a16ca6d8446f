#pragma once
// Forward transform of real input (n points, n a power of two >= 4) through one
// complex transform of n/2 points, unnormalised, with the packed result the
// analyser reads: out[0] = the DC term, out[1] = the Nyquist term, and for
// 1 <= k < n/2 out[2k], out[2k+1] = real and imaginary part of bin k (imaginary
// part with the forward sign, -sum x[t] sin(2 pi k t / n)).
//
// Split step: with z[t] = x[2t] + j x[2t+1] and Z its n/2-point transform,
// X[k] = (Z[k] + conj Z[n/2-k])/2 - j e^{-2 pi j k/n} (Z[k] - conj Z[n/2-k])/2.
#include <cstddef>
#include <vector>

#include "dsp/fft/Fft.h"

namespace hm::dsp {

class RealFft {
public:
    // Allocates the tables for n points; call off the audio thread.
    explicit RealFft(std::size_t n);

    std::size_t size() const { return n_; }
    // in: n samples; out: n doubles, packed as above (may be the same array as in).
    void forward(const double* in, double* out) const;

private:
    std::size_t n_;
    Fft fft_;
    std::vector<double> split_;  // e^{-2 pi j k/n} for k < n/4
};

}  // namespace hm::dsp
