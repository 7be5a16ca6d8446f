#pragma once
// Readers for the value text fields: what a user types into a band or channel
// value field becomes a real value here; the editor converts it to the
// parameter's normalised form. Independent of the locale (a host may have set
// one with a decimal comma).
#include <optional>
#include <string>
#include <string_view>

namespace hm::gui {

// What a value field's text reads as: the real value in the parameter's unit,
// or, when the text is refused, a few words for the field to show instead.
struct TextReading {
    std::optional<double> value;
    std::string refusal;
};

// A value as engineers type it: an optional sign, digits with a decimal point
// ("0.7", ".5"), "k" as the point of thousands ("1k5" is 1500) or after the
// number ("1.5k"), then optionally the unit: `unit` itself, any case ("dB",
// "Hz", "%"), and "kHz" when the unit is "Hz". With `notes`, a note name
// ("A4", "C#3", "A4+12" in cents) reads as its frequency. Everything else is
// refused whole, never read in part: "0,7" (a decimal comma), "A4" where no
// note is wanted, "3 Hz" for a gain, letters.
TextReading readValueText(std::string_view text, std::string_view unit, bool notes);

// A whole note name and nothing else: a letter a..g (either case), an optional
// "#", the octave (an optional "-" and digits), optional cents ("+"/"-" and
// digits). "A4" is 440 Hz. Blanks around it are allowed.
TextReading readNoteText(std::string_view text);

}  // namespace hm::gui
