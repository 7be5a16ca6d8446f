#pragma once
// What the update hands to the audio thread besides the filter coefficients: the
// channel layout, output gains, listening masks and meter settings. Published as
// one record through a triple buffer and adopted at the start of a block.
#include <cstdint>

namespace hm {

struct ProcessSettings {
    int inputs = 2;    // effect record counts at the last resume
    int outputs = 2;
    int channels = 2;  // processing channels, 1..8
    int order[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    double targetGain[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    int msMask = 0;  // bit k: pair (2k, 2k + 1) as mid/side
    bool bypass = false;
    int bypassFadeFrames = 220;  // length of the crossfade into and out of bypass
    bool soloSelect = true;  // "Solo Mode" "Select" (else "Mute")
    int soloMask = 0;
    int auditionMask = 0;
    bool auditioning = false;
    bool meterInput = false;
    double clipThreshold = 1.0;
    double attack = 1.0;  // meter ballistics coefficients
    double release = 0.0;
    // Moves at every resume: the audio side then clears rings, meters and filter
    // memories and starts from the target gains without a ramp.
    std::uint32_t resetSerial = 0;
};

}  // namespace hm
