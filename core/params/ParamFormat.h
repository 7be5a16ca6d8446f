#pragma once
// Display texts of parameter values, as the host and the editor show them.
#include <cstddef>

#include "core/params/ParamTable.h"

namespace hm {

enum class NumberFormat { Precise = 0, Simple = 1 };

// flags bit 0: show a frequency as a note name (A4+0).
constexpr int kFormatNoteNames = 1;

// Writes the text for real value `real` of parameter `index` (the real value
// already includes the instance's gain, frequency and Q adjustments). `bandAware`
// selects the equaliser's rules (band gain and frequency cases, precise/simple);
// without it the generic rules of the parameter store apply.
void formatParameterText(int index, const ParamRecord& record, double real, int flags, NumberFormat format,
                         bool bandAware, char* text, std::size_t size);

// Note name of a frequency: nearest equal-tempered note to A4 = 440 Hz, octave and cents.
void formatNoteName(double hz, char* text, std::size_t size);

}  // namespace hm
