// Minimum phase by the real cepstrum: a known analytic pair, magnitude kept,
// energy moved to the front.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "dsp/fir/MinimumPhase.h"

using hm::dsp::toMinimumPhase;

namespace {

double magnitudeAt(const std::vector<double>& h, double omega)
{
    std::complex<double> s = 0;
    for (std::size_t k = 0; k < h.size(); ++k) s += h[k] * std::polar(1.0, -omega * double(k));
    return std::abs(s);
}

}  // namespace

TEST(FirMinimumPhaseTest, ReflectsAZeroOutsideTheUnitCircle)
{
    // 1 - 2 z^-1 has its zero at 2; the minimum-phase filter with the same magnitude
    // is 2 - z^-1 (zero at 1/2, positive at DC).
    std::vector<double> h(64, 0.0);
    h[0] = 1.0;
    h[1] = -2.0;
    toMinimumPhase(h.data(), static_cast<int>(h.size()));
    EXPECT_NEAR(h[0], 2.0, 1e-9);
    EXPECT_NEAR(h[1], -1.0, 1e-9);
    for (std::size_t k = 2; k < h.size(); ++k) EXPECT_NEAR(h[k], 0.0, 1e-9) << k;
}

TEST(FirMinimumPhaseTest, DelayedImpulseMovesToTheStart)
{
    std::vector<double> h(128, 0.0);
    h[64] = 0.75;
    toMinimumPhase(h.data(), 128);
    EXPECT_NEAR(h[0], 0.75, 1e-12);
    for (std::size_t k = 1; k < h.size(); ++k) EXPECT_NEAR(h[k], 0.0, 1e-12) << k;
}

TEST(FirMinimumPhaseTest, LinearPhaseBoostKeepsMagnitudeAndFrontLoadsEnergy)
{
    // What the "Full Minimum" mode feeds it: a centred linear-phase EQ curve, here a
    // unit impulse plus a windowed band-pass bump (+3 dB around 0.2 fs), no deep zeros.
    for (int n : {255, 1024, 8192}) {
        std::vector<double> h(static_cast<std::size_t>(n), 0.0);
        const int centre = n / 2;
        const double width = std::min(64, n / 4);
        for (int k = 0; k < n; ++k) {
            const double t = k - centre;
            if (std::abs(t) > width) continue;
            const double sinc = t == 0 ? 0.1 : std::sin(0.1 * std::numbers::pi * t) / (std::numbers::pi * t);
            const double hann = 0.5 + 0.5 * std::cos(std::numbers::pi * t / width);
            h[static_cast<std::size_t>(k)] = 0.8 * sinc * hann * 2 * std::cos(0.4 * std::numbers::pi * t);
        }
        h[static_cast<std::size_t>(centre)] += 1.0;
        auto m = h;
        toMinimumPhase(m.data(), n);
        for (double w = 0.0; w < std::numbers::pi; w += 0.0137) {
            const double a = magnitudeAt(h, w), b = magnitudeAt(m, w);
            EXPECT_NEAR(20 * std::log10(b / a), 0.0, 0.01) << "n " << n << " w " << w;
        }
        // Partial energies of a minimum-phase filter dominate those of any other
        // filter with the same magnitude.
        double eh = 0, em = 0, total = 0;
        for (double v : h) total += v * v;
        for (int k = 0; k < n; ++k) {
            eh += h[static_cast<std::size_t>(k)] * h[static_cast<std::size_t>(k)];
            em += m[static_cast<std::size_t>(k)] * m[static_cast<std::size_t>(k)];
            EXPECT_GE(em, eh - 1e-9 * total) << "n " << n << " k " << k;
        }
        double head = 0;
        for (int k = 0; k < 2 * width; ++k) head += m[static_cast<std::size_t>(k)] * m[static_cast<std::size_t>(k)];
        EXPECT_GT(head, 0.999 * total) << "n " << n;
    }
}
