#include "core/ChannelModel.h"

#include <cmath>

namespace hm {

void channelOrderFor(int channels, int order[8]) {
    for (int c = 0; c < 8; ++c) order[c] = c;
    static const int k3[] = {0, 2, 1};
    static const int k5[] = {0, 2, 3, 4, 1};
    static const int k6[] = {0, 2, 3, 4, 1, 5};
    static const int k7[] = {0, 2, 3, 4, 5, 6, 1};
    static const int k8[] = {0, 2, 3, 4, 5, 6, 1, 7};
    const int* table = nullptr;
    switch (channels) {
        case 3: table = k3; break;
        case 5: table = k5; break;
        case 6: table = k6; break;
        case 7: table = k7; break;
        case 8: table = k8; break;
        default: return;  // 1, 2, 4: identity
    }
    for (int c = 0; c < channels; ++c) order[c] = table[c];
}

const char* channelNameFor(int channels, int channel, bool midSide) {
    static const char* const kNames[9][8] = {
        {},
        {"Mono"},
        {"Left", "Right"},
        {"Left", "Right", "Center"},
        {"Left", "Right", "Center", "Surr"},
        {"Left", "Right", "Ls", "Rs", "Center"},
        {"Left", "Right", "Ls", "Rs", "Center", "LFE"},
        {"Left", "Right", "Ls", "Rs", "Lsr", "Rsr", "Center"},
        {"Left", "Right", "Ls", "Rs", "Lsr", "Rsr", "Center", "LFE"},
    };
    if (channels < 1 || channels > 8 || channel < 0 || channel >= channels) return "";
    if (channels == 2 && midSide) return channel == 0 ? "Mid" : "Side";
    return kNames[channels][channel];
}

int groupNamesFor(int channels, bool midSide, std::string names[8]) {
    if (channels < 1) channels = 1;
    if (channels > 8) channels = 8;
    if (channels <= 2) {
        for (int c = 0; c < channels; ++c) names[c] = channelNameFor(channels, c, midSide);
    } else {
        for (int c = 0; c < channels; ++c) names[c] = std::to_string(c + 1);
    }
    return channels;
}

void outputGains(const ChannelGainInputs& in, double gains[8]) {
    const double master = std::pow(10.0, in.masterDb / 20.0);
    for (int c = 0; c < 8; ++c) {
        const int bit = 1 << c;
        double g = master * in.level[c] * (in.phaseMask & bit ? -1.0 : 1.0);
        if (in.muteMask & bit) g = 0.0;
        if (in.muteMode && in.soloMask != 0 && !(in.soloMask & bit)) g = 0.0;
        if (in.muteMode && in.auditioning && !(in.auditionMask & bit)) g = 0.0;
        gains[c] = std::isfinite(g) ? g : 0.0;
    }
}

int reverseFourBits(int v) { return ((v & 1) << 3) | ((v & 2) << 1) | ((v & 4) >> 1) | ((v & 8) >> 3); }

}  // namespace hm
