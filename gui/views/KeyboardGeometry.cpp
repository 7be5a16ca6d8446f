#include "gui/views/KeyboardGeometry.h"

#include <algorithm>
#include <cmath>

namespace hm::gui {

namespace {
constexpr KeyKind kKinds[12] = {kKeyWhiteBlackAbove, kKeyBlack,           kKeyWhiteBetween, kKeyBlack,
                                kKeyWhiteBlackBelow, kKeyWhiteBlackAbove, kKeyBlack,        kKeyWhiteBetween,
                                kKeyBlack,           kKeyWhiteBetween,    kKeyBlack,        kKeyWhiteBlackBelow};
// White keys before each pitch class in its octave.
constexpr int kWhitesBefore[12] = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
constexpr double kBlackKeyShare = 0.375;  // half the black key's width, in semitones

int pitchClassOf(int note) { return ((note % 12) + 12) % 12; }
}  // namespace

KeyKind keyKind(int pitchClass) { return kKinds[pitchClassOf(pitchClass)]; }

double KeyboardGeometry::offset(int pitchClass) const {
    const int p = pitchClassOf(pitchClass);
    const double w = kWhitesBefore[p];
    const KeyKind kind = kKinds[p];
    const double edge = (kind == kKeyWhiteBlackAbove || kind == kKeyBlack) ? w - 0.5 : w + 0.5;
    return edge * k - p * s;
}

double KeyboardGeometry::x(int note) const { return note * s + offset(note) + base; }

double KeyboardGeometry::pitchX(int note) const { return note * s + base; }

double KeyboardGeometry::keyCentre(int note) const {
    switch (keyKind(note)) {
        case kKeyWhiteBlackAbove: return x(note) + k * 0.5;
        case kKeyBlack: return x(note);
        default: return x(note) - k * 0.5;
    }
}

double KeyboardGeometry::xOfFrequency(double hz) const { return hz > 0.0 ? std::log(hz / fMin) * c : -1e9; }

double KeyboardGeometry::frequencyAtX(double px) const { return fMin * std::exp(px / c); }

double KeyboardGeometry::noteFrequency(int note) const { return std::exp2((note - 69) / 12.0) * reference; }

int KeyboardGeometry::noteAt(double px, double py, double height) const {
    const int estimate = static_cast<int>(std::lround((px - base) / s));
    if (py < height * 0.5) {
        for (int n = estimate - 2; n <= estimate + 2; ++n)
            if (keyKind(n) == kKeyBlack && std::abs(px - x(n)) <= kBlackKeyShare * s) return n;
    }
    int best = estimate;
    double bestDistance = 1e300;
    for (int n = estimate - 2; n <= estimate + 2; ++n) {
        if (keyKind(n) == kKeyBlack) continue;
        const double d = std::abs(px - keyCentre(n));
        if (d < bestDistance) {
            bestDistance = d;
            best = n;
        }
    }
    return best;
}

KeyboardGeometry keyboardGeometry(double width, double fMin, double fMax, double reference) {
    KeyboardGeometry g;
    g.width = std::max(1.0, width);
    g.fMin = std::isfinite(fMin) && fMin > 0.0 ? fMin : 10.0;
    g.fMax = std::isfinite(fMax) && fMax > g.fMin * 1.01 ? fMax : g.fMin * 2.0;
    g.reference = std::isfinite(reference) && reference > 0.0 ? reference : 440.0;
    g.c = g.width / std::log(g.fMax / g.fMin);
    g.s = g.c * std::log(2.0) / 12.0;
    g.k = g.c * std::log(2.0) / 7.0;
    g.base = std::log(g.reference / g.fMin) * g.c - 69.0 * g.s;
    g.lowNote = static_cast<int>(std::floor(12.0 * std::log2(g.fMin / g.reference) + 69.0));
    g.highNote = static_cast<int>(std::ceil(12.0 * std::log2(g.fMax / g.reference) + 69.0));
    return g;
}

}  // namespace hm::gui
