#pragma once
// The filter object the bank creates: a DF1Cascade that designs itself.
//
// design() turns the band settings into an analogue prototype (the prototype
// builder), maps each analogue section to a biquad and lets the result glide in.
// It runs on the settings-update thread, never on the audio thread.
#include "dsp/DF1Cascade.h"
#include "dsp/design/MagnitudeFit.h"

namespace hm::dsp {

class VerdanseEQ : public DF1Cascade {
public:
    VerdanseEQ();

    // Returns 1 when new coefficients (or the glide to unity) were started, else 0.
    int design() override;
    float getEffectiveQ() const override;
    int getControlMask() const override;
    const char* getShiftLabel() const override;

    // Rebuilds the stored prototype when a setting changed since the last build.
    void buildPrototype();

    // A parallel band whose design could not be put in parallel form runs in series.
    unsigned char getParallel() const override { return parallel && !seriesFallback ? 1 : 0; }
    // The designed cascade H itself (targets), whatever the routing; returns the count.
    // The audio side runs this and takes the dry signal off for a parallel band, so a
    // routing change never needs its running state converted.
    int getWholeCoefficients(double* out) const;
    // Takes over another filter's design (the other channels of a band share one).
    void adoptDesign(const VerdanseEQ& from);

private:
    int glideToUnity();

    FitWorkspace fit;
    double whole[kMaxSections * kBiquadCoefficients] = {1.0, 0.0, 0.0, 0.0, 0.0};
    int wholeCount = 1;
    bool seriesFallback = false;
};

// Control-mask bits: which band controls a type and subtype use.
enum ControlBits : int {
    kControlGain = 1,
    kControlFrequency = 2,
    kControlQ = 4,
    kControlShift = 8,
    kControlSlope = 16,
};

int controlMaskFor(int type, int subtype);
const char* shiftLabelFor(int type, int subtype);

}  // namespace hm::dsp
