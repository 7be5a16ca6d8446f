#include "dsp/DF1Cascade.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "dsp/DigitalResponse.h"

namespace hm::dsp {

namespace {

constexpr double kUnityCoefficients[kBiquadCoefficients] = {1.0, 0.0, 0.0, 0.0, 0.0};

// True for zero and for doubles whose biased exponent is 0 or 1 (|v| < 2^-1021):
// values that would otherwise decay through the denormal range in the feedback path.
inline bool isTiny(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return ((bits >> 52) & 0x7ffu) <= 1u;
}

// The glide rule: at sample j of a block that began with `ramp` samples left, the
// coefficients are target - step * (ramp - j) while that distance is not negative.
struct SectionGlide {
    const double* target;
    const double* step;
    double* current;
    int ramp;
};

inline void glideAt(const SectionGlide& g, int j, double& b0, double& b1, double& b2, double& a1,
                    double& a2)
{
    const double d = static_cast<double>(g.ramp - j);
    b0 = g.target[0] - g.step[0] * d;
    b1 = g.target[1] - g.step[1] * d;
    b2 = g.target[2] - g.step[2] * d;
    a1 = g.target[3] - g.step[3] * d;
    a2 = g.target[4] - g.step[4] * d;
}

}  // namespace

DF1Cascade::DF1Cascade()
{
    for (int i = 0; i < kMaxSections; ++i) {
        std::memcpy(current[i], kUnityCoefficients, sizeof kUnityCoefficients);
        std::memcpy(target[i], kUnityCoefficients, sizeof kUnityCoefficients);
    }
}

int DF1Cascade::reset()
{
    std::memset(state, 0, sizeof state);
    return 0;
}

void DF1Cascade::setUnity(bool immediate)
{
    if (!immediate) {
        double unity[kMaxSections * kBiquadCoefficients];
        for (int i = 0; i < kMaxSections; ++i)
            std::memcpy(unity + i * kBiquadCoefficients, kUnityCoefficients, sizeof kUnityCoefficients);
        setCoefficients(unity, sectionCount);
        return;
    }
    for (int i = 0; i < kMaxSections; ++i) {
        std::memcpy(current[i], kUnityCoefficients, sizeof kUnityCoefficients);
        std::memcpy(target[i], kUnityCoefficients, sizeof kUnityCoefficients);
        std::memset(step[i], 0, sizeof step[i]);
    }
}

int DF1Cascade::setCoefficients(const double* coeffs, int sections)
{
    if (coeffs == nullptr || sections < 1 || sections > kMaxSections) return 0;
    for (int k = 0; k < sections * kBiquadCoefficients; ++k)
        if (!std::isfinite(coeffs[k])) return 0;

    bool changed = sections != sectionCount;
    sectionCount = sections;
    for (int i = 0; i < sections; ++i) {
        for (int k = 0; k < kBiquadCoefficients; ++k) {
            const double value = coeffs[i * kBiquadCoefficients + k];
            const double d = value - current[i][k];
            target[i][k] = value;
            step[i][k] = d * 0.001;
            changed |= (value != current[i][k]);
        }
    }
    // Written last: the audio thread picks up the whole new glide at its next block.
    if (changed) rampRemaining = kGlideLength;
    return changed ? 1 : 0;
}

void DF1Cascade::advanceGlide(int count)
{
    const int ramp = rampRemaining;
    if (ramp < 0 || count <= 0) return;
    // The last sample that glided: the block's last, or the glide's end inside it.
    const int last = ramp < count - 1 ? ramp : count - 1;
    for (int s = 0; s < sectionCount; ++s) {
        double* c = current[s];
        glideAt({target[s], step[s], c, ramp}, last, c[0], c[1], c[2], c[3], c[4]);
    }
    rampRemaining = ramp - count;
}

void DF1Cascade::processDouble(double* samples, int count)
{
    const int ramp = rampRemaining;
    if (idle() || samples == nullptr || count <= 0) return;

    const int sections = sectionCount;
    for (int s = 0; s < sections; ++s) {
        double* st = state[s];
        for (int k = 0; k < 4; ++k)
            if (isTiny(st[k])) st[k] = 0.0;
        double x1 = st[0], x2 = st[1], y1 = st[2], y2 = st[3];
        double* c = current[s];
        double b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[3], a2 = c[4];
        const SectionGlide glide{target[s], step[s], c, ramp};
        // Samples inside the glide, then the rest with fixed coefficients.
        const int gliding = ramp >= 0 ? (ramp + 1 < count ? ramp + 1 : count) : 0;
        int j = 0;
        for (; j < gliding; ++j) {
            glideAt(glide, j, b0, b1, b2, a1, a2);
            const double x = samples[j];
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1; x1 = x; y2 = y1; y1 = y;
            samples[j] = y;
        }
        for (; j < count; ++j) {
            const double x = samples[j];
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1; x1 = x; y2 = y1; y1 = y;
            samples[j] = y;
        }
        st[0] = x1; st[1] = x2; st[2] = y1; st[3] = y2;
        c[0] = b0; c[1] = b1; c[2] = b2; c[3] = a1; c[4] = a2;
    }
    if (ramp >= 0) rampRemaining = ramp - count;
}

void DF1Cascade::processFloat(float* samples, int count)
{
    const int ramp = rampRemaining;
    if (((disabled != 0 || identity != 0) && ramp <= 0) || samples == nullptr || count <= 0) return;

    // volatile keeps the compiler from folding (v + c) - c: the round trip is the flush.
    volatile double tinyD = 1e-30;
    volatile float tinyF = 1e-15f;
    const double flushD = tinyD;
    const float flushF = tinyF;

    const int sections = sectionCount;
    for (int s = 0; s < sections; ++s) {
        double* st = state[s];
        double x1 = st[0], x2 = st[1], y1 = st[2], y2 = st[3];
        double* c = current[s];
        double b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[3], a2 = c[4];
        const SectionGlide glide{target[s], step[s], c, ramp};
        const int gliding = ramp >= 0 ? (ramp + 1 < count ? ramp + 1 : count) : 0;
        for (int j = 0; j < count; ++j) {
            if (j < gliding) glideAt(glide, j, b0, b1, b2, a1, a2);
            const double x = samples[j];
            double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            y = (y + flushD) - flushD;
            x2 = x1; x1 = x; y2 = y1; y1 = y;
            float out = static_cast<float>(y);
            out = (out + flushF) - flushF;
            samples[j] = out;
        }
        st[0] = x1; st[1] = x2; st[2] = y1; st[3] = y2;
        c[0] = b0; c[1] = b1; c[2] = b2; c[3] = a1; c[4] = a2;
    }
    if (ramp >= 0) rampRemaining = ramp - count;
}

int DF1Cascade::getCoefficients(double* out) const
{
    const int sections = sectionCount;
    if (out != nullptr)
        for (int i = 0; i < sections; ++i)
            std::memcpy(out + i * kBiquadCoefficients, target[i], sizeof target[i]);
    return sections;
}

double DF1Cascade::getMagnitude(double hz) const
{
    return cascadeMagnitude(target, sectionCount, 2.0 * M_PI * hz / sampleRate);
}

void DF1Cascade::getResponse(double hz, double* re, double* im) const
{
    cascadeResponse(target, sectionCount, 2.0 * M_PI * hz / sampleRate, re, im);
}

}  // namespace hm::dsp
