#pragma once
// Evaluating analogue prototypes independently of the engine: H(jw) of the
// sections written out with std::complex, and a band-settings builder.
#include <cmath>
#include <complex>

#include "dsp/AnalogSection.h"
#include "dsp/design/Prototype.h"

namespace hm::dsp::test {

inline std::complex<double> sectionAt(const AnalogSection& x, double w)
{
    const std::complex<double> s(0.0, w);
    if (x.n0 == 0.0 && x.d0 == 0.0) return (x.n2 * s + x.n1) / (x.d2 * s + x.d1);  // first order
    return (x.n2 * s * s + x.n1 * s + x.n0) / (x.d2 * s * s + x.d1 * s + x.d0);
}

inline std::complex<double> cascadeAt(const AnalogSection* sections, int count, double w)
{
    std::complex<double> h = 1.0;
    for (int i = 0; i < count; ++i) h *= sectionAt(sections[i], w);
    return h;
}

// Exact limits: DC (s = 0) and s -> infinity.
inline double dcGain(const AnalogSection* sections, int count)
{
    double g = 1.0;
    for (int i = 0; i < count; ++i) {
        const AnalogSection& x = sections[i];
        g *= (x.n0 == 0.0 && x.d0 == 0.0) ? x.n1 / x.d1 : x.n0 / x.d0;
    }
    return g;
}

inline double hfGain(const AnalogSection* sections, int count)
{
    double g = 1.0;
    for (int i = 0; i < count; ++i) g *= sections[i].n2 / sections[i].d2;
    return g;
}

inline double dbToAmplitude(double db) { return std::pow(10.0, db / 20.0); }

inline BandSettings band(int type, int subtype, double gain = 0.0, double q = 0.707, double shift = 0.0,
                         int slope = 2, double hz = 1.0)
{
    BandSettings b;
    b.type = type;
    b.subtype = subtype;
    b.gain = static_cast<float>(gain);
    b.q = static_cast<float>(q);
    b.shift = static_cast<float>(shift);
    b.slope = slope;
    b.frequency = static_cast<float>(hz);
    b.disabled = false;
    return b;
}

// A designed band: sections plus count.
struct Proto {
    AnalogSection s[kMaxSections];
    int n = 0;
    explicit Proto(const BandSettings& b) { n = prototypeFor(b, s); }
    std::complex<double> at(double w) const { return cascadeAt(s, n, w); }
    double mag(double w) const { return std::abs(at(w)); }
    double db(double w) const { return 20.0 * std::log10(mag(w)); }
    double dc() const { return dcGain(s, n); }
    double hf() const { return hfGain(s, n); }
};

}  // namespace hm::dsp::test
