#pragma once
// NAME=VALUE assignments of host parameters on the command line.
//
// NAME is a parameter's enumerator name (kBand1Gain) or the name the instance
// shows a host ("Band1 Gain"); letter case, blanks, '-' and '_' do not matter.
// VALUE is one of
//   - a normalised value 0..1 as a host exchanges it (0.75);
//   - a real value with its unit or a k multiplier: 6dB, -3.5dB, 440Hz, 1k5 or
//     1.5kHz (1500 Hz), 25%, 2Q, 8192Samples;
//   - a bare integer for the stepped parameters (Band1 Subtype=3, kBand1State=2);
//   - a choice name: On/Off, Peak, HPF, LSh, HSh, LPF, Notch, Off/Byp/On, IIR/FIR,
//     the processing menus' items ("Linear", "Hann", "x2", "8192") and A..H.
// Real values are converted by the parameter model's own conversion kinds; band
// gains and frequencies are the values a host shows, that is with the current
// Scale and frequency Shift applied, exactly as the instance converts them.
#include <string>
#include <string_view>
#include <vector>

namespace hm::tool {

// The instance's current global settings that host-facing band values depend on.
struct ParameterContext {
    double scaleDb = 18.0;     // real kScale: the dB that a band Gain of +1 stands for
    double shiftFactor = 1.0;  // real kFShift x 0.01
};

struct Assignment {
    int index = -1;
    float normalised = 0.0f;
};

// A name as names compare: without letter case, blanks, '-' and '_' ("band1 gain"
// finds "Band1 Gain").
std::string parameterKey(std::string_view text);

// Index 0..365 of a parameter name, or -1.
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
