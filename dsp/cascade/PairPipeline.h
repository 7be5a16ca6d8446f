#pragma once
// One channel pair's recursive sections run side by side: the vectorised cascade.
//
// The scalar cascade (DF1Cascade::processDouble) runs one section over the whole
// block, then the next: every sample waits for the one before it, so a processor
// spends most of its time waiting on the feedback path. Here the sections that
// do something on a pair of channels (bands in order, each band's sections in
// order; idle bands are left out and cost nothing) are flattened into one list
// and packed into groups (PackedGroup.h) that run skewed: section k works on
// sample t - 2k at step t, so in every step each section has its input ready and
// the two channels and several sections share each vector instruction.
//
// The output equals the scalar cascade's: every section computes every sample
// with the same operations in the same order, including the coefficient glide
// (each lane follows its own cascade's glide at its own sample) and the per-block
// flush of tiny memories. The pipeline holds the sections' memories between
// blocks; the cascades get them back in flush(), which must come before anything
// else reads or changes the cascades (new coefficients, routing, reset). The
// glide counts and coefficients in use are handed back after every block.
//
// Audio thread only; fixed storage, nothing allocates.
#include "dsp/AnalogSection.h"
#include "dsp/cascade/CascadePath.h"
#include "dsp/cascade/PackedGroup.h"

namespace hm::dsp {

class DF1Cascade;

constexpr int kPipelineBands = 32;
constexpr int kPipelineBlock = 1024;  // samples per process call at most
// The four-lane paths' groups hold the fewest sections: two a vector per channel.
constexpr int kPipelineMaxGroups = (kPipelineBands * kMaxSections + 2 * kMaxGroupVectors - 1) / (2 * kMaxGroupVectors);

class PairPipeline {
public:
    // Packs the chain of `bands` cascades per channel (right null: one channel,
    // whose partner lanes compute a shadow copy) into groups of `lanes` (4 or 8,
    // CascadeKernel::lanes) lanes a vector. A band takes part on a channel where include[b]
    // is set and its cascade is not idle. Reads the cascades' coefficients, glides
    // and memories.
    void build(DF1Cascade* const* left, DF1Cascade* const* right, const bool* includeLeft, const bool* includeRight,
               int bands, int lanes);
    // Hands the memories back to the cascades and forgets the chain.
    void flush();
    bool built() const { return built_; }
    bool empty() const { return groupCount_ == 0; }
    int lanes() const { return lanes_; }

    // Filters n (1..kPipelineBlock) samples in place; right null for one channel.
    // `kernel` must be one for the lanes the chain was built with. False when
    // the chain must be built afresh before the next block (a glide ended, or a
    // cascade fell idle).
    bool process(double* left, double* right, int n, const CascadeKernel& kernel);

private:
    struct Lane {
        LaneSource source;
        const double* coef;    // five coefficients, or null for a pass-through lane
        const double* target;
        const double* step;
        int ramp;
    };
    void pack(const Lane (*slots)[2], int count);
    bool finishBlock(int n);

    PackedGroup groups_[kPipelineMaxGroups];
    int groupCount_ = 0;
    DF1Cascade* members_[2 * kPipelineBands] = {};
    int memberCount_ = 0;
    int lanes_ = 4;
    bool built_ = false;
    alignas(64) double io_[2 * kPipelineBlock];
};

}  // namespace hm::dsp
