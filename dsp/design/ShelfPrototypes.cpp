// Shelf prototypes: the "Kes" second-order shelf with its "SHIFT" control, the
// plain first-order shelf and the tilt, plus the dispatch to the circuit shelves.
// Corner (or pivot) at s = j; the high shelf reaches the gain above it, the low
// shelf below it.
#include <algorithm>
#include <cmath>
#include <utility>

#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

constexpr double kInvSqrt2 = 0.707106781;
constexpr double kSqrt2 = 1.41421356;

// Second-order shelf whose pole and zero dampings are pulled apart by SHIFT: the
// zeros get damping from Q - g, the poles from Q + g, each raised to a power that
// grows with the amount of boost (|gain|/16) so small gains stay gentle. Q at the
// Butterworth value 1/sqrt(2) and below gives the plain maximally flat shelf.
int kesShelf(bool highShelf, double gainDb, double q, double shift, AnalogSection out[kMaxSections])
{
    const double G = std::pow(10.0, gainDb / 20.0);
    const double h = std::fabs(gainDb) / 16.0;
    const double g = q >= kInvSqrt2 ? (q - kInvSqrt2) * shift * 0.01 : 0.0;
    // A shift beyond 100 % would give a negative base; keep the bases positive.
    const double zeroBase = std::max((q - g) * kSqrt2, 1e-9);
    const double poleBase = std::max((q + g) * kSqrt2, 1e-9);
    const double l = std::pow(zeroBase, h);
    const double m = std::pow(poleBase, h);
    const double t = std::max(G, 1.0 / G);

    AnalogSection s = secondOrder(1.0, 1.0, 1.0, 1.0, 1.0, 1.0);
    s.n1 = std::sqrt(t) / (l * kInvSqrt2);
    s.d1 = 1.0 / (m * kInvSqrt2);
    if (highShelf)
        s.n2 = t;
    else
        s.n0 = t;
    if (G < 1.0) {
        std::swap(s.n2, s.d2);
        std::swap(s.n1, s.d1);
        std::swap(s.n0, s.d0);
    }
    out[0] = s;
    return 1;
}

// One pole, one zero: the boost raises the high- (or low-) frequency numerator
// term, the cut raises the matching denominator term.
AnalogSection firstOrderShelf(bool highShelf, double gainDb)
{
    const double a = std::pow(10.0, std::fabs(gainDb) / 20.0);
    double n2 = 1.0, n1 = 1.0, d2 = 1.0, d1 = 1.0;
    if (gainDb > 0.0) {
        (highShelf ? n2 : n1) = a;
    } else if (gainDb < 0.0) {
        (highShelf ? d2 : d1) = a;
    }
    return firstOrder(n2, n1, d2, d1);
}

// (a s + 1)/(s + a): gain 1/a at DC, a at high frequencies, 0 dB at the pivot.
AnalogSection tiltShelf(bool highShelf, double gainDb)
{
    const double a = std::pow(10.0, (highShelf ? gainDb : -gainDb) * 0.05);
    return firstOrder(a, 1.0, 1.0, a);
}

}  // namespace

int shelfPrototype(int subtype, bool highShelf, double gainDb, double q, double shift, double bandHz,
                   AnalogSection out[kMaxSections])
{
    switch (subtype) {
    case 0:
        return kesShelf(highShelf, gainDb, q, shift, out);
    case 1:
        return shelf4kg(highShelf, gainDb, bandHz, out);
    case 2:
        return shelf110(highShelf, gainDb, bandHz, out);
    case 3:
        out[0] = shelf550(highShelf, gainDb, bandHz);
        return 1;
    case 4:
    case 5:
        return pultecShelf(highShelf, subtype == 5, gainDb, q, shift, bandHz, out);
    case 6:
        out[0] = firstOrderShelf(highShelf, gainDb);
        return 1;
    case 7:
        out[0] = tiltShelf(highShelf, gainDb);
        return 1;
    default:
        return 0;
    }
}

}  // namespace hm::dsp::design
