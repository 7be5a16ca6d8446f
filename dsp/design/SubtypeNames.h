#pragma once
// Menu texts of the band subtypes, by engine band type.
namespace hm::dsp {

// Number of subtypes the type offers (0 for types without a subtype menu).
int subtypeCount(int type);
// Menu text of a subtype, or nullptr when the type has no such subtype.
const char* subtypeName(int type, int subtype);

}  // namespace hm::dsp
