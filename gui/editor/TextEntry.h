#pragma once
// Readers for the value text fields: what a user types into a band or channel
// value field becomes a real value here; the editor converts it to the
// parameter's normalised form. Independent of the locale (a host may have set
// one with a decimal comma).
#include <optional>
#include <string_view>

namespace hm::gui {

// A note name as a frequency in Hz: the first letter a..g (either case) names
// the note, "#" raises it a semitone, then an optional "-" and the octave
// digits, then optional cents ("+" or "-" and digits). "A4" is 440 Hz, "C4"
// 261.6 Hz, "A#4-50" half a semitone above A4. Nothing without a note letter.
std::optional<double> parseNoteFrequency(std::string_view text);

// A plain number where the first lower-case "k" is the decimal point and
// multiplies by 1000 ("2k" 2000, "1k5" 1500). At most 31 characters are read.
// Nothing when the text does not read as a number (a 0 from text without any
// "0" in it counts as unreadable).
std::optional<double> parseValueText(std::string_view text);

// A level in dB as a linear gain: 10^(dB/20). A text that reads as 0 (also
// unreadable text) gives 0 dB; a reading that is neither zero nor a normal
// number (denormal, infinite) gives nothing.
std::optional<double> parseLevelText(std::string_view text);

}  // namespace hm::gui
