#include "dsp/EQ.h"

#include <cmath>

namespace hm::dsp {

namespace {

// Stores value into field; marks dirty and reports 1 when it differs.
template <typename T>
int storeSetting(T& field, T value, unsigned char& dirty)
{
    if (field == value) return 0;
    field = value;
    dirty = 1;
    return 1;
}

int storeFloat(float& field, float value, unsigned char& dirty)
{
    if (!std::isfinite(value)) return 0;
    return storeSetting(field, value, dirty);
}

}  // namespace

int EQ::setSampleRate(float hz)
{
    if (std::isfinite(hz) && hz > 0.0f) storeSetting(sampleRate, hz, dirty);
    return reset();
}

void EQ::setDisabled(int value) { storeSetting(disabled, value, dirty); }
void EQ::setType(int value) { storeSetting(type, value, dirty); }
void EQ::setSubtype(int value) { storeSetting(subtype, value, dirty); }
int EQ::setFrequency(float hz) { return storeFloat(frequency, hz, dirty); }
void EQ::setSlope(int value) { storeSetting(slope, value, dirty); }
int EQ::setGain(float db) { return storeFloat(gain, db, dirty); }
int EQ::setQ(float value) { return storeFloat(q, value, dirty); }
int EQ::setShift(float value) { return storeFloat(shift, value, dirty); }
int EQ::setPhase(float value) { return storeFloat(phase, value, dirty); }
void EQ::setParallel(unsigned char value) { storeSetting(parallel, value, dirty); }

BandSettings EQ::settings() const
{
    BandSettings s;
    s.type = type;
    s.subtype = subtype;
    s.slope = slope;
    s.frequency = frequency;
    s.gain = gain;
    s.q = q;
    s.shift = shift;
    s.phase = phase;
    s.parallel = parallel != 0;
    s.disabled = disabled != 0;
    return s;
}

}  // namespace hm::dsp
