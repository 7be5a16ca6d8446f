#pragma once
// The parameter table: one record per host parameter with its name, label,
// range, conversion kind and values. The library holds one static table with
// the defaults; every instance copies it at construction.
#include <array>

#include "core/params/ParamIds.h"

namespace hm {

struct ParamRecord {
    char name[32];
    char label[32];  // also selects the display format
    float value;     // real value: the default in the static table, the current one at run time
    float minimum;
    float maximum;
    int kind;          // ConversionKind
    float normalised;  // host value 0..1
};

using ParamTable = std::array<ParamRecord, kNumParams>;

// The static table, built on first use; every normalised value is computed from its default.
const ParamTable& staticParamTable();

// Parameters whose change belongs to the processing (DSP) part of a preset rather
// than the EQ part: the FIR and Digital+ settings and the IIR/FIR mode.
bool isDspPartParam(int index);

// A parameter's real value for a normalised one, and back, by the static
// table's range and conversion kind (base conversion: band gains as a fraction
// of Scale, band frequencies before Shift). Out-of-range indices give 0.
double staticRealOf(int index, double normalised);
float staticNormalisedOf(int index, double real);

}  // namespace hm
