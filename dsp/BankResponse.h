#pragma once
// One channel's band set as the FIR builders read it: a plain copy of every
// enabled band's analogue prototype sections, designed digital sections, routing
// and phase amount, taken on the design side so that a build on another thread
// never reads filter objects the settings update is changing.
//
// Disabled (and typeless) bands are left out: they answer unity and would only
// cost a multiply per bin and band.
#include <vector>

#include "dsp/AnalogSection.h"
#include "dsp/Biquad.h"
#include "dsp/fir/ResponseSource.h"

namespace hm::dsp {

class EQ;
class DF1Cascade;

struct BankBand {
    AnalogSection prototype[kMaxSections];
    int prototypeCount = 1;
    double coeffs[kMaxSections][kBiquadCoefficients] = {};
    int sections = 1;
    bool parallel = false;
    bool identity = false;
    double phase = 1.0;
};

class BankResponse final : public ResponseSource {
public:
    double sampleRate = 44100.0;
    std::vector<BankBand> bands;

    // Appends the band behind `filter` unless it runs as unity.
    void add(const DF1Cascade& filter);

    // Both describe the same response (same bands, same rate).
    bool sameAs(const BankResponse& other) const;

    int bandCount() const override { return static_cast<int>(bands.size()); }
    bool isParallel(int band) const override { return bands[static_cast<std::size_t>(band)].parallel; }
    double phaseAmount(int band) const override { return bands[static_cast<std::size_t>(band)].phase; }
    void analogue(int band, double df, int count, double* magnitude, double* phase) const override;
    void digital(int band, double df, int count, double* response) const override;
};

}  // namespace hm::dsp
