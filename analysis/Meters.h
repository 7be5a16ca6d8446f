#pragma once
// Level detectors with selectable ballistics and the clip test.
//
// A meter set holds one envelope per channel (linear amplitude, 1.0 = 0 dBFS).
// The audio thread updates it per sample; the editor reads it at its refresh rate
// from another thread. Envelopes are stored as relaxed atomics: a reader sees a
// value from this block or the previous one, never a torn one.
#include <atomic>

namespace hm::analysis {

constexpr int kMeterChannels = 8;

struct MeterChains;

// Ballistic types: 0 "Digital", 1 "PPM", 2 "VU", 3 "BBC" (taken modulo 4).
// 1 - r^(1 / (sampleRate * t)) for the type's residual r after t seconds; the
// Digital attack is instantaneous (exactly 1.0).
double ballisticCoefficient(int type, bool attack, double sampleRate);

class MeterSet {
public:
    // channels[c] for c < count holds `frames` samples (null entries are skipped).
    // Per sample: d = |x| - e; e += d * (d > 0 ? attack : release). After the
    // block each envelope becomes (e + 1) - 1, which flushes tiny values to zero.
    void update(const double* const* channels, int count, int frames, double attack, double release);
    double level(int channel) const { return env_[channel & 7].load(std::memory_order_relaxed); }
    void clear();

private:
    friend void updateMeterSets(MeterSet&, const double* const*, MeterSet&, const double* const*, int, int, double,
                                double);
    void gather(const double* const* channels, int count, struct MeterChains& chains, double* e) const;
    void publish(const double* const* channels, int count, const double* e);

    std::atomic<double> env_[kMeterChannels] = {};
};

// Two sets' updates over the same block at once, each exactly as update() does
// it: the envelopes are recursions, and running the two sets' side by side lets
// the processor work on one while it waits on the other.
void updateMeterSets(MeterSet& a, const double* const* channelsA, MeterSet& b, const double* const* channelsB,
                     int count, int frames, double attack, double release);

// Scans channels in order and samples in order; true at the first |x| > threshold.
bool exceedsThreshold(const double* const* channels, int count, int frames, double threshold);

}  // namespace hm::analysis
