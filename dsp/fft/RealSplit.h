#pragma once
// Real signals of 2P samples through complex transforms of P points, entirely in
// the bit-reversed order the scrambled FFT leaves behind (the mono convolver's
// spectra never need natural order).
//
// With z[n] = x[2n] + j x[2n+1] and Z its P-point transform, the real transform of
// x is X[k] = (Z[k] + conj Z[P-k])/2 - j W^k (Z[k] - conj Z[P-k])/2, W = e^{-j pi/P};
// the inverse ("merge") is Z'[k] = E + j O with E = (Y[k] + conj Y[P-k])/2 and
// O = (Y[k] - conj Y[P-k]) conj(W^k)/2, whose inverse P-point transform is
// P (y[2n] + j y[2n+1]). In bit-reversed order the partner of position p (bin k) is
// the mirror of p inside its octave [2^s, 2^(s+1)): 3 * 2^s - 1 - p. Position 0
// holds DC and Nyquist, both real, packed as (X[0], X[P]).
#include <cstddef>
#include <vector>

namespace hm::dsp {

// W^k for the bin k held at each bit-reversed position p < P (P a power of two >= 2).
std::vector<double> realSplitTwiddles(std::size_t points);

// Partner position of p in bit-reversed order (0 and 1 are their own partners).
inline std::size_t splitPartner(std::size_t p)
{
    if (p < 2) return p;
    std::size_t s = 1;
    while ((s << 1) <= p) s <<= 1;
    return 3 * s - 1 - p;
}

// In place, for the positions p in [begin, end) that are the lower of their pair.
void realSplit(double* data, const double* twiddles, std::size_t begin, std::size_t end);
void realMerge(double* data, const double* twiddles, std::size_t begin, std::size_t end);

}  // namespace hm::dsp
