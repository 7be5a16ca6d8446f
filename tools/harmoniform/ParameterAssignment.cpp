#include "tools/harmoniform/ParameterAssignment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "core/params/Conversion.h"
#include "core/params/Enumeration.h"
#include "core/params/ParamTable.h"

namespace hm::tool {

std::string parameterKey(std::string_view text) {
    std::string k;
    for (char c : text) {
        if (c == ' ' || c == '-' || c == '_' || c == '\t') continue;
        k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return k;
}

namespace {

std::string key(std::string_view text) { return parameterKey(text); }

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

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

// Choice names per real value (value = minimum + position); each position may
// have several spellings, the first being the one the instance shows.
using ChoiceList = std::vector<std::vector<std::string>>;

ChoiceList choicesOf(int index) {
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
        case kIRPad: return {{"x1"}, {"x2"}, {"x4"}, {"x8"}};
        case kDPlusLen: return {{"Off"}, {"16"}, {"32"}, {"64"}, {"128"}, {"256"}, {"512"}};
        default: break;
    }
    switch (bandFieldOf(index)) {
        case kBandState: return {{"Off"}, {"Byp", "Bypass", "Bypassed"}, {"On", "Active"}};
        case kBandType:
            return {{"Peak", "Bell"},
                    {"HPF", "High-pass", "HP", "Low Cut"},
                    {"LSh", "Low Shelf"},
                    {"HSh", "High Shelf"},
                    {"LPF", "Low-pass", "LP", "High Cut"},
                    {"Notch"}};
        default: return {};
    }
}

// Switches: off and on under their label's names and the usual words.
int switchPosition(const std::string& k) {
    for (const char* off : {"off", "norm", "normal", "false", "no"})
        if (k == off) return 0;
    for (const char* on : {"on", "inv", "invert", "inverted", "true", "yes"})
        if (k == on) return 1;
    return -1;
}

struct Number {
    double value = 0.0;
    bool plain = true;      // digits only: no decimal point or exponent
    bool thousands = false; // a k multiplier (1k5, 2.5k, 2kHz)
    std::string unit;       // what follows, without blanks, lower case
};

bool parseNumber(std::string_view text, Number& n) {
    std::size_t i = 0;
    std::string digits;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) digits += text[i++];
    const std::size_t firstDigit = digits.size();
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) digits += text[i++];
    if (i < text.size() && text[i] == '.') {
        n.plain = false;
        digits += text[i++];
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) digits += text[i++];
    }
    if (digits.size() == firstDigit || digits == "." || digits.substr(firstDigit) == ".") return false;
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E') &&
        (std::isdigit(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '-' || text[i + 1] == '+')) {
        n.plain = false;
        digits += text[i++];
        digits += text[i++];
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) digits += text[i++];
    }
    if (i < text.size() && (text[i] == 'k' || text[i] == 'K')) {
        // "1k5" reads as 1.5 thousand: digits after the k are the fraction.
        n.thousands = true;
        ++i;
        if (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            if (!n.plain) return false;  // "1.5k5" is no number
            digits += '.';
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) digits += text[i++];
        }
    }
    char* end = nullptr;
    n.value = std::strtod(digits.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(n.value)) return false;
    if (n.thousands) n.value *= 1000.0;
    n.unit = key(text.substr(i));
    return true;
}

// 'text', for messages (built by appending: GCC 12 warns falsely on "'" + std::string).
std::string quoted(std::string_view text) {
    std::string q(1, '\'');
    q.append(text);
    q += '\'';
    return q;
}

std::string formatNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v);
    return text;
}

// What a parameter's real values are written in on the command line.
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
        case Unit::Samples: return "Samples";
        default: return "";
    }
}

bool unitMatches(Unit u, const std::string& unit) {
    switch (u) {
        case Unit::Decibel: return unit == "db";
        case Unit::Hertz: return unit == "hz";
        case Unit::Percent: return unit == "%";
        case Unit::Q: return unit == "q";
        case Unit::Samples: return unit == "samples" || unit == "samp" || unit == "smp";
        default: return false;
    }
}

// Sample counts of the FIR menus: IRLength holds e with 1024 x 2^e samples,
// D+Len holds e with 8 x 2^e samples (0 is off).
bool samplesToReal(int index, double samples, double& real) {
    const double base = index == kIRLength ? 1024.0 : 8.0;
    if (index == kDPlusLen && samples == 0.0) {
        real = 0.0;
        return true;
    }
    const double e = std::log2(samples / base);
    if (!(samples > 0.0) || std::fabs(e - std::round(e)) > 1e-9) return false;
    real = std::round(e);
    return true;
}

}  // namespace

std::string describeParameter(int index) {
    if (!isParam(index)) return "parameter " + std::to_string(index);
    return enumeratorOf(index) + " (" + staticParamTable()[index].name + ")";
}

