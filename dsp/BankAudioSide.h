#pragma once
// The filter bank's audio side: the filters the audio thread runs, with what it
// last adopted from the designer. Only the audio thread touches this record.
#include <cstdint>

#include "dsp/BankSnapshot.h"
#include "dsp/DF1Cascade.h"
#include "dsp/EQBank.h"
#include "dsp/cascade/PairPipeline.h"

namespace hm::dsp {

// A cascade that never designs: it glides to whatever coefficients it is handed.
class GlideCascade final : public DF1Cascade {
public:
    GlideCascade() { identity = 1; }
    int design() override { return 0; }
    float getEffectiveQ() const override { return q; }
    int getControlMask() const override { return 0; }
    const char* getShiftLabel() const override { return ""; }
    // Stands at the target at once: after a reset there is no earlier sound to
    // glide from, so the first sample is already filtered as set.
    void settle() {
        for (int i = 0; i < kMaxSections; ++i)
            for (int k = 0; k < kBiquadCoefficients; ++k) {
                current[i][k] = target[i][k];
                step[i][k] = 0.0;
            }
        rampRemaining = -1;
    }
};

constexpr int kBankScratch = 1024;

struct EQBank::AudioSide {
    GlideCascade runners[kBankMaxChannels][kBankBands];
    std::uint32_t adopted[kBankMaxChannels][kBankBands] = {};
    unsigned char parallel[kBankMaxChannels][kBankBands] = {};
    std::uint32_t resetSerial = 0;
    int mode = 0;
    int channels = 0;
    unsigned char parallelMode = 0;
    unsigned char firActive = 0;
    unsigned char linked = 0;
    // Stages older than these have heard input the bank must forget (they sat idle
    // while another mode ran, the rate changed, or they went non-finite): skipped.
    std::uint32_t requiredLong = 0;
    std::uint32_t requiredCompensation = 0;
    // Generations of the stages that ran last.
    std::uint32_t ranLong = 0;
    std::uint32_t ranCompensation = 0;
    double scratchA[kBankScratch] = {};
    double scratchB[kBankScratch] = {};
    // The series bands of each channel pair, vectorised (unless the scalar path
    // runs). They hold the runners' filter memories while built.
    PairPipeline pipelines[kBankMaxChannels / 2];
    bool pipelinesStale = true;
    unsigned pipelineChannels = 0;  // the channels that had buffers when they were built
    int pipelineLanes = 0;          // and the lanes a vector of their groups holds
};

static_assert(kBankScratch == kPipelineBlock && kBankBands == kPipelineBands);

}  // namespace hm::dsp
