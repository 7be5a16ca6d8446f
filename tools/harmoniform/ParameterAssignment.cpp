#include "tools/harmoniform/ParameterAssignment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <utility>

#include "core/params/Conversion.h"
#include "core/params/Enumeration.h"
#include "core/params/ParamTable.h"
#include "tools/harmoniform/ParameterChoices.h"

namespace hm::tool {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string quoted(std::string_view text) {
    // Built by appending: GCC 12 warns falsely on "'" + std::string.
    std::string q(1, '\'');
    q.append(text);
    q += '\'';
    return q;
}

namespace {

std::string enumeratorOf(int index) {
    const char* name = enumNameOf(index);
    return name ? name : "";
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

struct Number {
    double value = 0.0;
    bool thousands = false; // a k multiplier (1k5, 2.5k, 2kHz, "1 kHz")
    std::string unit;       // what follows, without blanks, lower case
};

bool parseNumber(std::string_view text, Number& n) {
    std::size_t i = 0;
    std::string digits;
    bool whole = true;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) digits += text[i++];
    const std::size_t firstDigit = digits.size();
    while (i < text.size() && isDigit(text[i])) digits += text[i++];
    if (i < text.size() && text[i] == '.') {
        whole = false;
        digits += text[i++];
        while (i < text.size() && isDigit(text[i])) digits += text[i++];
    }
    if (digits.size() == firstDigit || digits.substr(firstDigit) == ".") return false;
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E') &&
        (isDigit(text[i + 1]) || text[i + 1] == '-' || text[i + 1] == '+')) {
        whole = false;
        digits += text[i++];
        digits += text[i++];
        while (i < text.size() && isDigit(text[i])) digits += text[i++];
    }
    std::size_t unitAt = i;
    while (unitAt < text.size() && std::isspace(static_cast<unsigned char>(text[unitAt]))) ++unitAt;
    if (unitAt < text.size() && (text[unitAt] == 'k' || text[unitAt] == 'K')) {
        // "1k5" reads as 1.5 thousand: digits right after the k are the fraction.
        n.thousands = true;
        i = unitAt + 1;
        if (i < text.size() && isDigit(text[i])) {
            if (!whole || unitAt != digits.size()) return false;  // "1.5k5" and "1 k5" are no numbers
            digits += '.';
            while (i < text.size() && isDigit(text[i])) digits += text[i++];
        }
    }
    char* end = nullptr;
    n.value = std::strtod(digits.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(n.value)) return false;
    if (n.thousands) n.value *= 1000.0;
    n.unit = nameKey(text.substr(i));
    return true;
}

std::string formatNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v + 0.0);
    return text;
}

// The unit a parameter's value is shown in, and so read in.
enum class Unit { None, Decibel, Hertz, Percent, Q, Samples };

Unit unitOf(int index, const ParamRecord& r) {
    if (index == kIRLength || index == kDPlusLen) return Unit::Samples;
    if (channelFieldOf(index) == kChannelLevel) return Unit::Decibel;
    const std::string label = r.label;
    if (label == "dB") return Unit::Decibel;
    if (label == "Hz") return Unit::Hertz;
    if (label == "%") return Unit::Percent;
    if (label == "Q") return Unit::Q;
    return Unit::None;
}

const char* unitText(Unit u) {
    switch (u) {
        case Unit::Decibel: return "dB";
        case Unit::Hertz: return "Hz";
        case Unit::Percent: return "%";
        case Unit::Q: return "Q";
        case Unit::Samples: return "samples";
        default: return "";
    }
}

bool unitMatches(Unit u, const std::string& unit) {
    switch (u) {
        case Unit::Decibel: return unit == "db" || unit == "db/oct";
        case Unit::Hertz: return unit == "hz";
        case Unit::Percent: return unit == "%";
        case Unit::Q: return unit == "q";
        case Unit::Samples: return unit == "samples" || unit == "samp" || unit == "smp";
        default: return false;
    }
}

