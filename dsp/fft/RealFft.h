#pragma once
// Forward transform of real input (n points, n a power of two >= 4) through one
// complex transform of n/2 points, unnormalised, with the packed result the
// analyser reads: out[0] = the DC term, out[1] = the Nyquist term, and for
// 1 <= k < n/2 out[2k], out[2k+1] = real and imaginary part of bin k (imaginary
// part with the forward sign, -sum x[t] sin(2 pi k t / n)).
//
// Method: the samples read as n/2 complex points go through the scrambled
// transform, the real spectrum is split out in bit-reversed order (RealSplit.h),
// and one bit-reversal permutation leaves bin k at position k, with DC and Nyquist
// already packed together at position 0.
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
    std::vector<double> split_;  // twiddles of the real split, per bit-reversed position
};

}  // namespace hm::dsp
