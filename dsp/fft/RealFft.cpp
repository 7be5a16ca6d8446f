#include "dsp/fft/RealFft.h"

#include "dsp/fft/RealSplit.h"

namespace hm::dsp {

RealFft::RealFft(std::size_t n) : n_(n < 4 ? 4 : n), fft_(n_ / 2), split_(realSplitTwiddles(n_ / 2)) {}

void RealFft::forward(const double* in, double* out) const
{
    const std::size_t h = n_ / 2;
    if (out != in)
        for (std::size_t i = 0; i < n_; ++i) out[i] = in[i];
    fft_.forwardScrambled(out, h);
    realSplit(out, split_.data(), 0, h);
    fft_.bitReverse(out, h);
}

}  // namespace hm::dsp
