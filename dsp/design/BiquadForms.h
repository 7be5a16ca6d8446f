#pragma once
// Digital building blocks of the band mapper: each turns one analogue shape into a
// biquad (a0 = 1) whose magnitude matches the analogue one at DC, at Nyquist and at
// one or more chosen frequencies in between. Frequencies in Hz, fs the sample rate.
#include "dsp/AnalogSection.h"
#include "dsp/Biquad.h"

namespace hm::dsp {

// Largest level difference in dB between a biquad and an analogue section (in Hz)
// over the audio band: 24 points spaced evenly in log-frequency from 20 Hz to
// 0.45 fs, counted where the analogue level is at least `floor`, plus extraHz when
// it is positive (a resonance narrower than the points' spacing would otherwise go
// unseen, and a candidate that flattens it would win).
double worstLevelErrorDb(const Biquad& bq, const AnalogSection& analogue, double floor, double fs, double extraHz);

// The poles of 1/(s^2/w0^2 + s/(w0 q) + 1) mapped as they are (z = e^(sT)), w0 in
// radians per sample: the denominator z^2 + a1 z + a2.
void matchedPoles(double w0, double q, double& a1, double& a2);

// Peaking filter with prescribed Nyquist gain: reference gain 1, bandwidth gain
// sqrt(G) at the analogue band edges, and at Nyquist the gain of the analogue
// peak (s^2 + (A/Q)s + 1)/(s^2 + s/(AQ) + 1). A cut is the inverted boost.
Biquad peakingBiquad(double gainDb, double f0, double q, double fs);

// 1/(s^2/w0^2 + s/(w0 Q) + 1), matched at DC, at Nyquist and near its resonance.
Biquad resonantLowPass(double f0, double q, double fs);

// P (s/(w0 Q))/(s^2/w0^2 + s/(w0 Q) + 1), peaking at P at f0: zero at DC, the
// analogue gain at Nyquist, the peak at f0 and half its power at the lower band edge.
Biquad bandPassBiquad(double peak, double f0, double q, double fs);

// (s/w0)^2/(s^2/w0^2 + s/(w0 Q) + 1), matched at Nyquist and least-squares fitted
// at up to four reference frequencies.
Biquad resonantHighPass(double f0, double q, double fs);

// (gh s/wc + gl)/(s/wc + 1): gain gl at DC and the analogue gain at Nyquist, and the
// mean of the two squared gains at the analogue frequency where it occurs.
Biquad firstOrderShelf(double fc, double gh, double gl, double fs);

// Arbitrary second-order section (normalised by d2, radians per second): exact at
// DC and Nyquist, dampings fitted in between. When `inverted` comes back true the
// biquad approximates 1/H and must be inverted after refinement.
Biquad generalSection(const AnalogSection& normalised, double fs, bool& inverted);

// The same section with its poles and zeros mapped as they are (z = e^(sT)), the
// zeros into the unit circle, and the level at the poles' natural frequency
// matched: for a resonance narrower than the fit grid, whose place, width and
// height this keeps and the general mapping does not. False when the section has
// no pole pair or no zero pair to map.
bool matchedGeneralSection(const AnalogSection& normalised, double fs, Biquad& out);

// Bilinear transform prewarped at prewarpHz (at most 0.45 fs). The mapper prewarps
// every section of a band at the band frequency: one common frequency warping keeps
// the equiripple shape of an elliptic design and puts its passband edge exactly at
// the band frequency, where per-section prewarping at each section's own natural
// frequency distorts the passband beyond recognition once the corner nears fs/4.
// Section in radians per second.
Biquad bilinearSection(const AnalogSection& section, double prewarpHz, double fs);

// An all-pass section (numerator the denominator with s negated, radians per
// second) as a digital all-pass, whichever of two mappings tracks the analogue
// phase more closely from 20 Hz to fs/4: the bilinear transform prewarped at the
// band frequency, exact at the band frequency and narrowing the phase turn by the
// warping; or the poles mapped as they are with the reversed denominator above
// them, which keeps the turn's place and width. The poles of a resonant section
// (Q 5 and up) lie in the band and are best kept as they are (0.03 rad off at
// Q 50 and 22 kHz, where the bilinear image is 0.16 rad off); a low Q puts one
// real pole above Nyquist, which no mapping of the poles can hold, and there the
// bilinear image, whose phase runs from 0 to -2 pi as the analogue one does, is
// closer (0.09 rad at Q 0.1 and 5 kHz against 1.1).
Biquad allPassBiquad(const AnalogSection& section, double bandHz, double fs);

// 1/H of a biquad whose b0 is non-zero.
Biquad invertBiquad(const Biquad& bq);

}  // namespace hm::dsp
