#include "dsp/fir/MinimumPhase.h"

#include <algorithm>
#include <cmath>

namespace hm::dsp {

void MinimumPhase::convert(double* values, int n)
{
    if (n <= 0 || values == nullptr) return;
    std::size_t p = 1;
    while (p < static_cast<std::size_t>(n)) p <<= 1;
    const std::size_t m = 2 * p;
    fft_.prepare(m);
    work_.assign(2 * m, 0.0);
    double* x = work_.data();
    for (int k = 0; k < n; ++k) x[2 * k] = values[k];

    // Log magnitude, floored so that spectral zeros stay finite (ln floor = -100).
    fft_.forward(x, m);
    const double floorMag = std::exp(-100.0);
    for (std::size_t i = 0; i < m; ++i) {
        const double r = std::max(std::hypot(x[2 * i], x[2 * i + 1]), floorMag);
        x[2 * i] = std::log(r);
        x[2 * i + 1] = 0.0;
    }

    // Real cepstrum, folded: keep c[0] and c[M/2], double the causal part, drop the rest.
    fft_.inverse(x, m);
    const double inv = 1.0 / static_cast<double>(m);
    x[0] *= inv;
    x[m] *= inv;  // c[M/2]
    for (std::size_t k = 1; k < m / 2; ++k) x[2 * k] *= 2.0 * inv;
    for (std::size_t k = m / 2 + 1; k < m; ++k) x[2 * k] = 0.0;
    for (std::size_t k = 0; k < m; ++k) x[2 * k + 1] = 0.0;

    // Back to the spectrum and exponentiate: e^a (cos b + j sin b).
    fft_.forward(x, m);
    for (std::size_t i = 0; i < m; ++i) {
        const double mag = std::exp(x[2 * i]);
        const double b = x[2 * i + 1];
        x[2 * i] = mag * std::cos(b);
        x[2 * i + 1] = mag * std::sin(b);
    }
    fft_.inverse(x, m);
    for (int k = 0; k < n; ++k) values[k] = x[2 * k] * inv;
}

void toMinimumPhase(double* values, int n)
{
    MinimumPhase converter;
    converter.convert(values, n);
}

}  // namespace hm::dsp
