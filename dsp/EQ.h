#pragma once
// The filter object's abstract interface: one band on one channel.
//
// EQ holds the band's settings and the dirty flag; DF1Cascade adds the recursive
// realisation and VerdanseEQ the band design. The filter bank owns one object per
// band and channel. Setters run on the settings-update thread; they store the new
// value and mark the object dirty only when the value actually changed, so the next
// recalculation redesigns exactly the bands that moved.
#include "dsp/AnalogSection.h"

namespace hm::dsp {

class EQ {
public:
    virtual ~EQ() = default;

    // Settings (update thread). Non-finite values are ignored: a NaN arriving from a
    // corrupt state document must not reach the design maths.
    virtual int setSampleRate(float hz);  // always clears the filter state
    virtual void setDisabled(int value);
    virtual void setType(int value);
    virtual void setSubtype(int value);
    virtual int setFrequency(float hz);  // 1 if the value changed
    virtual void setSlope(int value);
    virtual int setGain(float db);
    virtual int setQ(float value);
    virtual int setShift(float value);
    virtual int setPhase(float value);
    virtual void setParallel(unsigned char value);

    virtual int getDisabled() const { return disabled; }
    virtual int getType() const { return type; }
    virtual int getSubtype() const { return subtype; }
    virtual float getFrequency() const { return frequency; }
    virtual int getSlope() const { return slope; }
    virtual float getGain() const { return gain; }
    virtual float getQ() const { return q; }
    virtual float getShift() const { return shift; }
    virtual float getPhase() const { return phase; }
    virtual unsigned char getParallel() const { return parallel; }
    virtual int getIdentity() const { return identity; }
    virtual void setIdentity(int value) { identity = value; }  // no dirty marking
    virtual bool isDirty() const { return dirty != 0; }

    virtual float getEffectiveQ() const = 0;
    virtual int getControlMask() const = 0;
    virtual const char* getShiftLabel() const = 0;

    // Filter operations (DF1Cascade implements them).
    virtual int reset() = 0;
    virtual void setUnity(bool immediate) = 0;
    virtual void processDouble(double* samples, int count) = 0;  // audio thread
    virtual void processFloat(float* samples, int count) = 0;    // audio thread
    virtual int getCoefficients(double* out) const = 0;
    virtual double getMagnitude(double hz) const = 0;
    virtual void getResponse(double hz, double* re, double* im) const = 0;
    virtual int setCoefficients(const double* coeffs, int sections) = 0;
    virtual int design() = 0;

    float getSampleRate() const { return sampleRate; }
    // The settings as the plain record the prototype builder reads.
    BandSettings settings() const;

protected:
    int type = kTypeNone;
    int subtype = 0;
    unsigned char dirty = 1;
    int slope = 2;
    int disabled = 1;
    int identity = 0;
    float frequency = 1000.0f;
    float gain = 0.0f;
    float q = 0.707f;
    float shift = 0.5f;
    float phase = 1.0f;
    float sampleRate = 44100.0f;
    unsigned char parallel = 0;
};

}  // namespace hm::dsp