int findParameter(std::string_view name) {
    const std::string wanted = key(trim(name));
    if (wanted.empty()) return -1;
    const ParamTable& table = staticParamTable();
    for (int i = 0; i < kNumParams; ++i)
        if (key(enumeratorOf(i)) == wanted || key(table[i].name) == wanted) return i;
    return -1;
}

std::vector<std::string> nearestParameterNames(std::string_view name, std::size_t count) {
    const std::string wanted = key(trim(name));
    const ParamTable& table = staticParamTable();
    std::vector<std::pair<std::size_t, int>> ranked;
    for (int i = 0; i < kNumParams; ++i) {
        const std::size_t d = std::min(editDistance(wanted, key(enumeratorOf(i))), editDistance(wanted, key(table[i].name)));
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
    const std::string k = key(text);
    const std::string who = describeParameter(index);
    if (k.empty()) {
        error = "no value given for " + who;
        return false;
    }
    const auto fromReal = [&](double real) {
        normalised = static_cast<float>(realToNormalisedBase(r.kind, r.minimum, r.maximum, real));
        return true;
    };

    // Choice names first: "8192" is an IRLength menu item before it is a number.
    const ChoiceList choices = choicesOf(index);
    for (std::size_t p = 0; p < choices.size(); ++p)
        for (const std::string& spelling : choices[p])
            if (key(spelling) == k) return fromReal(r.minimum + static_cast<double>(p));
    if (r.kind == kKindSwitch) {
        const int position = switchPosition(k);
        if (position >= 0) return fromReal(position);
    }

    Number n;
    if (!parseNumber(text, n)) {
        error = "cannot read '" + std::string(text) + "' as a value for " + who;
        if (!choices.empty()) {
            error += "; it takes";
            for (std::size_t p = 0; p < choices.size(); ++p) error += (p ? ", " : " ") + choices[p][0];
        }
        return false;
    }
    const bool stepped = r.kind == kKindInteger || r.kind == kKindSteps6 || r.kind == kKindSwitch;
    const Unit unit = unitOf(index, r);
    if (n.unit.empty() && !n.thousands && !(stepped && n.plain)) {
        // A host's own form: normalised 0..1.
        if (n.value < 0.0 || n.value > 1.0) {
            error = quoted(text) + " is no normalised value (0..1) for " + who;
            if (unit != Unit::None) error += std::string("; give a unit for a real value, e.g. ") + formatNumber(r.value) + unitText(unit);
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

    // Real value as a host shows it; back to the parameter's own scale.
    double real = n.value;
    double lo = r.minimum, hi = r.maximum;
    std::string range = formatNumber(lo) + ".." + formatNumber(hi) + (unit == Unit::None ? "" : std::string(" ") + unitText(unit));
    if (unit == Unit::Samples && (!n.unit.empty() || n.thousands)) {
        if (!samplesToReal(index, n.value, real)) {
            error = quoted(text) + " is no FIR length " + who + " offers (powers of two)";
            return false;
        }
    } else if (channelFieldOf(index) == kChannelLevel && !n.unit.empty()) {
        real = std::pow(10.0, n.value / 20.0);
        range = "up to " + formatNumber(20.0 * std::log10(hi)) + " dB";
    } else if (bandFieldOf(index) == kBandGain) {
        if (context.scaleDb == 0.0) {
            error = who + " cannot be set in dB while Scale is 0 dB; give a normalised value";
            return false;
        }
        real = n.value / context.scaleDb;
        range = formatNumber(-std::fabs(context.scaleDb)) + ".." + formatNumber(std::fabs(context.scaleDb)) +
                " dB at the current Scale";
    } else if (bandFieldOf(index) == kBandFrequency) {
        real = n.value / context.shiftFactor;
        range = formatNumber(lo * context.shiftFactor) + ".." + formatNumber(hi * context.shiftFactor) + " Hz" +
                (context.shiftFactor != 1.0 ? " at the current Shift" : "");
    }
    const double tolerance = 1e-6 * std::max(1.0, std::fabs(hi - lo));
    if (!(real >= lo - tolerance && real <= hi + tolerance)) {
        error = quoted(text) + " is outside " + range + " for " + who;
        return false;
    }
    real = std::clamp(real, lo, hi);
    if (stepped && std::fabs(real - std::round(real)) > 1e-9) {
        error = who + " takes whole numbers; '" + std::string(text) + "' is none";
        return false;
    }
    if (r.kind == kKindSteps6 && static_cast<long>(std::round(real)) % 6 != 0) {
        error = who + " moves in steps of 6 " + unitText(unit) + "; '" + std::string(text) + "' is none";
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
        error = "unknown parameter '" + std::string(name) + "'; nearest names:";
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
