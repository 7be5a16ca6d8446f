#pragma once
// Bank settings the benchmarks share: 32 bands spread evenly in log-frequency from
// 20 Hz to 20 kHz at +3 dB, Q 1, slope 48 dB/oct where the type has one.
#include <cmath>

#include "dsp/EQBank.h"

namespace hm::bench {

// typeOf(band) gives each band's type; the bank is designed at `rate`.
template <typename TypeOf>
void spreadBands(dsp::EQBank& bank, float rate, TypeOf typeOf) {
    bank.setSampleRate(rate);
    for (int b = 0; b < 32; ++b) {
        bank.setType(typeOf(b), b, -1);
        bank.setSlope(8, b, -1);
        bank.setFrequency(static_cast<float>(20.0 * std::pow(1000.0, b / 31.0)), b, -1);
        bank.setGain(3.0f, b, -1);
        bank.setQ(1.0f, b, -1);
        bank.setDisabled(0, b, -1);
    }
    bank.setMode(0);
}

}  // namespace hm::bench
