#pragma once
// The texts a host shows for a parameter: getParameterDisplay names the value
// and getParameterLabel carries its unit, or nothing for choices, so that the
// two side by side ("3.50" "dB", "Peak" "") never say the unit twice. The
// editor keeps its own texts (ParamFormat.h); these are for hosts' generic
// controls, automation lanes and the LV2 scale points.
#include <cstddef>
#include <string>
#include <vector>

namespace hm {

// What a value's name depends on besides the value itself.
struct HostTextContext {
    int bandType = 1;               // the band's Type 1..6: names its Subtype
    bool firstPairMidSide = true;   // names group 1 and 2 Mid and Side instead of Left and Right
    int channels = 2;               // with other than two, groups are "Mono" or numbered
};

// The unit of parameter `index` ("dB", "Hz", "%", "Q", "samples"), or "" for
// choices, switches and plain numbers; "" outside 0..365.
const char* hostParameterLabel(int index);

// The display text of parameter `index` at real value `real` (including the
// instance's gain and frequency adjustments): a number without unit, or the
// name of a choice.
void formatHostDisplay(int index, double real, const HostTextContext& context, char* text, std::size_t size);

// The name of choice `value` of parameter `index` in `context`; empty for
// parameters that are numbers and for values without a name.
std::string hostChoiceName(int index, int value, const HostTextContext& context);

// A band Subtype's names under every Type that has subtypes, for hosts that
// cannot follow the band's Type ("Kes", "Ox1 / Butterworth / 110"); empty past
// the last subtype of every type.
std::string subtypeNamesOfAllTypes(int subtype);

// The real value of parameter `index` whose display text is `text`: a choice's
// name (letter case, blanks and '-' ignored) or a number, with or without the
// parameter's unit. False when the text names no value of the parameter.
bool parseHostDisplay(int index, const std::string& text, const HostTextContext& context, double& real);

}  // namespace hm
