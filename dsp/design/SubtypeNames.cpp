#include "dsp/design/SubtypeNames.h"

#include "dsp/AnalogSection.h"

namespace hm::dsp {

namespace {

// Peak and band-pass: gain-to-Q models and circuit sections.
constexpr const char* kPeakNames[] = {"Kes", "4kg", "Ox1", "Ox2", "Ox3", "Ox4", "110",
                                      "550", "88",  "32",  "EE",  "FlatTop", "Butterworth", "250"};
// High- and low-pass: the low-pass families.
constexpr const char* kPassNames[] = {"Kes",      "Coincident", "Butterworth", "Chebyshev", "Bessel",
                                      "Critical", "Legendre",   "Elliptic",    "Allpass",   "Harmonics"};
// Shelves.
constexpr const char* kShelfNames[] = {"Kes", "4kg", "110", "550", "Pultec Boost", "Pultec Cut", "First Order", "Tilt"};

template <int N>
constexpr int countOf(const char* const (&)[N]) { return N; }

struct Table {
    const char* const* names;
    int count;
};

Table tableFor(int type)
{
    switch (type) {
    case kTypePeak:
    case kTypeBandPass: return {kPeakNames, countOf(kPeakNames)};
    case kTypeHighPass:
    case kTypeLowPass: return {kPassNames, countOf(kPassNames)};
    case kTypeLowShelf:
    case kTypeHighShelf: return {kShelfNames, countOf(kShelfNames)};
    default: return {nullptr, 0};
    }
}

}  // namespace

int subtypeCount(int type) { return tableFor(type).count; }

const char* subtypeName(int type, int subtype)
{
    const Table t = tableFor(type);
    return subtype >= 0 && subtype < t.count ? t.names[subtype] : nullptr;
}

}  // namespace hm::dsp
