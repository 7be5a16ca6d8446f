#pragma once
// Direct-form-1 cascade of up to four biquads with a 1000-sample coefficient glide.
//
// Each section computes y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 in double precision.
// New coefficients never jump: setCoefficients records the target and a per-sample
// step, and the processing loops move every coefficient in a straight line from the
// values in use to the target over kGlideLength samples. A new target arriving in
// the middle of a glide continues from where the glide stands.
//
// Threads: processDouble/processFloat run on the audio thread; setCoefficients and
// setUnity on the settings-update thread (it writes the count, then targets and
// steps, and the glide length last); the response queries read only the targets.
// There is no lock: a setCoefficients that lands while a block is running can have
// its new glide length overwritten by that block's count-down, so a caller that
// needs an exact hand-over must exchange coefficients between blocks.
#include "dsp/Biquad.h"
#include "dsp/EQ.h"

namespace hm::dsp {

constexpr int kGlideLength = 1000;

class DF1Cascade : public EQ {
public:
    DF1Cascade();

    int reset() override;
    void setUnity(bool immediate) override;
    void processDouble(double* samples, int count) override;
    void processFloat(float* samples, int count) override;
    int getCoefficients(double* out) const override;
    double getMagnitude(double hz) const override;
    void getResponse(double hz, double* re, double* im) const override;
    // Returns 1 when a glide was started (the count or some coefficient changed).
    // A null pointer, a section count outside 1..4 or a non-finite coefficient
    // leaves the object unchanged and returns 0.
    int setCoefficients(const double* coeffs, int sections) override;

    int getSectionCount() const { return sectionCount; }
    int getRampRemaining() const { return rampRemaining; }
    // Unity and no glide running: processing leaves the samples untouched.
    bool idle() const { return identity != 0 && rampRemaining <= 0; }

    // For the pipeline that runs many cascades side by side (dsp/cascade): the
    // section arrays it computes with, and the glide moved on by a block of
    // `count` samples it processed in processDouble's stead (the coefficients
    // then stand where that block's last sample left them). Audio thread.
    double* sectionState(int i) { return state[i]; }
    const double* sectionCurrent(int i) const { return current[i]; }
    const double* sectionTarget(int i) const { return target[i]; }
    const double* sectionStep(int i) const { return step[i]; }
    void advanceGlide(int count);
    int getPrototypeCount() const { return prototypeCount; }
    const AnalogSection* getPrototype() const { return prototype; }

protected:
    AnalogSection prototype[kMaxSections];
    int prototypeCount = 1;
    unsigned char prototypeChanged = 1;
    double state[kMaxSections][4] = {};  // x1, x2, y1, y2
    double current[kMaxSections][kBiquadCoefficients] = {};
    int sectionCount = 1;
    int rampRemaining = 0;
    double target[kMaxSections][kBiquadCoefficients] = {};
    double step[kMaxSections][kBiquadCoefficients] = {};
};

}  // namespace hm::dsp
