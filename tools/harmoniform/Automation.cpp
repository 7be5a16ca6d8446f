#include "tools/harmoniform/Automation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/params/Conversion.h"
#include "core/params/ParamTable.h"

namespace hm::tool {
namespace {

constexpr const char* kTimeForms = "seconds as 2s, 2.5s or 250ms, samples as 48000smp";

// TIME: a decimal number without sign and a unit. False with the reason.
bool parseTime(std::string_view text, double& amount, LaneText::Unit& unit, std::string& why) {
    text = trim(text);
    if (text.empty()) {
        why = "no time after '@' (" + std::string(kTimeForms) + ")";
        return false;
    }
    if (text.front() == '-') {
        why = "time " + quoted(text) + " is before the start; times count from 0";
        return false;
    }
    std::size_t i = 0;
    std::string number;
    bool fraction = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) number += text[i++];
    if (i < text.size() && text[i] == '.') {
        fraction = true;
        number += text[i++];
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) number += text[i++];
    }
    if (number.empty() || number == ".") {
        why = "cannot read the time " + quoted(text) + " (" + kTimeForms + ")";
        return false;
    }
    std::string suffix(trim(text.substr(i)));
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (suffix == "s") unit = LaneText::Unit::Seconds;
    else if (suffix == "ms") unit = LaneText::Unit::Milliseconds;
    else if (suffix == "smp") unit = LaneText::Unit::Samples;
    else {
        why = "time " + quoted(text) +
              (suffix.empty() ? std::string(" has no unit (") : " has an unknown unit (") + kTimeForms + ")";
        return false;
    }
    if (unit == LaneText::Unit::Samples && fraction) {
        why = "time " + quoted(text) + " is no whole number of samples";
        return false;
    }
    amount = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(amount)) {
        why = "time " + quoted(text) + " is too large";
        return false;
    }
    return true;
}

// Where a time falls, in samples at `rate`, before rounding.
double samplePosition(const LaneText::Point& p, double rate) {
    switch (p.unit) {
        case LaneText::Unit::Seconds: return p.time * rate;
        case LaneText::Unit::Milliseconds: return p.time * rate / 1000.0;
        case LaneText::Unit::Samples: return p.time;
    }
    return 0.0;
}

bool takesSteps(int index) {
    const int kind = staticParamTable()[index].kind;
    return kind == kKindInteger || kind == kKindSteps6 || kind == kKindSteps12 || kind == kKindSwitch ||
           kind == kKindOctaves;
}

}  // namespace

bool parseLane(std::string_view text, LaneText& lane, std::string& error) {
    lane = {};
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        error = "--automate " + quoted(text) + " is no NAME=VALUE@TIME,... lane (e.g. \"Band1 Gain=0dB@0s,+6dB@2s\")";
        return false;
    }
    lane.name = trim(text.substr(0, eq));
    const std::string where = "--automate " + quoted(lane.name) + ": ";
    lane.index = findParameter(lane.name);
    if (lane.index < 0) {
        const std::vector<std::string> near = nearestParameterNames(lane.name, 1);
        error = "--automate: unknown parameter " + quoted(lane.name) + (near.empty() ? "" : "; nearest: " + near[0]);
        return false;
    }
    std::string_view rest = text.substr(eq + 1);
    if (trim(rest).empty()) {
        error = where + "no points after '=' (VALUE@TIME,...)";
        return false;
    }
    for (int number = 1;; ++number) {
        const std::size_t comma = rest.find(',');
        const std::string_view piece = trim(rest.substr(0, comma));
        if (piece.empty()) {
            error = where + "point " + std::to_string(number) + " is empty (a ',' too many)";
            return false;
        }
        LaneText::Point p;
        p.piece = piece;
        std::string_view body = piece;
        if (body.front() == '~') {
            p.ramp = true;
            body.remove_prefix(1);
        }
        const std::size_t at = body.rfind('@');
        if (at == std::string_view::npos) {
            error = where + "point " + quoted(piece) + " has no time (VALUE@TIME)";
            return false;
        }
        p.value = trim(body.substr(0, at));
        if (p.value.empty()) {
            error = where + "point " + quoted(piece) + " has no value (VALUE@TIME)";
            return false;
        }
        std::string why;
        if (!parseTime(body.substr(at + 1), p.time, p.unit, why)) {
            error = where + "point " + quoted(piece) + ": " + why;
            return false;
        }
        if (p.ramp && lane.points.empty()) {
            error = where + "point " + quoted(piece) + " ramps from nothing: a lane's first point cannot ramp";
            return false;
        }
        if (p.ramp && takesSteps(lane.index)) {
            error = where + "point " + quoted(piece) + ": " + describeParameter(lane.index) +
                    " takes steps and cannot ramp";
            return false;
        }
        lane.points.push_back(std::move(p));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return true;
}

bool resolveLane(const LaneText& lane, const ParameterContext& context, double rate, AutomationLane& out,
                 std::string& error) {
    const std::string where = "--automate " + quoted(lane.name) + ": ";
    out = {};
    out.index = lane.index;
    // Far beyond any input: such a point is never reached.
    constexpr double kNever = static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2);
    double previous = 0.0;
    for (std::size_t i = 0; i < lane.points.size(); ++i) {
        const LaneText::Point& p = lane.points[i];
        const double position = samplePosition(p, rate);
        // Units mixed in one lane may differ by rounding only (0.1s and 100ms).
        if (i > 0 && position < previous - 1e-6) {
            error = where + "point " + quoted(p.piece) + " comes before the point ahead of it (" +
                    quoted(lane.points[i - 1].piece) + "); times must not go back";
            return false;
        }
        previous = position;
        AutomationPoint a;
        a.ramp = p.ramp;
        a.sample = static_cast<std::int64_t>(std::llround(std::min(position, kNever)));
        std::string why;
        if (!parseParameterValue(lane.index, p.value, context, a.normalised, why)) {
            error = where + "point " + quoted(p.piece) + ": " + why;
            return false;
        }
        out.points.push_back(a);
    }
    return true;
}

Automation::Automation(std::vector<AutomationLane> lanes) {
    for (AutomationLane& lane : lanes) lanes_.push_back({std::move(lane), std::nullopt});
}

std::int64_t Automation::framesUntilNextPoint(std::int64_t position, std::int64_t limit) const {
    for (const Lane& l : lanes_) {
        const auto& points = l.lane.points;
        const auto next = std::upper_bound(points.begin(), points.end(), position,
                                           [](std::int64_t p, const AutomationPoint& a) { return p < a.sample; });
        if (next != points.end()) limit = std::min(limit, next->sample - position);
    }
    return limit;
}

std::optional<float> Automation::valueAt(const AutomationLane& lane, std::int64_t position) {
    const auto& points = lane.points;
    const auto next = std::upper_bound(points.begin(), points.end(), position,
                                       [](std::int64_t p, const AutomationPoint& a) { return p < a.sample; });
    if (next == points.begin()) return std::nullopt;
    const AutomationPoint& from = *(next - 1);
    if (next == points.end() || !next->ramp) return from.normalised;
    const double a = from.normalised, b = next->normalised;
    return static_cast<float>(a + (b - a) * static_cast<double>(position - from.sample) /
                                      static_cast<double>(next->sample - from.sample));
}

void Automation::apply(std::int64_t position, const std::function<void(int, float)>& set) {
    for (Lane& l : lanes_) {
        const std::optional<float> value = valueAt(l.lane, position);
        if (!value || (l.lastSet && *l.lastSet == *value)) continue;
        set(l.lane.index, *value);
        l.lastSet = value;
    }
}

}  // namespace hm::tool
