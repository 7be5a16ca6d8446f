#pragma once
// The parameter parts of a state document: a `parameters` object keyed by
// enumerator names ("kBypass" .. "kBand32Phase") holding normalised values, and
// `bandOrder` arrays. Plain functions over cJSON nodes; UI thread.
#include <cjson/cJSON.h>

#include "core/params/ParamValues.h"

namespace hm::state {

// Which parameters a preset carries: bit 0 the EQ part (everything but the DSP
// settings, plus the band order), bit 1 the DSP part, bit 2 the UI part.
enum PresetPart : int { kPartEQ = 1, kPartDSP = 2, kPartUI = 4, kAllParts = 7 };

bool parameterInParts(int index, int parts);

// A new `parameters` object with the values of the parameters in `parts`, in index order.
cJSON* writeParameters(const ParamValues& values, int parts);

// Stores every member of `parameters` whose name is exactly a parameter's
// enumerator name and whose parameter is in `parts`. Members are normally in
// index order, so the expected name is tried first. Non-numbers and non-finite
// numbers are ignored, other numbers clamped to 0..1. Returns how many were taken.
int readParameters(const cJSON* parameters, ParamValues& values, int parts);

// A new array of 32 band positions, and reading up to 32 of them back.
cJSON* writeBandOrder(const int (&order)[kNumBands]);
void readBandOrder(const cJSON* array, int (&order)[kNumBands]);

}  // namespace hm::state