// Menus shown as powers of two: IRLength 1024 x 2^e samples, D+Len 8 x 2^e
// samples (0 is off), IRPad a factor 2^e. 0 for the other parameters.
double powerBase(int index) {
    switch (index) {
        case kIRLength: return 1024.0;
        case kDPlusLen: return 8.0;
        case kIRPad: return 1.0;
        default: return 0.0;
    }
}

// The range of real values as a host shows them, for messages.
std::string rangeText(int index, const ParamRecord& r, Unit unit, const ParameterContext& context) {
    const std::string u = unit == Unit::None ? "" : std::string(" ") + unitText(unit);
    if (const double base = powerBase(index); base > 0.0) {
        return std::string(index == kDPlusLen ? "0 (off) or " : "") +
               formatNumber(base * std::exp2(index == kDPlusLen ? 1.0 : r.minimum)) + ".." +
               formatNumber(base * std::exp2(r.maximum)) + u + " in powers of two";
    }
    if (channelFieldOf(index) == kChannelLevel)
        return "-inf.." + formatNumber(std::round(200.0 * std::log10(r.maximum)) / 10.0) + " dB";
    if (bandFieldOf(index) == kBandGain)
        return formatNumber(-std::fabs(context.scaleDb)) + ".." + formatNumber(std::fabs(context.scaleDb)) +
               " dB at the current Scale";
    if (bandFieldOf(index) == kBandFrequency)
        return formatNumber(r.minimum * context.shiftFactor) + ".." + formatNumber(r.maximum * context.shiftFactor) +
               " Hz" + (context.shiftFactor != 1.0 ? " at the current Shift" : "");
    return formatNumber(r.minimum) + ".." + formatNumber(r.maximum) + u;
}

}  // namespace

std::string describeParameter(int index) {
    if (!isParam(index)) return "parameter " + std::to_string(index);
    return enumeratorOf(index) + " (" + staticParamTable()[index].name + ")";
}

int findParameter(std::string_view name) {
    const std::string_view trimmed = trim(name);
    if (!trimmed.empty() && std::all_of(trimmed.begin(), trimmed.end(), isDigit)) {
        // The index info prints.
        const int index = trimmed.size() <= 3 ? std::stoi(std::string(trimmed)) : -1;
        return isParam(index) ? index : -1;
    }
    const std::string wanted = nameKey(trimmed);
    if (wanted.empty()) return -1;
    const ParamTable& table = staticParamTable();
    for (int i = 0; i < kNumParams; ++i)
        if (nameKey(enumeratorOf(i)) == wanted || nameKey(table[i].name) == wanted) return i;
    return -1;
}

std::vector<std::string> nearestParameterNames(std::string_view name, std::size_t count) {
    const std::string wanted = nameKey(trim(name));
    const ParamTable& table = staticParamTable();
    std::vector<std::pair<std::size_t, int>> ranked;
    for (int i = 0; i < kNumParams; ++i) {
        const std::size_t d =
            std::min(editDistance(wanted, nameKey(enumeratorOf(i))), editDistance(wanted, nameKey(table[i].name)));
        ranked.emplace_back(d, i);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t k = 0; k < ranked.size() && k < count; ++k) names.push_back(describeParameter(ranked[k].second));
    return names;
}

