// Prototype dispatch: one band's settings -> analogue sections at the band frequency.
//
// Pass types build a low-pass family at the band's order, swap it to a high-pass
// when needed (s -> 1/s) and spread the band gain over the second-order sections;
// the other types delegate to their family files. Everything ends with the one
// frequency scaling s -> s/f, f in Hz (the mapper adds the 2*pi later).
#include "dsp/design/Prototype.h"

#include <cmath>
#include <utility>

#include "dsp/design/PrototypeParts.h"

namespace hm::dsp {

using namespace design;

namespace {

// Smallest Q the formulas accept: they divide by Q and by its powers.
constexpr double kMinQ = 1e-3;

void swapLowPassToHighPass(AnalogSection* sections, int count)
{
    for (int i = 0; i < count; ++i) {
        AnalogSection& s = sections[i];
        if (isSecondOrder(s)) {
            std::swap(s.n2, s.n0);
            std::swap(s.d2, s.d0);
        } else {
            std::swap(s.n2, s.n1);
            std::swap(s.d2, s.d1);
        }
    }
}

// The pass band's gain goes into the numerators of the second-order sections only,
// equally in dB, so the first-order tail of an odd order stays a plain pole.
void distributeGain(AnalogSection* sections, int count, int order, double gainDb)
{
    if (gainDb == 0.0) return;
    const int secondOrderCount = (order + 1) / 2 - (order % 2);
    if (secondOrderCount <= 0) return;
    const double factor = std::pow(10.0, gainDb / (20.0 * secondOrderCount));
    for (int i = 0; i < secondOrderCount && i < count; ++i) {
        sections[i].n2 *= factor;
        sections[i].n1 *= factor;
        sections[i].n0 *= factor;
    }
}

void scaleToFrequency(AnalogSection* sections, int count, double hz)
{
    const double f2 = hz * hz;
    for (int i = 0; i < count; ++i) {
        AnalogSection& s = sections[i];
        s.n1 *= hz;
        s.n0 *= f2;
        s.d1 *= hz;
        s.d0 *= f2;
    }
}

bool allFinite(const AnalogSection* sections, int count)
{
    for (int i = 0; i < count; ++i) {
        const AnalogSection& s = sections[i];
        for (double v : {s.n2, s.n1, s.n0, s.d2, s.d1, s.d0})
            if (!std::isfinite(v)) return false;
    }
    return true;
}

int unity(AnalogSection out[kMaxSections])
{
    out[0] = unitySection();
    return 1;
}

int buildNormalised(const BandSettings& b, double q, AnalogSection out[kMaxSections])
{
    const double gain = b.gain;
    switch (b.type) {
    case kTypeHighPass:
    case kTypeLowPass: {
        const int order = b.slope < 1 ? 1 : (b.slope > 2 * kMaxSections ? 2 * kMaxSections : b.slope);
        const int count = lowPassFamily(b.subtype, order, q, out);
        if (count <= 0) return 0;
        if (b.type == kTypeHighPass) swapLowPassToHighPass(out, count);
        distributeGain(out, count, order, gain);
        return count;
    }
    case kTypeLowShelf:
    case kTypeHighShelf:
        return shelfPrototype(b.subtype, b.type == kTypeHighShelf, gain, q, b.shift, b.frequency, out);
    case kTypePeak:
        return peakPrototype(b.subtype, gain, q, b.shift, out);
    case kTypeNotch:
        out[0] = secondOrder(1.0, 0.0, 1.0, 1.0, 1.0 / q, 1.0);
        return 1;
    case kTypeBandPass: {
        double a = 1.0;
        const double qe = gainToQ(b.subtype, gain, q, b.shift, &a);
        out[0] = secondOrder(0.0, a * a / qe, 0.0, 1.0, 1.0 / qe, 1.0);
        return 1;
    }
    case kTypeAllPass:
        out[0] = secondOrder(1.0, -1.0 / q, 1.0, 1.0, 1.0 / q, 1.0);
        return 1;
    default:
        return 0;
    }
}

}  // namespace

int prototypeFor(const BandSettings& settings, AnalogSection out[kMaxSections])
{
    if (out == nullptr) return 0;
    if (settings.disabled || settings.type == kTypeNone) return unity(out);
    // Non-finite controls or a non-positive frequency would poison every section.
    if (!std::isfinite(settings.frequency) || !std::isfinite(settings.gain) ||
        !std::isfinite(settings.q) || !std::isfinite(settings.shift) || settings.frequency <= 0.0f)
        return unity(out);

    const double q = settings.q < kMinQ ? kMinQ : settings.q;
    const int count = buildNormalised(settings, q, out);
    if (count <= 0 || count > kMaxSections || !allFinite(out, count)) return unity(out);
    scaleToFrequency(out, count, settings.frequency);
    if (!allFinite(out, count)) return unity(out);
    return count;
}

float effectiveQ(const BandSettings& settings)
{
    if (settings.type != kTypePeak && settings.type != kTypeBandPass) return settings.q;
    if (!std::isfinite(settings.gain) || !std::isfinite(settings.q) || !std::isfinite(settings.shift))
        return settings.q;
    const double q = settings.q < kMinQ ? kMinQ : settings.q;
    double a = 1.0;
    const double qe = gainToQ(settings.subtype, settings.gain, q, settings.shift, &a);
    return std::isfinite(qe) ? static_cast<float>(qe) : settings.q;
}

namespace design {

void substituteScaled(AnalogSection& s, double c)
{
    const double c2 = c * c;
    s.n2 *= c2;
    s.n1 *= c;
    s.d2 *= c2;
    s.d1 *= c;
}

}  // namespace design

}  // namespace hm::dsp
