#pragma once
// A band-response source built from analytic analogue sections, for the FIR
// builder tests and benchmarks: peaks (s^2 + s (A/Q) w + w^2)/(s^2 + s w/(A Q) + w^2)
// and first-order high-passes s/(s + w), evaluated at s = j f (f in Hz, w the band
// frequency in Hz). The "digital" side is either the same response (a band set
// whose recursive filters agree with their prototypes) or, on the first band only,
// the prototype times a droop cos^2(pi f / fs) like the one the bilinear transform
// causes near Nyquist.
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "dsp/fir/ResponseSource.h"

namespace hm::test {

struct FakeBand {
    enum Kind { Peak, HighPass1 } kind = Peak;
    double frequency = 1000.0;
    double gainDb = 0.0;
    double q = 1.0;
    bool parallel = false;
    bool disabled = false;
    double phaseAmount = 1.0;
};

class FakeSource : public hm::dsp::ResponseSource {
public:
    std::vector<FakeBand> bands;
    bool digitalDroops = false;
    double sampleRate = 48000.0;

    std::complex<double> prototype(const FakeBand& b, double f, double* phase) const
    {
        const std::complex<double> s(0.0, f);
        const double w = b.frequency;
        std::complex<double> num, den;
        if (b.disabled) {
            num = den = 1.0;
        } else if (b.kind == FakeBand::Peak) {
            const double a = std::pow(10.0, b.gainDb / 40.0);
            num = s * s + s * (a / b.q) * w + w * w;
            den = s * s + s * w / (a * b.q) + w * w;
        } else {
            num = s;
            den = s + w;
        }
        if (phase) *phase = std::arg(num) - std::arg(den);
        return num / den;
    }

    int bandCount() const override { return static_cast<int>(bands.size()); }
    bool isParallel(int band) const override { return bands[static_cast<std::size_t>(band)].parallel; }
    double phaseAmount(int band) const override { return bands[static_cast<std::size_t>(band)].phaseAmount; }

    void analogue(int band, double df, int count, double* magnitude, double* phase) const override
    {
        for (int i = 0; i < count; ++i) {
            magnitude[i] = std::abs(prototype(bands[static_cast<std::size_t>(band)], i * df, &phase[i]));
        }
    }

    void digital(int band, double df, int count, double* response) const override
    {
        const FakeBand& b = bands[static_cast<std::size_t>(band)];
        for (int i = 0; i < count; ++i) {
            const double f = i * df;
            std::complex<double> h = prototype(b, f, nullptr);
            if (digitalDroops && band == 0) {
                const double c = std::cos(std::numbers::pi * std::min(f, sampleRate / 2) / sampleRate);
                h *= c * c;
            }
            if (b.parallel) h -= 1.0;
            response[2 * i] = h.real();
            response[2 * i + 1] = h.imag();
        }
    }
};

}  // namespace hm::test
