#pragma once
// NAME=VALUE assignments of host parameters on the command line.
//
// NAME is a parameter's enumerator name (kBand1Gain), the name the instance
// shows a host ("Band1 Gain"; letter case, blanks, '-' and '_' do not matter)
// or its index (50).
// VALUE is one of
//   - the value as a host shows it, in the parameter's own unit, with or without
//     the unit and with or without a blank before it: Gain=-3 (dB), Q=0.7,
//     Frequency=440, 1k5, 1.5kHz or "1 kHz", Shift=25 (%), Slope=18 (dB/oct),
//     a channel's Level=-6 (dB; -inf for silence), IRLength=8192 (samples),
//     IRPad=2, Subtype=3, Groups=192;
//   - a choice name (ParameterChoices.h): On, Bypass, HPF, IIR, Mid, Hann, ...;
//   - a host's normalised value 0..1 with the suffix n (0.25n).
// Real values out of the parameter's range are refused with the range, never
// clamped. They are converted by the parameter model's own conversion kinds;
// band gains and frequencies are the values a host shows, that is with the
// current Scale and frequency Shift applied, exactly as the instance converts them.
#include <string>
#include <string_view>
#include <vector>

namespace hm::tool {

// Pieces the command-line parsers share: the text without white space at either
// end, and 'text' for naming what a user wrote in a message.
std::string_view trim(std::string_view s);
std::string quoted(std::string_view text);

// The instance's current global settings that host-facing band values depend on.
struct ParameterContext {
    double scaleDb = 18.0;          // real kScale: the dB that a band Gain of +1 stands for
    double shiftFactor = 1.0;       // real kFShift x 0.01
    bool firstPairMidSide = true;   // kMsState's bit of the first pair (on by default)
};

struct Assignment {
    int index = -1;
    float normalised = 0.0f;
};

// Index 0..365 of a parameter name (or of its index written out), or -1.
int findParameter(std::string_view name);

// Up to `count` names nearest to an unknown one (by edit distance), each written
// as "kBand1Gain (Band1 Gain)".
std::vector<std::string> nearestParameterNames(std::string_view name, std::size_t count = 5);

// Converts VALUE for parameter `index`. False with a message when the value does
// not fit the parameter (wrong unit, out of range, unknown choice).
bool parseParameterValue(int index, std::string_view value, const ParameterContext& context, float& normalised,
                         std::string& error);

// Parses "NAME=VALUE". False with a message (listing the nearest names when the
// name is unknown).
bool parseAssignment(std::string_view text, const ParameterContext& context, Assignment& out, std::string& error);

// The name a message should use for a parameter: "kBand1Gain (Band1 Gain)".
std::string describeParameter(int index);

}  // namespace hm::tool
