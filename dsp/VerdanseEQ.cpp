#include "dsp/VerdanseEQ.h"

#include <cstring>

#include "dsp/design/DigitalMapper.h"
#include "dsp/design/Prototype.h"

namespace hm::dsp {

VerdanseEQ::VerdanseEQ() { prepareFitGrid(fit, 44100.0); }

void VerdanseEQ::buildPrototype()
{
    if (!dirty) return;
    const BandSettings band = settings();
    AnalogSection built[kMaxSections];
    int n = 1;
    if (band.disabled) {
        built[0] = AnalogSection{};
    } else {
        n = prototypeFor(band, built);
        if (n < 1 || n > kMaxSections) {
            n = 1;
            built[0] = AnalogSection{};
        }
    }
    std::memcpy(prototype, built, sizeof(AnalogSection) * n);
    prototypeCount = n;
    dirty = 0;
    prototypeChanged = 1;
}

int VerdanseEQ::glideToUnity()
{
    // Every section in use glides to unity (dropping sections at once would click).
    double unity[kMaxSections * kBiquadCoefficients] = {};
    for (int i = 0; i < kMaxSections; ++i) unity[i * kBiquadCoefficients] = 1.0;
    std::memcpy(whole, unity, sizeof whole);
    wholeCount = sectionCount;
    seriesFallback = false;
    return setCoefficients(unity, sectionCount);
}

int VerdanseEQ::getWholeCoefficients(double* out) const
{
    std::memcpy(out, whole, sizeof(double) * kBiquadCoefficients * static_cast<std::size_t>(wholeCount));
    return wholeCount;
}

void VerdanseEQ::adoptDesign(const VerdanseEQ& from)
{
    double held[kMaxSections * kBiquadCoefficients];
    const int n = from.getCoefficients(held);
    setCoefficients(held, n);
    setIdentity(from.getIdentity());
    std::memcpy(whole, from.whole, sizeof whole);
    wholeCount = from.wholeCount;
    seriesFallback = from.seriesFallback;
}

int VerdanseEQ::design()
{
    if (type == kTypeNone || disabled != 0) {
        identity = 1;
        return glideToUnity();
    }
    buildPrototype();
    if (!prototypeChanged) return 0;
    prototypeChanged = 0;

    AnalogSection radians[kMaxSections];
    const int n = prototypeCount;
    for (int i = 0; i < n; ++i) radians[i] = toRadiansPerSecond(prototype[i]);

    const CascadeDesign d = mapCascade(settings(), radians, n, sampleRate, fit);
    if (d.unity) {
        identity = 1;
        return glideToUnity();
    }
    identity = 0;
    seriesFallback = d.parallelFailed;
    // Sections no longer needed glide to unity instead of leaving the chain at once
    // (a shorter slope would otherwise cut the running filter off mid-signal).
    const int count = d.count > sectionCount ? d.count : sectionCount;
    double coeffs[kMaxSections * kBiquadCoefficients];
    for (int i = 0; i < count; ++i) {
        const Biquad b = i < d.count ? d.sections[i] : Biquad{};  // unity: the cascade is a product
        const Biquad w = i < d.count ? d.whole[i] : Biquad{};
        double* c = coeffs + i * kBiquadCoefficients;
        c[0] = b.b0; c[1] = b.b1; c[2] = b.b2; c[3] = b.a1; c[4] = b.a2;
        double* h = whole + i * kBiquadCoefficients;
        h[0] = w.b0; h[1] = w.b1; h[2] = w.b2; h[3] = w.a1; h[4] = w.a2;
    }
    wholeCount = count;
    return setCoefficients(coeffs, count);
}

float VerdanseEQ::getEffectiveQ() const { return effectiveQ(settings()); }

int VerdanseEQ::getControlMask() const { return controlMaskFor(type, subtype); }

const char* VerdanseEQ::getShiftLabel() const { return shiftLabelFor(type, subtype); }

int controlMaskFor(int type, int subtype)
{
    int mask = kControlFrequency;
    if (type == kTypeLowShelf || type == kTypePeak || type == kTypeHighShelf) mask |= kControlGain;
    switch (type) {
    case kTypePeak:
        mask |= kControlQ;
        if (subtype == 0 || subtype == 11) mask |= kControlShift;
        break;
    case kTypeHighPass:
    case kTypeLowPass:
        mask |= kControlSlope;
        if (subtype == 0 || subtype == 3 || subtype == 7 || subtype == 8 || subtype == 9) mask |= kControlQ;
        break;
    case kTypeLowShelf:
    case kTypeHighShelf:
        if (subtype == 0) mask |= kControlQ | kControlShift;
        if (type == kTypeHighShelf && subtype == 4) mask |= kControlQ;
        if (type == kTypeLowShelf && (subtype == 4 || subtype == 5)) mask |= kControlShift;
        break;
    case kTypeNotch: mask |= kControlQ; break;
    default: break;
    }
    return mask;
}

const char* shiftLabelFor(int type, int subtype)
{
    if (type == kTypePeak && subtype == 0) return "GAIN->Q";
    if (type == kTypePeak && subtype == 11) return "SOFTEN";
    if ((type == kTypeLowShelf || type == kTypeHighShelf) && subtype == 0) return "SHIFT";
    if (type == kTypeLowShelf && subtype == 5) return "BOOST";
    if (type == kTypeLowShelf && subtype == 4) return "CUT";
    return "";
}

}  // namespace hm::dsp
