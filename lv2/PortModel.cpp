#include "lv2/PortModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/params/Conversion.h"
#include "core/params/Enumeration.h"
#include "core/params/ParamTable.h"

namespace hm::lv2 {
namespace {

bool upper(char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; }
bool lowerOrDigit(char c) { return std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)); }

// The choice names a record's label lists ("Off/Byp/On", "Off,Peaks,Shelves"),
// empty when the label is a unit.
std::vector<std::string> labelChoices(const char* label) {
    std::vector<std::string> names;
    if (!std::strchr(label, '/') && !std::strchr(label, ',')) return names;
    std::string current;
    for (const char* p = label;; ++p) {
        if (*p == '/' || *p == ',' || *p == 0) {
            names.push_back(current);
            current.clear();
            if (*p == 0) break;
        } else {
            current += *p;
        }
    }
    return names;
}

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

void describeChoices(ControlPort& port, const ParamRecord& r) {
    if (r.kind == kKindSwitch) {
        port.toggled = true;
        // A switch's label names its two states; most read as the host's Off/On.
        const auto names = labelChoices(r.label);
        const bool ownNames = names.size() == 2 && names[0] != "On" && names[0] != "Off";
        port.scalePoints = {{0.0f, ownNames ? names[0] : "Off"}, {1.0f, ownNames ? names[1] : "On"}};
        return;
    }
    if (port.index == kABBank) {
        for (int slot = 0; slot < kNumABSlots; ++slot) port.scalePoints.push_back({float(slot), std::string(1, char('A' + slot))});
        port.enumeration = true;
        return;
    }
    if (port.index == kIRLength || port.index == kDPlusLen) {
        // Lengths go in powers of two; the port takes the step and shows the samples.
        const double base = port.index == kIRLength ? 1024.0 : 8.0;
        for (int step = int(r.minimum); step <= int(r.maximum); ++step) {
            const bool off = port.index == kDPlusLen && step == 0;
            port.scalePoints.push_back({float(step), off ? "Off" : std::to_string(long(base * std::exp2(step))) + " samples"});
        }
        port.enumeration = true;
        return;
    }
    const auto names = labelChoices(r.label);
    if (names.size() != std::size_t(r.maximum - r.minimum + 1)) return;
    for (std::size_t i = 0; i < names.size(); ++i) port.scalePoints.push_back({r.minimum + float(i), names[i]});
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

ControlPort describeControlPort(int index) {
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
    if (port.integer) describeChoices(port, r);
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
