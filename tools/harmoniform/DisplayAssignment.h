#pragma once
// NAME=VALUE for any VST 2.4 plug-in, by what the plug-in itself reports.
//
// A host knows nothing of a foreign plug-in's parameter scales, only the names
// and display texts it reports for normalised values. So:
//   - NAME is a parameter's reported name (letter case, blanks, '-' and '_' do
//     not matter: "g_3" finds "G 3");
//   - VALUE "norm:X" sets the normalised value X (0..1) as it is;
//   - any other VALUE is matched against the display: a choice text ("Bell",
//     "On") is found by scanning the normalised range; a number (a k multiplier
//     allowed: 1k5, 2.5k) is found on the number the display starts with, by
//     scanning and then bisecting between the two scan points around it, so it
//     works for linear, logarithmic and stepped scales alike as long as the
//     display moves one way with the value.
#include <string>
#include <string_view>

#include "tools/harmoniform/PluginHost.h"

namespace hm::tool {

// Sets the parameter; false with a message when the name or value is not found.
// On success `shown` holds what a host shows afterwards: the plug-in's display
// text and, when it has one, its label ("440 Hz").
bool assignByDisplay(host::PluginInstance& plugin, std::string_view text, std::string& shown, std::string& error);

// The number a display text starts with ("16.0", "-3.00 dB", "20.0k" = 20000);
// false when it starts with none.
bool displayNumber(std::string_view text, double& value);

}  // namespace hm::tool
