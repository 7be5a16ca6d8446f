#pragma once
// The channel model: processing order of the host's channels and the names of
// channels and groups for one to eight channels.
#include <string>

namespace hm {

// order[c] = host channel that processing channel c reads and writes. Hosts send
// surround as left, centre, right, surrounds, LFE; processing keeps the front pair
// first, then the surrounds, then centre and LFE. Entries past `channels` are identity.
void channelOrderFor(int channels, int order[8]);

// Name of processing channel `channel` (0-based) for a channel count; "Mid"/"Side"
// for a stereo pair processed as mid/side. Empty for an index out of range.
const char* channelNameFor(int channels, int channel, bool midSide);

// Group names for a channel count: "Mono"; "Left"/"Right" or "Mid"/"Side"; or the
// numbers "1".."C". Returns the number of names written (the channel count).
int groupNamesFor(int channels, bool midSide, std::string names[8]);

// kMsState is stored with its four bits in reverse order (bit 0 <-> bit 3).
int reverseFourBits(int value);

}  // namespace hm
