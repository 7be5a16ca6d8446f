#include "analysis/Meters.h"

#include <cmath>

namespace hm::analysis {
namespace {

struct Ballistic {
    double attackResidual, attackSeconds, releaseResidual, releaseSeconds;
};

constexpr Ballistic kBallistics[4] = {
    {0.01, 0.001, 0.1, 0.3},     // Digital (attack not read: instantaneous)
    {0.2, 0.005, 0.1, 1.5},      // PPM
    {0.1, 0.3, 0.9, 0.3},        // VU
    {0.2, 0.01, 0.0631, 2.8},    // BBC
};

}  // namespace

double ballisticCoefficient(int type, bool attack, double sampleRate) {
    const int t = ((type % 4) + 4) % 4;
    if (t == 0 && attack) return 1.0;
    if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) sampleRate = 44100.0;
    const Ballistic& b = kBallistics[t];
    const double r = attack ? b.attackResidual : b.releaseResidual;
    const double seconds = attack ? b.attackSeconds : b.releaseSeconds;
    return 1.0 - std::pow(r, 1.0 / (sampleRate * seconds));
}

void MeterSet::update(const double* const* channels, int count, int frames, double attack, double release) {
    if (count > kMeterChannels) count = kMeterChannels;
    for (int c = 0; c < count; ++c) {
        const double* x = channels[c];
        if (!x) continue;
        double e = env_[c].load(std::memory_order_relaxed);
        for (int i = 0; i < frames; ++i) {
            const double d = std::fabs(x[i]) - e;
            e += d * (d > 0.0 ? attack : release);
        }
        volatile double one = 1.0;  // keeps (e + 1) - 1 from being folded away
        e = (e + one) - one;
        env_[c].store(e, std::memory_order_relaxed);
    }
}

void MeterSet::clear() {
    for (auto& e : env_) e.store(0.0, std::memory_order_relaxed);
}

bool exceedsThreshold(const double* const* channels, int count, int frames, double threshold) {
    for (int c = 0; c < count; ++c) {
        const double* x = channels[c];
        if (!x) continue;
        for (int i = 0; i < frames; ++i)
            if (std::fabs(x[i]) > threshold) return true;
    }
    return false;
}

}  // namespace hm::analysis
