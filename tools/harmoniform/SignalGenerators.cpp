#include "tools/harmoniform/SignalGenerators.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace hm::tool {
namespace {

std::size_t frameCount(double sampleRate, double seconds) {
    return static_cast<std::size_t>(std::max(0.0, std::round(sampleRate * seconds)));
}

void normalisePeak(std::vector<double>& x, double peak) {
    double largest = 0.0;
    for (double v : x) largest = std::max(largest, std::fabs(v));
    if (largest > 0.0)
        for (double& v : x) v *= peak / largest;
}

}  // namespace

std::vector<double> pinkNoise(double sampleRate, double seconds, double rms, std::uint32_t seed) {
    std::vector<double> x(frameCount(sampleRate, seconds));
    std::mt19937 random(seed);
    std::normal_distribution<double> white(0.0, 1.0);
    // One-pole low-passes, one per two octaves from 10 Hz up, each fed its own
    // white noise. A pole at fc with DC power 1/fc contributes 1/fc below its
    // corner and fc/f^2 above it, so at any f the nearest poles on either side add
    // up to a power proportional to 1/f (within about 1 dB between the poles).
    constexpr int kPoles = 7;
    double coefficient[kPoles], weight[kPoles], state[kPoles] = {};
    for (int k = 0; k < kPoles; ++k) {
        const double fc = std::min(10.0 * std::pow(4.0, k), 0.45 * sampleRate);
        coefficient[k] = std::exp(-2.0 * std::numbers::pi * fc / sampleRate);
        weight[k] = (1.0 - coefficient[k]) / std::sqrt(fc);
    }
    double energy = 0.0;
    for (double& v : x) {
        double sum = 0.0;
        for (int k = 0; k < kPoles; ++k) {
            state[k] = coefficient[k] * state[k] + weight[k] * white(random);
            sum += state[k];
        }
        v = sum;
        energy += sum * sum;
    }
    if (!x.empty() && energy > 0.0) {
        const double gain = rms / std::sqrt(energy / static_cast<double>(x.size()));
        for (double& v : x) v *= gain;
    }
    return x;
}

std::vector<double> sineSweep(double sampleRate, double seconds, double f0, double f1, double peak) {
    std::vector<double> x(frameCount(sampleRate, seconds));
    const double rate = std::log(f1 / f0);
    const double fade = 0.01 * sampleRate;
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double t = static_cast<double>(n) / sampleRate;
        // Phase: integral of 2 pi f0 e^(rate t / T) dt.
        const double phase = 2.0 * std::numbers::pi * f0 * seconds / rate * (std::exp(rate * t / seconds) - 1.0);
        const double edge = std::min({1.0, static_cast<double>(n) / fade, static_cast<double>(x.size() - 1 - n) / fade});
        x[n] = peak * edge * std::sin(phase);
    }
    return x;
}

std::vector<double> drumLoop(double sampleRate, double seconds, double bpm, double peak, std::uint32_t seed) {
    std::vector<double> x(frameCount(sampleRate, seconds));
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    const double beat = 60.0 / bpm;
    const auto addAt = [&](double start, double length, auto&& voice) {
        const std::size_t first = static_cast<std::size_t>(start * sampleRate);
        for (std::size_t n = 0; n < static_cast<std::size_t>(length * sampleRate) && first + n < x.size(); ++n)
            x[first + n] += voice(static_cast<double>(n) / sampleRate);
    };
    double hatState = 0.0, hatPrevious = 0.0;
    for (int step = 0; step * beat / 2.0 < seconds; ++step) {
        const double t = step * beat / 2.0;
        if (step % 2 == 0 && (step / 2) % 2 == 0) {
            double phase = 0.0;
            addAt(t, 0.4, [&](double s) {
                const double f = 50.0 + 100.0 * std::exp(-s / 0.03);
                phase += 2.0 * std::numbers::pi * f / sampleRate;
                return std::sin(phase) * std::exp(-s / 0.12);
            });
        }
        if (step % 2 == 0 && (step / 2) % 2 == 1) {
            addAt(t, 0.25, [&](double s) {
                return 0.6 * noise(random) * std::exp(-s / 0.05) +
                       0.4 * std::sin(2.0 * std::numbers::pi * 190.0 * s) * std::exp(-s / 0.04);
            });
        }
        addAt(t, 0.05, [&](double s) {
            // First difference of noise: a crude high-pass that leaves the hiss.
            const double w = noise(random);
            hatState = w - hatPrevious;
            hatPrevious = w;
            return 0.25 * hatState * std::exp(-s / 0.012);
        });
    }
    normalisePeak(x, peak);
    return x;
}

std::vector<double> sine(double sampleRate, double seconds, double hz, double peak) {
    std::vector<double> x(frameCount(sampleRate, seconds));
    for (std::size_t n = 0; n < x.size(); ++n)
        x[n] = peak * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(n) / sampleRate);
    return x;
}

}  // namespace hm::tool
