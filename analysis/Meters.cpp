#include "analysis/Meters.h"

#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// One envelope step: d = |x| - e; e += d * (d > 0 ? attack : release).
inline double follow(double e, double x, double attack, double release) {
    const double d = std::fabs(x) - e;
    return e + d * (d > 0.0 ? attack : release);
}

}  // namespace

// Envelopes of the channels of one or more sets, gathered so that their
// recursions can run side by side.
struct MeterChains {
    double* e[2 * kMeterChannels];
    const double* x[2 * kMeterChannels];
    int count = 0;
    void add(double* envelope, const double* samples) {
        e[count] = envelope;
        x[count] = samples;
        ++count;
    }
};

namespace {

#if defined(__SSE2__)
// Lane for lane the operations of follow(), with both candidates computed before
// the choice so the choice is not on the recursion's path. K vector chains of two
// channels each share every wait on the recursion.
template <int K>
void followVectors(double* const* e, const double* const* x, int frames, double attack, double release) {
    const __m128d sign = _mm_set1_pd(-0.0), zero = _mm_setzero_pd();
    const __m128d a = _mm_set1_pd(attack), r = _mm_set1_pd(release);
    __m128d env[K];
    for (int k = 0; k < K; ++k) env[k] = _mm_set_pd(*e[2 * k + 1], *e[2 * k]);
    for (int i = 0; i < frames; ++i) {
        for (int k = 0; k < K; ++k) {
            const __m128d level = _mm_andnot_pd(sign, _mm_set_pd(x[2 * k + 1][i], x[2 * k][i]));
            const __m128d d = _mm_sub_pd(level, env[k]);
            const __m128d up = _mm_cmpgt_pd(d, zero);
            const __m128d rise = _mm_add_pd(env[k], _mm_mul_pd(d, a));
            const __m128d fall = _mm_add_pd(env[k], _mm_mul_pd(d, r));
            env[k] = _mm_or_pd(_mm_and_pd(up, rise), _mm_andnot_pd(up, fall));
        }
    }
    for (int k = 0; k < K; ++k) {
        _mm_storel_pd(e[2 * k], env[k]);
        _mm_storeh_pd(e[2 * k + 1], env[k]);
    }
}
#endif

void run(MeterChains& chains, int frames, double attack, double release) {
    int c = 0;
#if defined(__SSE2__)
    for (; c + 4 <= chains.count; c += 4) followVectors<2>(chains.e + c, chains.x + c, frames, attack, release);
    for (; c + 2 <= chains.count; c += 2) followVectors<1>(chains.e + c, chains.x + c, frames, attack, release);
#endif
    for (; c < chains.count; ++c) {
        double e = *chains.e[c];
        for (int i = 0; i < frames; ++i) e = follow(e, chains.x[c][i], attack, release);
        *chains.e[c] = e;
    }
}

}  // namespace

void MeterSet::gather(const double* const* channels, int count, MeterChains& chains, double* e) const {
    for (int c = 0; c < count && c < kMeterChannels; ++c) {
        e[c] = env_[c].load(std::memory_order_relaxed);
        if (channels[c]) chains.add(&e[c], channels[c]);
    }
}

void MeterSet::publish(const double* const* channels, int count, const double* e) {
    volatile double one = 1.0;  // keeps (e + 1) - 1 from being folded away
    for (int c = 0; c < count && c < kMeterChannels; ++c)
        if (channels[c]) env_[c].store((e[c] + one) - one, std::memory_order_relaxed);
}

void MeterSet::update(const double* const* channels, int count, int frames, double attack, double release) {
    MeterChains chains;
    double e[kMeterChannels];
    gather(channels, count, chains, e);
    run(chains, frames, attack, release);
    publish(channels, count, e);
}

void updateMeterSets(MeterSet& a, const double* const* channelsA, MeterSet& b, const double* const* channelsB,
                     int count, int frames, double attack, double release) {
    MeterChains chains;
    double ea[kMeterChannels], eb[kMeterChannels];
    a.gather(channelsA, count, chains, ea);
    b.gather(channelsB, count, chains, eb);
    run(chains, frames, attack, release);
    a.publish(channelsA, count, ea);
    b.publish(channelsB, count, eb);
}

void MeterSet::clear() {
    for (auto& e : env_) e.store(0.0, std::memory_order_relaxed);
}

bool exceedsThreshold(const double* const* channels, int count, int frames, double threshold) {
    for (int c = 0; c < count; ++c) {
        const double* x = channels[c];
        if (!x) continue;
        int i = 0;
#if defined(__SSE2__)
        // Two samples per comparison; the verdict is taken every 64 samples.
        const __m128d sign = _mm_set1_pd(-0.0), limit = _mm_set1_pd(threshold);
        for (; i + 64 <= frames; i += 64) {
            __m128d over = _mm_setzero_pd();
            for (int k = 0; k < 64; k += 2)
                over = _mm_or_pd(over, _mm_cmpgt_pd(_mm_andnot_pd(sign, _mm_loadu_pd(x + i + k)), limit));
            if (_mm_movemask_pd(over)) return true;
        }
#endif
        for (; i < frames; ++i)
            if (std::fabs(x[i]) > threshold) return true;
    }
    return false;
}

}  // namespace hm::analysis
