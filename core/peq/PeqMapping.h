#pragma once
// From parametric EQ text records to a preset: every filter becomes one band,
// in the order of the text, as the band type and subtype whose analogue
// response is the filter's textbook analogue prototype:
//
//   PK          Peak "Kes" (one section (s² + s·A/Q + 1)/(s² + s/(A·Q) + 1))
//   LS/LSC, HS/HSC   second order: shelf "Kes" without shift, frequency and Q
//               moved so its poles and zeros land where the textbook shelf has
//               them (the "Kes" band frequency is the pole, not the midpoint);
//               "6dB": shelf "First Order", same midpoint
//   LP/LPQ, HP/HPQ   low-/high-pass "Kes" at 12 dB per octave with the Q
//   NO          Notch;  AP: low-pass "Allpass" at 12 dB per octave
//   BP          none (no band passes a band at unity gain)
//
// OFF filters become bypassed bands; Preamp becomes the output Gain, and where
// the channels' preamps differ, the largest does and the channel Levels take the
// rest; channel
// selections become band groups (and the first channel pair left/right when the
// text selects channels, or the channels' preamps differ). Scale stays at its default unless a gain needs
// more. Everything else keeps a new instance's default. Pure functions; any thread.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/params/ParamIds.h"
#include "core/peq/PeqText.h"

namespace hm::peq {

// Normalised values of all parameters, as a program holds them.
using PresetValues = std::array<float, kNumParams>;

// A new instance's values (the static table's defaults).
PresetValues defaultValues();

struct Import {
    PresetValues values{};
    std::vector<Filter> mapped;      // the filters that became bands, in band order
    std::vector<Diagnostic> errors;  // the reader's and the mapper's, in line order
    double preampDb = 0.0;           // as applied to the output Gain (0 when the preamp was refused)
    // Each channel's preamp as applied: the output Gain, and a channel Level for
    // a channel whose Preamp lines differ (a file with Channel: L, Preamp: -6 dB,
    // Channel: R, Preamp: -2 dB).
    std::array<double, 8> channelPreampDb{};
    bool tooManyFilters = false;     // refused whole: more filters than bands
    bool refused = false;            // refused whole: no filter list (see Text::refused)
    // The rate the bands were fitted for (fitToTextbook), 0 while they are the
    // filters' analogue prototypes.
    double playRate = 0.0;

    // Whether the preset may be applied: no errors, or lenient (errors skip
    // their lines) unless the file is refused whole.
    bool usable(bool lenient) const { return !tooManyFilters && !refused && (lenient || errors.empty()); }
};

// Reads and maps a whole text. Leniently, a filter whose frequency, Q or gain
// lies beyond the bands' ranges is applied with the nearest setting the bands
// have (a diagnostic marked applied says what changed), while `mapped` keeps
// the filter as written, so that the fidelity report shows what the clamping
// cost against the file's curve and a fit aims at that curve.
Import importText(std::string_view text, bool lenient = false);

// The analogue Q the filter stands for: its Q, the Q of its bandwidth in
// octaves (between the half-gain points of a peak, the -3 dB points of a notch),
// or for a shelf's slope form the textbook shelf slope S = dB / 12.
double analogueQ(const Filter& f);

}  // namespace hm::peq
