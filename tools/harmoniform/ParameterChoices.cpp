#include "tools/harmoniform/ParameterChoices.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "core/params/Conversion.h"
#include "core/params/ParamIds.h"
#include "core/params/ParamTable.h"

namespace hm::tool {
namespace {

// Names per real value (value = minimum + position); each position may have
// several spellings, the first being the one printed.
using ChoiceList = std::vector<std::vector<std::string>>;

ChoiceList listedChoices(int index) {
    switch (index) {
        case kMode: return {{"IIR"}, {"FIR"}};
        case kParallel: return {{"Off", "All Series", "Series"}, {"Peaks", "Peaks Parallel"},
                                {"Shelves", "Peaks and Shelves Parallel"}};
        case kABBank: return {{"A"}, {"B"}, {"C"}, {"D"}, {"E"}, {"F"}, {"G"}, {"H"}};
        case kIRLength: {
            ChoiceList list;
            for (int v = 0; v <= 8; ++v) list.push_back({std::to_string(1024 << v)});
            return list;
        }
        case kIRWindow:
            return {{"Rectangular"}, {"Hann"},   {"Hamming"},        {"Tukey"},         {"Cosine"},
                    {"Lanczos"},     {"Triangular"}, {"Gaussian"},   {"Bartlett-Hann"}, {"Blackman"},
                    {"Kaiser"},      {"Nutall"}, {"Blackman-Harris"}, {"Blackman-Nutall"}, {"FlatTop"}};
        case kIRPhase: return {{"Linear"}, {"Full Minimum"}, {"Zero-latency Analogue"}, {"Analogue"}, {"Free"}};
        case kIRPad: return {{"1", "x1"}, {"2", "x2"}, {"4", "x4"}, {"8", "x8"}};
        case kDPlusLen: return {{"Off"}, {"16"}, {"32"}, {"64"}, {"128"}, {"256"}, {"512"}};
        default: break;
    }
    switch (bandFieldOf(index)) {
        case kBandState: return {{"Off"}, {"Bypass", "Byp", "Bypassed"}, {"On", "Active"}};
        case kBandType:
            return {{"Peak", "Bell"},
                    {"HPF", "High-pass", "HP", "Low Cut"},
                    {"LowShelf", "LSh"},
                    {"HighShelf", "HSh"},
                    {"LPF", "Low-pass", "LP", "High Cut"},
                    {"Notch"}};
        default: break;
    }
    if (channelFieldOf(index) == kChannelPhase) return {{"Normal", "Norm"}, {"Inverted", "Inv", "Invert"}};
    if (isParam(index) && staticParamTable()[index].kind == kKindSwitch) return {{"Off"}, {"On"}};
    return {};
}

// A band's Groups: group g (1..8) is bit 8 - g.
constexpr int kGroup1 = 128, kGroup2 = 64;

bool isSwitch(int index) { return isParam(index) && staticParamTable()[index].kind == kKindSwitch; }

// The usual words for a switch's two positions.
int switchPosition(const std::string& k) {
    for (const char* off : {"off", "false", "no"})
        if (k == off) return 0;
    for (const char* on : {"on", "true", "yes"})
        if (k == on) return 1;
    return -1;
}

ChoiceMatch matchGroups(const std::string& k, bool midSide, double& real, std::string& error) {
    const auto found = [&](int mask) {
        real = mask;
        return ChoiceMatch::Found;
    };
    if (k == "all") return found(255);
    if (k == "none") return found(0);
    if (k == "stereo" || k == "both" || k == "left+right" || k == "mid+side") return found(kGroup1 | kGroup2);
    const bool leftRight = k == "left" || k == "right";
    const bool mid = k == "mid" || k == "side";
    if (!leftRight && !mid) return ChoiceMatch::None;
    if (leftRight == midSide) {
        error = midSide ? "the first channel pair is mid/side (MS State), so its groups are Mid and Side; "
                          "use Mid or Side, or set \"MS State=Left/Right\" first"
                        : "the first channel pair is left/right (MS State), so its groups are Left and Right; "
                          "use Left or Right, or set \"MS State=Mid/Side\" first";
        return ChoiceMatch::Refused;
    }
    return found(k == "left" || k == "mid" ? kGroup1 : kGroup2);
}

std::string groupsName(int mask, bool midSide) {
    switch (mask) {
        case 255: return "All";
        case 0: return "None";
        case kGroup1: return midSide ? "Mid" : "Left";
        case kGroup2: return midSide ? "Side" : "Right";
        case kGroup1 | kGroup2: return midSide ? "Mid+Side" : "Stereo";
        default: break;
    }
    std::string text = "groups";
    for (int g = 1; g <= 8; ++g)
        if ((mask >> (8 - g)) & 1) text += (text.size() > 6 ? ", " : " ") + std::to_string(g);
    return text;
}

// MS State holds one bit per channel pair, pair 0 in bit 3.
std::string msStateName(int value) {
    if (value == 0) return "Left/Right";
    if (value == 8) return "Mid/Side";
    std::string text = "Mid/Side pairs";
    for (int pair = 0; pair < 4; ++pair)
        if ((value >> (3 - pair)) & 1)
            text += (text.size() > 14 ? ", " : " ") + std::to_string(2 * pair + 1) + "+" + std::to_string(2 * pair + 2);
    return text;
}

}  // namespace

std::string nameKey(std::string_view text) {
    std::string k;
    for (char c : text) {
        if (c == ' ' || c == '-' || c == '_' || c == '\t') continue;
        k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return k;
}

ChoiceMatch matchChoice(int index, std::string_view text, bool firstPairMidSide, double& real, std::string& error) {
    if (!isParam(index)) return ChoiceMatch::None;
    const std::string k = nameKey(text);
    if (bandFieldOf(index) == kBandGroups) return matchGroups(k, firstPairMidSide, real, error);
    if (index == kMsState) {
        if (k == "left/right" || k == "leftright" || k == "lr") real = 0;
        else if (k == "mid/side" || k == "midside" || k == "ms") real = 8;
        else return ChoiceMatch::None;
        return ChoiceMatch::Found;
    }
    const ChoiceList choices = listedChoices(index);
    for (std::size_t p = 0; p < choices.size(); ++p)
        for (const std::string& spelling : choices[p])
            if (nameKey(spelling) == k) {
                real = staticParamTable()[index].minimum + static_cast<double>(p);
                return ChoiceMatch::Found;
            }
    if (isSwitch(index)) {
        if (const int position = switchPosition(k); position >= 0) {
            real = position;
            return ChoiceMatch::Found;
        }
    }
    return ChoiceMatch::None;
}

std::string choiceName(int index, double real, bool firstPairMidSide) {
    if (!isParam(index) || !std::isfinite(real)) return {};
    const int whole = static_cast<int>(std::lround(real));
    if (bandFieldOf(index) == kBandGroups) return groupsName(whole, firstPairMidSide);
    if (index == kMsState) return msStateName(whole);
    const ChoiceList choices = listedChoices(index);
    const long position = whole - std::lround(staticParamTable()[index].minimum);
    if (position < 0 || position >= static_cast<long>(choices.size())) return {};
    return choices[static_cast<std::size_t>(position)].front();
}

std::string instanceChoiceName(host::PluginInstance& instance, int index) {
    const auto real = [&](int i) {
        const ParamRecord& r = staticParamTable()[i];
        return normalisedToRealBase(r.kind, r.minimum, r.maximum, instance.getParameter(i));
    };
    if (!isParam(index)) return {};
    return choiceName(index, real(index), (std::lround(real(kMsState)) & 8) != 0);
}

std::string choiceList(int index) {
    if (bandFieldOf(index) == kBandGroups) return "Left, Right, Mid, Side, Stereo, All, None";
    if (index == kMsState) return "Left/Right, Mid/Side";
    std::string text;
    for (const auto& spellings : listedChoices(index)) text += (text.empty() ? "" : ", ") + spellings.front();
    return text;
}

}  // namespace hm::tool
