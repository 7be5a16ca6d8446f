#pragma once
// Bands tuned to the textbook digital curve. Correction tools compute their
// filter lists against the textbook digital biquads at the rate the correction
// plays at, cramping toward Nyquist included; a band set to a filter's own Fc,
// gain and Q follows the analogue prototype instead and parts from that curve
// in the treble (by several dB near 16 kHz for a peak close to Nyquist).
//
// fitToTextbook moves the frequency, gain and Q of every band (a shelf's and a
// pass filter's too; a first-order shelf has no Q, a notch and a pass filter no
// gain) so that the bands, as the bank designs them at the playing rate, sum to
// the filters' textbook response from 20 Hz to 16 kHz. It is a damped
// Gauss-Newton (Levenberg-Marquardt) fit of all bands at once: each band first
// alone against its own filter, then all together on the analogue prototypes,
// then passes whose residuals are the bank's digital designs (the slopes stay
// the prototypes', except near Nyquist), with weights that grow where the
// difference is largest (the aim is the largest difference, not the mean).
// Each band is pulled gently toward its filter's own settings and kept near its
// gain and Q, so that bands whose filters lie near Nyquist, of which the range
// sees only a skirt, do not wander off to settings that cancel one another.
// When that leaves the bands off, the fit starts again with other pulls, then
// takes every band's slopes from its design, and tries a peak close to Nyquist
// as a high shelf.
//
// Levels below kFloorDb (the bottom of a notch) are compared as kFloorDb.
// Pure functions; any thread; 50 to 250 ms for ten to twenty filters.
#include <vector>

#include "core/params/ParamIds.h"
#include "core/peq/PeqMapping.h"

namespace hm::peq {

inline constexpr double kFitUpToHz = 16000.0;
inline constexpr double kFitFromHz = 20.0;
inline constexpr double kFloorDb = -40.0;

// One band's magnitude in dB as the bank runs it at `sampleRate`, from the
// band's ten real fields (Gain as a fraction of `scaleDb`), at each of `hz`.
void bandDigitalDb(const double (&fields)[kParamsPerBand], double scaleDb, double sampleRate,
                   const std::vector<double>& hz, std::vector<double>& db);

// The filters' textbook digital response at `sampleRate` on the channel
// (-1 or 0: left or every channel, 1 right), preamp left out, at each of `hz`.
std::vector<double> textbookDb(const Import& import, double sampleRate, int channel, const std::vector<double>& hz);

// The bands' response as the bank runs them at `sampleRate` on the channel,
// master gain left out.
std::vector<double> bandsDigitalDb(const Import& import, double sampleRate, int channel, const std::vector<double>& hz);

// Re-tunes the bands of `import` (which importText mapped to the analogue
// prototypes) for playing at `sampleRate`; sets import.playRate. Leaves them
// as they are (playRate 0) when a filter lies at or above the Nyquist frequency
// of that rate, where it has no textbook biquad.
void fitToTextbook(Import& import, double sampleRate);

}  // namespace hm::peq
