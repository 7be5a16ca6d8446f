#include "dsp/PrototypeResponse.h"

#include <cmath>

#include "dsp/EQ.h"
#include "dsp/design/Prototype.h"

namespace hm::dsp {

AnalogTerms analogTerms(const AnalogSection& s, double f)
{
    if (s.n0 != 0.0 || s.d0 != 0.0)
        return {s.n0 - s.n2 * f * f, s.n1 * f, s.d0 - s.d2 * f * f, s.d1 * f};
    if (s.n1 != 0.0 || s.d1 != 0.0) return {s.n1, s.n2 * f, s.d1, s.d2 * f};
    return {s.n2, 0.0, s.d2, 0.0};
}

double analogMagnitude(const AnalogSection* sections, int count, double f)
{
    double num = 1.0, den = 1.0;
    for (int i = 0; i < count; ++i) {
        const AnalogTerms t = analogTerms(sections[i], f);
        num *= t.nRe * t.nRe + t.nIm * t.nIm;
        den *= t.dRe * t.dRe + t.dIm * t.dIm;
    }
    if (den == 0.0) return num == 0.0 ? 1.0 : 0.0;
    return std::sqrt(num / den);
}

double analogPhase(const AnalogSection* sections, int count, double f)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const AnalogTerms t = analogTerms(sections[i], f);
        sum += std::atan2(t.nIm * t.dRe - t.nRe * t.dIm, t.nRe * t.dRe + t.nIm * t.dIm);
    }
    return sum;
}

namespace {

int rebuild(const EQ& filter, bool includeDisabled, AnalogSection out[kMaxSections])
{
    BandSettings settings = filter.settings();
    if (settings.disabled) {
        if (!includeDisabled) {
            out[0] = AnalogSection{};
            return 1;
        }
        settings.disabled = false;
    }
    const int n = prototypeFor(settings, out);
    return n < 1 ? 0 : (n > kMaxSections ? kMaxSections : n);
}

}  // namespace

double prototypeMagnitude(const EQ& filter, double hz, bool includeDisabled)
{
    AnalogSection sections[kMaxSections];
    const int n = rebuild(filter, includeDisabled, sections);
    return analogMagnitude(sections, n, hz);
}

double prototypePhase(const EQ& filter, double hz)
{
    AnalogSection sections[kMaxSections];
    const int n = rebuild(filter, false, sections);
    return analogPhase(sections, n, hz);
}

}  // namespace hm::dsp
