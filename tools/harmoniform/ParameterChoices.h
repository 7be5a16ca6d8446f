#pragma once
// The named values of the choice parameters, both ways: a name typed on the
// command line to the parameter's real value, and a real value to the name the
// tool prints beside the host's display text.
//
//   band State      Off, Bypass (Byp), On
//   band Type       Peak, HPF, LowShelf (LSh), HighShelf (HSh), LPF, Notch
//   band Groups     Left/Mid (group 1), Right/Side (group 2), Stereo (both), All, None
//   Mode            IIR, FIR           MS State   Left/Right, Mid/Side
//   Parallel, IRWindow, IRPhase, IRLength, IRPad, D+Len, A/B: their menu items
//   switches        Off/On; a channel's Phase Normal/Inverted
// Names compare without letter case, blanks, '-' and '_'.
#include <string>
#include <string_view>

#include "tools/harmoniform/PluginHost.h"

namespace hm::tool {

// The comparison form of a name: lower case, without blanks, '-' and '_'.
std::string nameKey(std::string_view text);

enum class ChoiceMatch {
    None,     // not a name of this parameter's values
    Found,    // `real` holds the value
    Refused,  // a name of a value that does not fit the current state; `error` says why
};

// `firstPairMidSide`: the first channel pair is processed as mid/side, which
// names its two groups Mid and Side instead of Left and Right.
ChoiceMatch matchChoice(int index, std::string_view text, bool firstPairMidSide, double& real, std::string& error);

// The name of parameter `index` at `real` ("On", "HPF", "Mid/Side", "Side");
// empty for parameters without named values.
std::string choiceName(int index, double real, bool firstPairMidSide);

// choiceName of an instance's current value of parameter `index` (and its
// current mid/side state); the instance must be this project's equaliser.
std::string instanceChoiceName(host::PluginInstance& instance, int index);

// The names a choice parameter takes, for messages ("Off, Bypass, On"); empty
// for parameters without named values.
std::string choiceList(int index);

}  // namespace hm::tool
