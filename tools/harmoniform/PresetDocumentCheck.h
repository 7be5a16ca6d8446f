#pragma once
// What the plug-in would pass over in a preset or bank document without a word:
// members it does not know (at the top, in a program or an A/B slot) and
// parameter names that match no parameter exactly (a misspelt "kBand1Gian", or
// "kband1gain": parameter names are case-sensitive), and parameter values that
// are not numbers. Used by `preset show`, which says so.
#include <string>
#include <vector>

struct cJSON;

namespace hm::tool {

// One line per finding, each naming where it is ("presets[3].parameters:
// 'kBand1Gian' is no parameter; nearest kBand1Gain").
std::vector<std::string> unreadMembers(const cJSON* document);

}  // namespace hm::tool
