#pragma once
// Parameter indices and normalised values as a host works them out from the
// plug-in's published conversions, for the host-level tests.
#include <cmath>

namespace hm::test {

// Band parameters: 46 + 10 per band + field.
constexpr int band(int b, int field) { return 46 + 10 * b + field; }
constexpr int kState = 0, kType = 2, kGainField = 4, kFrequency = 5, kQ = 6;

inline float gainValue(double db) { return static_cast<float>((db / 18.0 + 1.0) / 2.0); }  // -1..1 x Scale 18 dB
inline float logValue(double v, double lo, double hi) {
    return static_cast<float>(std::log(v / lo) / std::log(hi / lo));
}
inline float integerValue(int v, int lo, int hi) { return static_cast<float>((v - lo) / (hi - lo + 1.0)); }

}  // namespace hm::test
