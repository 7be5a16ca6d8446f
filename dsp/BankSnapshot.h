#pragma once
// The record the filter bank's designer hands to its audio side: for every band
// and channel the coefficients to glide to, plus the bank-wide switches the block
// processing reads. The designer always publishes the whole record, so the audio
// thread adopts a complete, consistent set at a block boundary.
#include <cstdint>

#include "dsp/AnalogSection.h"
#include "dsp/Biquad.h"

namespace hm::dsp {

constexpr int kBankBands = 32;
constexpr int kBankMaxChannels = 8;

struct BandCoefficients {
    // The band's whole cascade H; a parallel band contributes H(x) - x.
    double coeffs[kMaxSections * kBiquadCoefficients] = {1.0, 0.0, 0.0, 0.0, 0.0};
    int sections = 1;
    int identity = 1;
    unsigned char parallel = 0;
    // Bumped by the designer whenever this entry changed; the audio side starts a
    // glide only for entries whose generation moved, so untouched bands keep gliding
    // undisturbed.
    std::uint32_t generation = 0;
};

struct BankSnapshot {
    std::uint32_t serial = 0;       // one per publish
    std::uint32_t resetSerial = 0;  // moves when the filter memories must be cleared
    int mode = 0;
    int channels = 0;
    unsigned char parallelMode = 0;
    unsigned char firActive = 0;
    unsigned char linked = 0;
    // Oldest FIR stage generations that may run (FirStage::generation).
    std::uint32_t freshLong = 0;
    std::uint32_t freshCompensation = 0;
    BandCoefficients entries[kBankMaxChannels][kBankBands];  // [channel][band]
};

}  // namespace hm::dsp
