#include "core/params/HostText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/params/Conversion.h"
#include "core/params/ParamIds.h"
#include "core/params/ParamTable.h"
#include "dsp/AnalogSection.h"
#include "dsp/design/SubtypeNames.h"

namespace hm {
namespace {

constexpr const char* kBandStateNames[] = {"Off", "Bypass", "On"};
constexpr const char* kBandTypeNames[] = {"Peak", "High-pass", "Low Shelf", "High Shelf", "Low-pass", "Notch"};
constexpr const char* kParallelNames[] = {"Off", "Peaks", "Shelves"};
// Window types past the last named one compute a rectangular window.
constexpr const char* kWindowNames[] = {"Rectangular", "Hann",     "Hamming",   "Tukey",           "Cosine",
                                        "Lanczos",     "Triangular", "Gaussian", "Bartlett-Hann",  "Blackman",
                                        "Kaiser",      "Nutall",   "Blackman-Harris", "Blackman-Nutall", "FlatTop",
                                        "Rectangular"};
// Phase modes past "Free" select the free mode too.
constexpr const char* kIRPhaseNames[] = {"Linear", "Full Minimum", "Zero-latency Analogue", "Analogue",
                                         "Free",   "Free",         "Free",                  "Free"};

// Engine band type of the user-facing Type, for the subtype menus.
int engineType(int userType) {
    constexpr int kEngine[6] = {dsp::kTypePeak,      dsp::kTypeHighPass, dsp::kTypeLowShelf,
                                dsp::kTypeHighShelf, dsp::kTypeLowPass,  dsp::kTypeNotch};
    return userType >= 1 && userType <= 6 ? kEngine[userType - 1] : dsp::kTypeNone;
}

template <int N>
std::string named(const char* const (&names)[N], int position) {
    return position >= 0 && position < N ? names[position] : std::string();
}

// Group g (1..8) is bit 8 - g of a band's Groups. Groups are named as the
// instance names them: by the first pair's channels in stereo, "Mono" alone,
// by number with more channels.
std::string groupsName(int mask, bool midSide, int channels) {
    if (mask == 255) return "All";
    if (mask == 0) return "None";
    if (channels == 2) {
        if (mask == 128) return midSide ? "Mid" : "Left";
        if (mask == 64) return midSide ? "Side" : "Right";
        if (mask == 192) return midSide ? "Mid+Side" : "Left+Right";
    }
    if (channels == 1 && mask == 128) return "Mono";
    std::string text = (mask & (mask - 1)) ? "Groups" : "Group";
    bool first = true;
    for (int g = 1; g <= 8; ++g) {
        if (!((mask >> (8 - g)) & 1)) continue;
        text += (first ? " " : ", ") + std::to_string(g);
        first = false;
    }
    return text;
}

// MS State holds one bit per channel pair, pair 0 in bit 3.
std::string msStateName(int value) {
    if (value == 0) return "Left/Right";
    std::string text = "Mid/Side";
    if (value == 8) return text;
    bool first = true;
    for (int pair = 0; pair < 4; ++pair) {
        if (!((value >> (3 - pair)) & 1)) continue;
        text += (first ? " " : ", ") + std::to_string(2 * pair + 1) + "+" + std::to_string(2 * pair + 2);
        first = false;
    }
    return text;
}

std::string key(const std::string& text) {
    std::string k;
    for (char c : text) {
        if (c == ' ' || c == '-' || c == '_' || c == '\t') continue;
        k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return k;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}


// Parameters whose every value has a name.
bool isChoice(int index) {
    if (!isParam(index) || index == kIRWindowParam) return false;
    const int kind = staticParamTable()[index].kind;
    return kind == kKindSwitch || (kind == kKindInteger && index != kIRLength);
}

}  // namespace

const char* hostParameterLabel(int index) {
    if (!isParam(index)) return "";
    if (index == kGain || index == kScale) return "dB";
    if (index == kFShift) return "%";
    if (index == kIRLength) return "samples";
    if (channelFieldOf(index) == kChannelLevel) return "dB";
    switch (bandFieldOf(index)) {
        case kBandGain:
        case kBandSlope: return "dB";
        case kBandFrequency: return "Hz";
        case kBandQ: return "Q";
        case kBandShift:
        case kBandPhase: return "%";
        default: return "";
    }
}

std::string subtypeNamesOfAllTypes(int subtype) {
    std::vector<std::string> names;
    for (int type : {dsp::kTypePeak, dsp::kTypeHighPass, dsp::kTypeLowShelf}) {
        const char* name = dsp::subtypeName(type, subtype - 1);
        if (name && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : " / ") + name;
    return text;
}

std::string hostChoiceName(int index, int value, const HostTextContext& context) {
    if (!isParam(index)) return {};
    switch (index) {
        case kMode: return value == 0 ? "IIR" : value == 1 ? "FIR" : std::string();
        case kParallel: return named(kParallelNames, value);
        case kABBank: return value >= 0 && value < kNumABSlots ? std::string(1, static_cast<char>('A' + value)) : std::string();
        case kIRLength: return value >= 0 && value <= 8 ? std::to_string(1024 << value) : std::string();
        case kIRWindow: return named(kWindowNames, value);
        case kIRPhase: return named(kIRPhaseNames, value);
        case kIRPad: return value >= 0 && value <= 3 ? "x" + std::to_string(1 << value) : std::string();
        case kDPlusLen:
            if (value == 0) return "Off";
            return value >= 1 && value <= 6 ? std::to_string(8 << value) + " samples" : std::string();
        case kMsState: return value >= 0 && value <= 15 ? msStateName(value) : std::string();
        default: break;
    }
    switch (bandFieldOf(index)) {
        case kBandState: return named(kBandStateNames, value);
        case kBandType: return named(kBandTypeNames, value - 1);
        case kBandGroups: return value >= 0 && value <= 255 ? groupsName(value, context.firstPairMidSide, context.channels) : std::string();
        case kBandSubtype: {
            // Notches have no subtypes, and a type's list may end before 32: those
            // values design nothing and are named by their number.
            const char* name = dsp::subtypeName(engineType(context.bandType), value - 1);
            return name ? std::string(name) : "Subtype " + std::to_string(value);
        }
        default: break;
    }
    if (channelFieldOf(index) == kChannelPhase) return value == 0 ? "Normal" : value == 1 ? "Inverted" : std::string();
    if (staticParamTable()[index].kind == kKindSwitch) return value == 0 ? "Off" : value == 1 ? "On" : std::string();
    return {};
}

void formatHostDisplay(int index, double r, const HostTextContext& context, char* text, std::size_t size) {
    if (!text || size == 0 || !isParam(index)) return;
    const ParamRecord& record = staticParamTable()[index];
    if (record.kind == kKindSwitch) {
        // A switch is on only at its top value.
        std::snprintf(text, size, "%s", hostChoiceName(index, r < 0.5 ? 0 : 1, context).c_str());
        return;
    }
    if (isChoice(index) || index == kIRLength) {
        const int value = static_cast<int>(r);
        const std::string name = hostChoiceName(index, value, context);
        if (name.empty()) std::snprintf(text, size, "%d", value);
        else std::snprintf(text, size, "%s", name.c_str());
        return;
    }
    if (channelFieldOf(index) == kChannelLevel) {
        if (r < 0.000001) std::snprintf(text, size, "-inf");
        else std::snprintf(text, size, "%.1f", 20.0 * std::log10(r));
        return;
    }
    switch (bandFieldOf(index)) {
        case kBandSlope: std::snprintf(text, size, "%d", static_cast<int>(r)); return;
        case kBandFrequency: std::snprintf(text, size, "%.0f", r); return;
        case kBandShift:
        case kBandPhase: std::snprintf(text, size, "%.0f", r); return;
        default: break;
    }
    if (index == kFShift) std::snprintf(text, size, "%.0f", r);
    else std::snprintf(text, size, "%.2f", r);
}

bool parseHostDisplay(int index, const std::string& text, const HostTextContext& context, double& real) {
    if (!isParam(index)) return false;
    const ParamRecord& record = staticParamTable()[index];
    std::string k = key(text);
    if (k.empty()) return false;
    if (isChoice(index) || index == kIRLength) {
        const std::string unit = key(hostParameterLabel(index));
        for (int v = static_cast<int>(record.minimum); v <= static_cast<int>(record.maximum); ++v) {
            const std::string name = key(hostChoiceName(index, v, context));
            if (name.empty()) continue;
            const bool bareLength = endsWith(name, "samples") && k == name.substr(0, name.size() - 7);
            if (k == name || (!unit.empty() && k == name + unit) || bareLength) {
                real = v;
                return true;
            }
        }
        if (index == kIRLength) return false;
        if (record.kind == kKindSwitch) {
            for (const char* off : {"off", "false", "no"})
                if (k == off) return real = 0.0, true;
            for (const char* on : {"on", "true", "yes"})
                if (k == on) return real = 1.0, true;
        }
    }
    // Numbers keep their sign: only blanks and letter case are ignored.
    k.clear();
    for (char c : text)
        if (c != ' ' && c != '\t') k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string unit = key(hostParameterLabel(index));
    double factor = 1.0;
    if (unit == "hz" && endsWith(k, "khz")) {
        k.resize(k.size() - 3);
        factor = 1000.0;
    } else if (!unit.empty() && endsWith(k, unit)) {
        k.resize(k.size() - unit.size());
    }
    if (channelFieldOf(index) == kChannelLevel && (k == "-inf" || k == "-")) {
        real = 0.0;
        return true;
    }
    char* end = nullptr;
    const double number = std::strtod(k.c_str(), &end);
    if (k.empty() || !end || *end != 0 || !std::isfinite(number)) return false;
    real = number * factor;
    if (channelFieldOf(index) == kChannelLevel) real = std::pow(10.0, real / 20.0);
    return true;
}

}  // namespace hm
