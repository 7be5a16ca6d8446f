#pragma once
// One plug-in instance prepared for timing, as `harmoniform bench` uses it:
// loaded and started as a host does, its settings applied (the equaliser's own
// NAME=VALUE forms for Harmoniform, display matching for any other plug-in),
// given time to settle (timers, coefficient glides), then fed a fixed noise
// signal in blocks through the float processing callback.
#include <memory>
#include <string>
#include <vector>

#include "tools/harmoniform/PluginHost.h"

namespace hm::tool {

struct BenchSetup {
    int block = 512;
    float rate = 48000.0f;
};

// A parameter the bench moves before every processing call, as host automation
// does: a triangle between two normalised values, one period a second.
struct BenchSweep {
    int index = -1;  // none
    float from = 0.0f, to = 1.0f;
};

// "INDEX=FROM..TO" (normalised values); false when it is not that.
bool parseSweep(const std::string& text, BenchSweep& sweep);

class BenchTarget {
public:
    // False with a message when the library, the instance or a setting fails.
    bool open(const std::string& path, const std::vector<std::string>& assignments, const BenchSetup& setup,
              std::string& error, BenchSweep sweep = {});

    // Processes `seconds` of audio; returns the CPU seconds the calling (processing)
    // thread spent inside the plug-in's processing callback and around it.
    double run(double seconds);
    // CPU seconds of the most expensive processing call of the last run.
    double worstCall() const { return worstCall_; }

    const std::string& path() const { return path_; }
    int channels() const { return channels_; }
    bool isHarmoniform() const;
    // "name = display" of every setting applied, for the report.
    const std::vector<std::string>& applied() const { return applied_; }

private:
    void process(int frames);

    std::string path_;
    BenchSetup setup_;
    std::unique_ptr<host::PluginLibrary> library_;
    std::unique_ptr<host::PluginInstance> instance_;
    int channels_ = 0;
    std::vector<std::vector<float>> noise_, out_;
    std::vector<float*> in_, outPtr_;
    std::size_t position_ = 0;
    BenchSweep sweep_;
    long sweepFrame_ = 0;
    double worstCall_ = 0.0;
    std::vector<std::string> applied_;
};

}  // namespace hm::tool
