#pragma once
// Parameter lanes for render --automate, changed between processing calls as a
// host plays back automation:
//
//   NAME=POINT,POINT,...      POINT is VALUE@TIME, or ~VALUE@TIME for a ramp
//
// NAME and VALUE are read exactly as --set reads them (ParameterAssignment.h).
// TIME is a position in the input: seconds (2s, 2.5s, 250ms; to the nearest
// sample) or samples (48000smp). The processing call that starts at a point's
// sample is the first to see its value, set through setParameter before the
// call; the renderer ends its calls there so that every point lands on its own
// sample. Until a lane's first point the parameter keeps the value it had.
//
// A ramp point moves from the point before it evenly in the host's normalised
// value: each processing call starting at sample p between them (p_a < p < p_b)
// sees a + (b - a) x (p - p_a) / (p_b - p_a), rounded to float. Calls are not
// split for a ramp: it moves in steps of at most a block.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/harmoniform/ParameterAssignment.h"

namespace hm::tool {

// A lane as written: the parameter, and its points with values still as text
// (their meaning depends on the instance's Scale, Shift and mid/side state).
struct LaneText {
    enum class Unit { Seconds, Milliseconds, Samples };
    struct Point {
        std::string piece;  // as written, for messages
        std::string value;  // VALUE
        double time = 0.0;  // in `unit`
        Unit unit = Unit::Seconds;
        bool ramp = false;
    };
    std::string name;  // NAME as written
    int index = -1;
    std::vector<Point> points;
};

struct AutomationPoint {
    std::int64_t sample = 0;
    float normalised = 0.0f;
    bool ramp = false;
};

struct AutomationLane {
    int index = -1;
    std::vector<AutomationPoint> points;  // by sample, in the order written
};

// The lane's form: a known parameter, points with a value and a time each.
// False with a one-line message naming the bad piece.
bool parseLane(std::string_view text, LaneText& lane, std::string& error);

// Reads the values as --set reads them in `context` and places the times at
// `rate`. False with a one-line message: a value that does not fit, times that
// go back, a ramp with nothing before it or on a parameter that takes steps.
bool resolveLane(const LaneText& lane, const ParameterContext& context, double rate, AutomationLane& out,
                 std::string& error);

class Automation {
public:
    explicit Automation(std::vector<AutomationLane> lanes);

    // Frames from `position` to the nearest point of any lane after it, at most `limit`.
    std::int64_t framesUntilNextPoint(std::int64_t position, std::int64_t limit) const;

    // For the processing call starting at `position`: set(index, normalised) for
    // each lane whose value there differs from what it set last.
    void apply(std::int64_t position, const std::function<void(int index, float normalised)>& set);

    // A lane's value at `position`; none before its first point.
    static std::optional<float> valueAt(const AutomationLane& lane, std::int64_t position);

private:
    struct Lane {
        AutomationLane lane;
        std::optional<float> lastSet;
    };
    std::vector<Lane> lanes_;
};

}  // namespace hm::tool
