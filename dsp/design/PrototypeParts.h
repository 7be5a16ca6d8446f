#pragma once
// The building blocks behind prototypeFor(): one function per family or circuit
// group, each writing analogue sections in the normalised prototype variable
// (corner or centre at s = j). Frequency scaling to the band frequency is applied
// once, by the dispatcher. Every function returns the number of sections written
// (1..kMaxSections); 0 means "not handled here", which the dispatcher turns into
// the unity section.
#include "dsp/AnalogSection.h"

namespace hm::dsp::design {

// Section constructors in the stored form of AnalogSection.
inline AnalogSection unitySection() { return AnalogSection{}; }
inline AnalogSection secondOrder(double n2, double n1, double n0, double d2, double d1, double d0)
{
    return AnalogSection{n2, n1, n0, d2, d1, d0};
}
// (n2 s + n1) / (d2 s + d1), stored multiplied through by s.
inline AnalogSection firstOrder(double n2, double n1, double d2, double d1)
{
    return AnalogSection{n2, n1, 0.0, d2, d1, 0.0};
}
inline bool isSecondOrder(const AnalogSection& s) { return s.n0 != 0.0 || s.d0 != 0.0; }

// s -> c*s (c > 0). Valid for both stored forms (the common factor of a
// first-order section cancels).
void substituteScaled(AnalogSection& s, double c);

// Low-pass families by high-/low-pass subtype ("Kes" .. "Harmonics") at order 1..8.
int lowPassFamily(int subtype, int order, double q, AnalogSection out[kMaxSections]);
// Pole-table families: Bessel (-3 dB at w = 1) and optimum-L (Legendre).
int besselLowPass(int order, AnalogSection out[kMaxSections]);
int legendreLowPass(int order, AnalogSection out[kMaxSections]);
// Cauer low-pass with passband ripple rippleDb and the fixed selectivity.
int ellipticLowPass(int order, double rippleDb, AnalogSection out[kMaxSections]);
// Stopband edge of the elliptic family relative to its passband edge: 1 + 5/e.
double ellipticStopbandEdge();

// Peak prototypes (type peak) by subtype, with the gain-to-Q rule applied.
int peakPrototype(int subtype, double gainDb, double q, double shift, AnalogSection out[kMaxSections]);
// Shelf prototypes; highShelf selects type high shelf over low shelf.
int shelfPrototype(int subtype, bool highShelf, double gainDb, double q, double shift,
                   double bandHz, AnalogSection out[kMaxSections]);

// Gain-to-Q rules of the peak/band-pass subtypes. Returns Q' and writes the
// amplitude factor A (10^(gain/40), replaced by the "110" model).
double gainToQ(int subtype, double gainDb, double q, double shift, double* amplitude);

// Circuit models. Peaks are written in the prototype variable; shelves marked
// absolute in their source pre-scale themselves so the later scalings cancel.
AnalogSection peak4kg(double gainDb, double q);
AnalogSection peak250(double gainDb, double q);
int shelf4kg(bool highShelf, double gainDb, double bandHz, AnalogSection out[kMaxSections]);
int shelf110(bool highShelf, double gainDb, double bandHz, AnalogSection out[kMaxSections]);
AnalogSection shelf550(bool highShelf, double gainDb, double bandHz);
int pultecShelf(bool highShelf, bool cutModel, double gainDb, double q, double shift, double bandHz,
                AnalogSection out[kMaxSections]);

// Quartic c4 y^4 + c3 y^3 + c2 y^2 + c1 y + c0 = c4 (y^2 + p1 y + q1)(y^2 + p2 y + q2).
// Returns false (outputs untouched) when c4 is zero or no real factoring exists.
bool factorQuartic(const double c[5], double* p1, double* q1, double* p2, double* q2);
// Real roots of a z^3 + b z^2 + c z + d; returns their count (0..3).
int solveCubic(double a, double b, double c, double d, double roots[3]);

}  // namespace hm::dsp::design
