#include "tools/harmoniform/DisplayAssignment.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tools/harmoniform/ParameterAssignment.h"
#include "tools/harmoniform/ParameterChoices.h"

namespace hm::tool {
namespace {

constexpr int kScanPoints = 1000;  // intervals of the normalised range scanned
constexpr int kBisections = 40;

int findByName(host::PluginInstance& plugin, std::string_view name) {
    const std::string wanted = nameKey(name);
    const int count = plugin.effect()->numParams;
    for (int i = 0; i < count; ++i)
        if (nameKey(plugin.parameterName(i)) == wanted) return i;
    return -1;
}

std::string displayAt(host::PluginInstance& plugin, int index, float normalised) {
    plugin.setParameter(index, normalised);
    return plugin.parameterDisplay(index);
}

// The position whose display reads `wanted` (a choice): the middle of the first
// run of scan points that show it, away from the rounding at a step's edges.
bool findChoice(host::PluginInstance& plugin, int index, const std::string& wanted, float& position) {
    int first = -1, last = -1;
    for (int i = 0; i <= kScanPoints; ++i) {
        const bool match = nameKey(displayAt(plugin, index, static_cast<float>(i) / kScanPoints)) == wanted;
        if (match && first < 0) first = i;
        if (match) last = i;
        if (!match && first >= 0) break;
    }
    if (first < 0) return false;
    position = static_cast<float>(first + last) / (2.0f * kScanPoints);
    return true;
}

// The position whose display number is nearest `target`.
bool findNumber(host::PluginInstance& plugin, int index, double target, float& position) {
    std::vector<double> shown(kScanPoints + 1, NAN);
    int best = -1;
    for (int i = 0; i <= kScanPoints; ++i) {
        double v = 0.0;
        if (!displayNumber(displayAt(plugin, index, static_cast<float>(i) / kScanPoints), v)) continue;
        shown[static_cast<std::size_t>(i)] = v;
        if (best < 0 || std::fabs(v - target) < std::fabs(shown[static_cast<std::size_t>(best)] - target)) best = i;
    }
    if (best < 0) return false;
    // Bisect between the best scan point and the neighbour on the target's other side.
    const auto at = [&](int i) { return shown[static_cast<std::size_t>(i)]; };
    const auto brackets = [&](int i) { return i >= 0 && i <= kScanPoints && (at(i) - target) * (at(best) - target) <= 0.0; };
    const int other = brackets(best - 1) ? best - 1 : brackets(best + 1) ? best + 1 : best;
    double lo = static_cast<double>(best) / kScanPoints, hi = static_cast<double>(other) / kScanPoints;
    const double loSide = at(best) - target;
    for (int k = 0; k < kBisections && other != best; ++k) {
        const double mid = 0.5 * (lo + hi);
        double v = 0.0;
        if (!displayNumber(displayAt(plugin, index, static_cast<float>(mid)), v)) break;
        if ((v - target) * loSide > 0.0) lo = mid;
        else hi = mid;
    }
    // Whichever end of the final interval shows the nearer number.
    double vLo = at(best), vHi = at(other);
    displayNumber(displayAt(plugin, index, static_cast<float>(lo)), vLo);
    displayNumber(displayAt(plugin, index, static_cast<float>(hi)), vHi);
    position = static_cast<float>(std::fabs(vLo - target) <= std::fabs(vHi - target) ? lo : hi);
    return true;
}

}  // namespace

bool displayNumber(std::string_view text, double& value) {
    const std::string s(trim(text));
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || !std::isfinite(v)) return false;
    while (*end == ' ') ++end;
    if (*end != 'k' && *end != 'K') {
        value = v;
        return true;
    }
    // "2k5" is 2.5 thousand: digits right after the k are the fraction.
    double fraction = 0.0, unit = 0.1;
    for (const char* d = end + 1; *d >= '0' && *d <= '9'; ++d, unit *= 0.1) fraction += (*d - '0') * unit;
    value = (v + std::copysign(fraction, v)) * 1000.0;
    return true;
}

bool assignByDisplay(host::PluginInstance& plugin, std::string_view text, std::string& shown, std::string& error) {
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        error = std::string(1, '\'').append(text) + "' is no NAME=VALUE assignment";
        return false;
    }
    const std::string_view name = trim(text.substr(0, eq));
    const std::string_view value = trim(text.substr(eq + 1));
    const int index = findByName(plugin, name);
    if (index < 0) {
        error = "the plug-in has no parameter named '" + std::string(name) + "' ('harmoniform info' lists them)";
        return false;
    }
    float position = 0.0f;
    if (value.substr(0, 5) == "norm:") {
        char* end = nullptr;
        const std::string number(value.substr(5));
        const double v = std::strtod(number.c_str(), &end);
        if (end == number.c_str() || *end != '\0' || !(v >= 0.0 && v <= 1.0)) {
            error = std::string(1, '\'').append(value) + "' is no normalised value (norm:0..1)";
            return false;
        }
        position = static_cast<float>(v);
    } else {
        double target = 0.0;
        const bool number = displayNumber(value, target);
        if (!findChoice(plugin, index, nameKey(value), position) &&
            !(number && findNumber(plugin, index, target, position))) {
            error = "no setting of '" + std::string(name) + "' shows '" + std::string(value) + "'";
            return false;
        }
    }
    plugin.setParameter(index, position);
    // As hosts show it: the display text, then the label's unit.
    const std::string label = plugin.parameterLabel(index);
    shown = plugin.parameterDisplay(index) + (label.empty() ? "" : " " + label);
    return true;
}

}  // namespace hm::tool
