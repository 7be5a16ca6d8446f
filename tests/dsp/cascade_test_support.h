#pragma once
// Independent references for the cascade tests: a textbook direct-form-1 loop and
// the transfer function evaluated with std::complex.
#include <complex>
#include <vector>

#include "dsp/Biquad.h"
#include "dsp/VerdanseEQ.h"

namespace hm::dsp::test {

// Exposes the protected glide and state arrays of a filter object.
class ProbeEQ : public VerdanseEQ {
public:
    using VerdanseEQ::current;
    using VerdanseEQ::state;
    using VerdanseEQ::target;
};

struct RefSection {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = x; y2 = y1; y1 = y;
        return y;
    }
};

inline std::complex<double> directResponse(const std::vector<Biquad>& sections, double w)
{
    const std::complex<double> zi = std::polar(1.0, -w);  // z^-1
    std::complex<double> h = 1.0;
    for (const Biquad& s : sections)
        h *= (s.b0 + s.b1 * zi + s.b2 * zi * zi) / (1.0 + s.a1 * zi + s.a2 * zi * zi);
    return h;
}

inline std::vector<double> flatten(const std::vector<Biquad>& sections)
{
    std::vector<double> c;
    for (const Biquad& s : sections) c.insert(c.end(), {s.b0, s.b1, s.b2, s.a1, s.a2});
    return c;
}

}  // namespace hm::dsp::test
