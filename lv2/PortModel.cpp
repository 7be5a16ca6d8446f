#include "lv2/PortModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>

#include "core/params/Conversion.h"
#include "core/params/Enumeration.h"
#include "core/params/HostText.h"
#include "core/params/ParamTable.h"

namespace hm::lv2 {
namespace {

bool upper(char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; }
bool lowerOrDigit(char c) { return std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)); }

// Choices, toggles and steps: a port of whole numbers.
bool stepped(const ParamRecord& r) {
    return r.kind == kKindInteger || r.kind == kKindSteps6 || r.kind == kKindSteps12 || r.kind == kKindSwitch;
}

float levelMaximumDb() { return static_cast<float>(20.0 * std::log10(staticParamTable()[channelParam(0, kChannelLevel)].maximum)); }

// A control port's range: the parameter's own, or in dB where the port shows dB.
void portRange(int index, float& lo, float& hi) {
    const ParamRecord& r = staticParamTable()[index];
    lo = r.minimum;
    hi = r.maximum;
    if (bandFieldOf(index) == kBandGain) {
        lo = -kBandGainRangeDb;
        hi = kBandGainRangeDb;
    } else if (channelFieldOf(index) == kChannelLevel) {
        lo = kSilentLevelDb;
        hi = levelMaximumDb();
    }
}

// A band's Groups as the masks users pick; group 1 and 2 are the first channel
// pair, left and right or mid and side as the MS State has it.
const ScalePoint kGroupPoints[] = {
    {0.0f, "None"}, {128.0f, "Left / Mid"}, {64.0f, "Right / Side"}, {192.0f, "Left+Right / Mid+Side"}, {255.0f, "All"}};

void describeChoices(ControlPort& port, const ParamRecord& r, int channels) {
    HostTextContext context;
    context.channels = channels;
    if (r.kind == kKindSwitch) {
        port.toggled = true;
        port.scalePoints = {{0.0f, hostChoiceName(port.index, 0, context)}, {1.0f, hostChoiceName(port.index, 1, context)}};
        return;
    }
    if (r.kind != kKindInteger) return;  // the slope: a number of dB
    const int field = bandFieldOf(port.index);
    if (field == kBandGroups) {
        // 256 masks: the usual ones are named, the others are values too.
        if (channels == 2) {
            port.scalePoints.assign(std::begin(kGroupPoints), std::end(kGroupPoints));
            return;
        }
        port.scalePoints = {{0.0f, hostChoiceName(port.index, 0, context)}};
        for (int g = 1; g <= channels; ++g) {
            const int mask = 1 << (8 - g);
            port.scalePoints.push_back({float(mask), hostChoiceName(port.index, mask, context)});
        }
        port.scalePoints.push_back({255.0f, hostChoiceName(port.index, 255, context)});
        return;
    }
    if (field == kBandSubtype) {
        // What a subtype is depends on the band's Type, which a port cannot follow:
        // each point names it under every type, and values past the lists remain.
        for (int subtype = int(r.minimum); subtype <= int(r.maximum); ++subtype) {
            const std::string names = subtypeNamesOfAllTypes(subtype);
            if (!names.empty()) port.scalePoints.push_back({float(subtype), names});
        }
        return;
    }
    if (port.index == kIRLength) {
        // Lengths go in powers of two; the port takes the step and shows the samples.
        for (int step = int(r.minimum); step <= int(r.maximum); ++step)
            port.scalePoints.push_back({float(step), hostChoiceName(port.index, step, context) + " samples"});
        port.enumeration = true;
        return;
    }
        // Every value named; trailing values that repeat an earlier name (the last
    // window type and phase modes) do the same and are left out of the menu.
    for (int value = int(r.minimum); value <= int(r.maximum); ++value) {
        const std::string name = hostChoiceName(port.index, value, context);
        if (name.empty()) return;
        const auto same = [&](const ScalePoint& p) { return p.label == name; };
        if (std::any_of(port.scalePoints.begin(), port.scalePoints.end(), same)) break;
        port.scalePoints.push_back({float(value), name});
    }
    port.enumeration = true;
}

}  // namespace

std::string portSymbol(const std::string& name) {
    const std::string n = !name.empty() && name[0] == 'k' ? name.substr(1) : name;
    std::string symbol;
    for (std::size_t i = 0; i < n.size(); ++i) {
        const char c = n[i];
        if (upper(c) && i > 0) {
            const bool afterWord = lowerOrDigit(n[i - 1]);
            const bool endsAcronym = upper(n[i - 1]) && i + 1 < n.size() && std::islower(static_cast<unsigned char>(n[i + 1]));
            if (afterWord || endsAcronym) symbol += '_';
        }
        symbol += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return symbol;
}

ControlPort describeControlPort(int index, int channels) {
    const ParamRecord& r = staticParamTable()[index];
    ControlPort port;
    port.index = index;
    const char* enumerator = enumNameOf(index);
    port.symbol = portSymbol(enumerator ? enumerator : "");
    port.name = r.name;
    portRange(index, port.minimum, port.maximum);
    port.defaultValue = r.value;
    port.logarithmic = r.kind == kKindLog;
    port.integer = stepped(r);
    if (std::strcmp(r.label, "dB") == 0) port.unit = PortUnit::Decibel;
    if (std::strcmp(r.label, "Hz") == 0) port.unit = PortUnit::Hertz;
    if (std::strcmp(r.label, "%") == 0) port.unit = PortUnit::Percent;

    if (bandFieldOf(index) == kBandGain) {
        port.defaultValue = 0.0f;
    } else if (channelFieldOf(index) == kChannelLevel) {
        port.unit = PortUnit::Decibel;
        port.defaultValue = static_cast<float>(20.0 * std::log10(r.value));
    }
    if (port.integer) describeChoices(port, r, channels);
    return port;
}

PortContext portContextFrom(float scaleNormalised, float shiftNormalised) {
    PortContext context;
    context.scaleDb = staticRealOf(kScale, scaleNormalised);
    context.shiftFactor = 0.01 * staticRealOf(kFShift, shiftNormalised);
    return context;
}

float portToNormalised(int index, float value, const PortContext& context) {
    if (!isParam(index) || !std::isfinite(value)) return NAN;
    double real = value;
    if (bandFieldOf(index) == kBandGain) {
        if (context.scaleDb == 0.0) return NAN;  // no dB value means anything at a Scale of 0 dB
        real = value / context.scaleDb;
    } else if (bandFieldOf(index) == kBandFrequency) {
        real = value / context.shiftFactor;
    } else if (channelFieldOf(index) == kChannelLevel) {
        real = value <= kSilentLevelDb ? 0.0 : std::pow(10.0, value / 20.0);
    }
    if (stepped(staticParamTable()[index]) && std::isfinite(real)) real = std::round(real);
    return staticNormalisedOf(index, real);
}

float normalisedToPort(int index, float normalised, const PortContext& context) {
    if (!isParam(index)) return NAN;
    const double real = staticRealOf(index, normalised);
    double value = real;
    if (bandFieldOf(index) == kBandGain) {
        value = real * context.scaleDb;
    } else if (bandFieldOf(index) == kBandFrequency) {
        value = real * context.shiftFactor;
    } else if (channelFieldOf(index) == kChannelLevel) {
        value = real > 0.0 ? 20.0 * std::log10(real) : kSilentLevelDb;
    }
    float lo = 0.0f, hi = 0.0f;
    portRange(index, lo, hi);
    return std::clamp(static_cast<float>(value), lo, hi);
}

}  // namespace hm::lv2
