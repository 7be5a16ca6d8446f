#include "core/BandMapping.h"

#include <algorithm>
#include <cmath>

namespace hm {
namespace {

// By user-facing Type: peak, high-pass, low shelf, high shelf, low-pass, notch.
constexpr int kEngineType[6] = {dsp::kTypePeak,      dsp::kTypeHighPass, dsp::kTypeLowShelf,
                                dsp::kTypeHighShelf, dsp::kTypeLowPass,  dsp::kTypeNotch};
// Heard alone: peaks and notches as band-pass, shelves as the pass filter of their side.
constexpr int kAuditionType[6] = {dsp::kTypeBandPass, dsp::kTypeLowPass,  dsp::kTypeLowPass,
                                  dsp::kTypeHighPass, dsp::kTypeHighPass, dsp::kTypeBandPass};

int whole(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

int engineBandType(int userType, bool auditioning) {
    const int t = std::clamp(userType, 1, 6);
    return auditioning ? kAuditionType[t - 1] : kEngineType[t - 1];
}

dsp::BandSettings engineBandSettings(const double (&f)[kParamsPerBand], double scaleDb, double frequencyFactor) {
    const int userType = std::clamp(whole(f[kBandType]), 1, 6);
    const bool pass = userType == 2 || userType == 5;  // pass filters have a slope, not a gain
    dsp::BandSettings s;
    s.type = engineBandType(userType);
    s.subtype = whole(f[kBandSubtype]) - 1;
    s.slope = pass ? whole(f[kBandSlope]) / 6 : 2;
    s.gain = static_cast<float>(pass ? 0.0 : f[kBandGain] * scaleDb);
    s.frequency = static_cast<float>(std::clamp(f[kBandFrequency] * frequencyFactor, 10.0, 22000.0));
    s.q = static_cast<float>(f[kBandQ]);
    s.shift = static_cast<float>(f[kBandShift]);
    s.phase = static_cast<float>(f[kBandPhase] * 0.01);
    s.disabled = false;
    return s;
}

}  // namespace hm