bool parseParameterValue(int index, std::string_view valueText, const ParameterContext& context, float& normalised,
                         std::string& error) {
    if (!isParam(index)) {
        error = "no such parameter";
        return false;
    }
    const ParamRecord& r = staticParamTable()[index];
    const std::string_view text = trim(valueText);
    const std::string who = describeParameter(index);
    if (text.empty()) {
        error = "no value given for " + who;
        return false;
    }
    const auto fromReal = [&](double real) {
        normalised = static_cast<float>(realToNormalisedBase(r.kind, r.minimum, r.maximum, real));
        return true;
    };

    // Choice names first: "8192" is an IRLength menu item before it is a number.
    double real = 0.0;
    switch (matchChoice(index, text, context.firstPairMidSide, real, error)) {
        case ChoiceMatch::Found: return fromReal(real);
        case ChoiceMatch::Refused: error = quoted(text) + " does not fit " + who + ": " + error; return false;
        case ChoiceMatch::None: break;
    }
    const bool level = channelFieldOf(index) == kChannelLevel;
    if (level && text.front() == '-' && (nameKey(text) == "inf" || nameKey(text) == "infdb")) return fromReal(0.0);

    const Unit unit = unitOf(index, r);
    Number n;
    if (!parseNumber(text, n)) {
        error = "cannot read " + quoted(text) + " as a value for " + who;
        if (const std::string names = choiceList(index); !names.empty()) error += "; it takes " + names;
        else if (unit != Unit::None) error += std::string(", which is set in ") + unitText(unit);
        return false;
    }
    if (n.unit == "n" && !n.thousands) {
        // A host's own form: normalised 0..1.
        if (!(n.value >= 0.0 && n.value <= 1.0)) {
            error = quoted(text) + " is outside 0..1, the normalised range of " + who;
            return false;
        }
        normalised = static_cast<float>(n.value);
        return true;
    }
    if (!n.unit.empty() && !unitMatches(unit, n.unit)) {
        error = quoted(text) + " does not fit " + who +
                (unit == Unit::None ? std::string(", which takes no unit")
                                    : std::string(", which is set in ") + unitText(unit));
        return false;
    }

    // The value as a host shows it, back to the parameter's own real scale.
    const std::string outside = quoted(text) + " is outside " + rangeText(index, r, unit, context) + " for " + who;
    real = n.value;
    if (const double base = powerBase(index); base > 0.0) {
        if (index == kDPlusLen && n.value == 0.0) return fromReal(0.0);
        const double e = std::log2(n.value / base);
        if (!(n.value > 0.0) || std::fabs(e - std::round(e)) > 1e-9) {
            error = outside;
            return false;
        }
        real = std::round(e);
    } else if (level) {
        real = std::pow(10.0, n.value / 20.0);
    } else if (bandFieldOf(index) == kBandGain) {
        if (context.scaleDb == 0.0) {
            error = who + " cannot be set in dB while Scale is 0 dB; give a normalised value (0.5n)";
            return false;
        }
        real = n.value / context.scaleDb;
    } else if (bandFieldOf(index) == kBandFrequency) {
        real = n.value / context.shiftFactor;
    }
    const double lo = r.minimum, hi = r.maximum;
    // Only rounding in the last digits is forgiven (Q's minimum is the float nearest 0.1).
    const double tolerance = 1e-6 * std::max(1.0, std::fabs(hi - lo));
    if (!(real >= lo - tolerance && real <= hi + tolerance)) {
        error = outside;
        return false;
    }
    real = std::clamp(real, lo, hi);
    const bool stepped = r.kind == kKindInteger || r.kind == kKindSteps6 || r.kind == kKindSwitch;
    if (stepped && std::fabs(real - std::round(real)) > 1e-9) {
        error = who + " takes whole numbers; " + quoted(text) + " is none";
        if (const std::string names = choiceList(index); !names.empty()) error += " (or " + names + ")";
        return false;
    }
    if (r.kind == kKindSteps6 && static_cast<long>(std::round(real)) % 6 != 0) {
        error = who + " moves in steps of 6 " + unitText(unit) + "; " + quoted(text) + " is none";
        return false;
    }
    return fromReal(stepped ? std::round(real) : real);
}

bool parseAssignment(std::string_view text, const ParameterContext& context, Assignment& out, std::string& error) {
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        error = quoted(text) + " is no NAME=VALUE assignment";
        return false;
    }
    const std::string_view name = trim(text.substr(0, eq));
    const int index = findParameter(name);
    if (index < 0) {
        error = "unknown parameter " + quoted(name) + "; nearest names:";
        for (const std::string& near : nearestParameterNames(name)) {
            error += "\n  ";
            error += near;
        }
        return false;
    }
    float normalised = 0.0f;
    if (!parseParameterValue(index, text.substr(eq + 1), context, normalised, error)) return false;
    out = {index, normalised};
    return true;
}

}  // namespace hm::tool
