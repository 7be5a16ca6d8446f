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

// Output gain per processing channel: 10^(master dB / 20) x level, negated when the
// channel's phase is inverted; 0 when muted, and in "Mute" solo mode also when some
// channel is soloed and this one is not, or a band is auditioned outside this channel.
struct ChannelGainInputs {
    double masterDb = 0.0;
    double level[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    int phaseMask = 0;
    int muteMask = 0;
    int soloMask = 0;
    bool muteMode = false;  // "Solo Mode" "Mute"
    bool auditioning = false;
    int auditionMask = 0;
};
void outputGains(const ChannelGainInputs& in, double gains[8]);

// kMsState is stored with its four bits in reverse order (bit 0 <-> bit 3).
int reverseFourBits(int value);

}  // namespace hm
