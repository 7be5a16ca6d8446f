#include "tools/harmoniform/ClippingReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/harmoniform/Messages.h"

namespace hm::tool {
namespace {

constexpr double kLowestGainDb = -36.0;  // the output Gain parameter's range

std::string numberText(double v) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v + 0.0);
    return text;
}

}  // namespace

double toDbfs(double peak) { return peak > 0.0 ? 20.0 * std::log10(peak) : -INFINITY; }

std::string dbfsText(double peak) {
    if (!(peak > 0.0)) return "-inf dBFS";
    char text[32];
    std::snprintf(text, sizeof(text), "%+.2f dBFS", std::round(toDbfs(peak) * 100.0) / 100.0 + 0.0);
    return text;
}

namespace {

// Whole decibels strictly above the overshoot: a peak brought to exactly 0 dBFS
// still clips by one step in an integer format.
double neededGainDb(double peak, double gainDb) {
    return std::round(gainDb) - std::max(0.0, std::floor(toDbfs(peak)) + 1.0);
}

}  // namespace

double suggestedGainDb(double peak, double gainDb) { return std::max(kLowestGainDb, neededGainDb(peak, gainDb)); }

std::vector<std::string> levelReport(const LevelFacts& facts) {
    std::vector<std::string> lines = {"output peak " + dbfsText(facts.peak)};
    const double suggestion = suggestedGainDb(facts.peak, facts.gainDb);
    std::string advice = "lower the output gain, e.g. --set Gain=" + numberText(suggestion);
    if (neededGainDb(facts.peak, facts.gainDb) < kLowestGainDb)
        advice += " (the lowest it goes; lower the input level or the band gains too)";
    if (facts.integerOutput && facts.clippedSamples > 0) {
        const std::string width = facts.bits > 0 ? std::to_string(facts.bits) + "-bit " : "";
        lines.push_back("warning: " + countOf(facts.clippedSamples, "sample") + " clipped in the " + width +
                        "output; the signal peaked at " + dbfsText(facts.peak) + "; " + advice);
    } else if (!facts.integerOutput && facts.peak > 1.0) {
        lines.push_back("note: the output goes above full scale (" + dbfsText(facts.peak) +
                        "); the float file keeps it, but it clips when converted to integer samples; " + advice);
    }
    return lines;
}

}  // namespace hm::tool
