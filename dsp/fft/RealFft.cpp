#include "dsp/fft/RealFft.h"

#include <cmath>
#include <numbers>

namespace hm::dsp {

RealFft::RealFft(std::size_t n) : n_(n < 4 ? 4 : n), fft_(n_ / 2), split_(n_ / 2)
{
    for (std::size_t k = 0; k < n_ / 4; ++k) {
        const double a = -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n_);
        split_[2 * k] = std::cos(a);
        split_[2 * k + 1] = std::sin(a);
    }
}

void RealFft::forward(const double* in, double* out) const
{
    const std::size_t h = n_ / 2;
    if (out != in)
        for (std::size_t i = 0; i < n_; ++i) out[i] = in[i];
    fft_.forward(out, h);  // the samples read as h interleaved complex points

    const double z0r = out[0], z0i = out[1];
    out[0] = z0r + z0i;
    out[1] = z0r - z0i;
    // Bins k and h - k are formed together from Z[k] and Z[h - k].
    for (std::size_t k = 1; k <= h / 2; ++k) {
        const std::size_t m = h - k;
        const double ar = out[2 * k], ai = out[2 * k + 1];
        const double br = out[2 * m], bi = out[2 * m + 1];
        // e = (Z[k] + conj Z[m])/2, o = (Z[k] - conj Z[m])/2
        const double er = 0.5 * (ar + br), ei = 0.5 * (ai - bi);
        const double orr = 0.5 * (ar - br), oi = 0.5 * (ai + bi);
        // w = e^{-2 pi j k/n}; for k = h/2 it is -j.
        double wr, wi;
        if (k < n_ / 4) {
            wr = split_[2 * k];
            wi = split_[2 * k + 1];
        } else {
            wr = 0.0;
            wi = -1.0;
        }
        // -j w o
        const double tr = wr * orr - wi * oi, ti = wr * oi + wi * orr;  // w o
        out[2 * k] = er + ti;
        out[2 * k + 1] = ei - tr;
        if (m != k) {
            // With e_m = conj(e), o_m = -conj(o) and w_m = -conj(w):
            // X[m] = conj(e) - j conj(w o).
            out[2 * m] = er - ti;
            out[2 * m + 1] = -ei - tr;
        }
    }
}

}  // namespace hm::dsp
