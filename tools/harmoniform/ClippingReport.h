#pragma once
// What the render command says about the output level: the peak in dBFS, and
// when an integer output clipped, how many samples, how far the signal went
// over full scale and which output Gain would have kept it whole. Clipping is
// reported, not treated as a failure: the file is written either way.
#include <cstdint>
#include <string>
#include <vector>

namespace hm::tool {

struct LevelFacts {
    double peak = 0.0;               // largest absolute output sample before conversion
    std::int64_t clippedSamples = 0; // samples the integer output had to clip
    bool integerOutput = true;       // the output format clips at full scale
    int bits = 0;                    // its width, when known (for the message)
    double gainDb = 0.0;             // the output Gain parameter in force
};

// Decibels relative to full scale; -inf for silence.
double toDbfs(double peak);

// "+5.98 dBFS", "-inf dBFS".
std::string dbfsText(double peak);

// The output Gain (dB, whole) that brings the peak below full scale, within the
// parameter's range of -36..36 dB.
double suggestedGainDb(double peak, double gainDb);

// Lines to print: the first is the peak; a warning (clipping) or a note (float
// output above full scale) follows when there is one. Each line starts with
// "warning: " or "note: " when it is one.
std::vector<std::string> levelReport(const LevelFacts& facts);

}  // namespace hm::tool
