// Running a channel pair's packed chain over a block, and the glide's bookkeeping.
#include "dsp/cascade/PairPipeline.h"

#include "dsp/DF1Cascade.h"

namespace hm::dsp {

bool PairPipeline::process(double* left, double* right, int n, const CascadeKernel& kernel) {
    if (!built_ || n <= 0 || n > kPipelineBlock || !left) return true;
    if (groupCount_ == 0) return finishBlock(n);
    // One channel: the shadow lanes compute the same signal and are dropped.
    kernel.interleave(left, right ? right : left, io_, n);
    kernel.run(groups_, groupCount_, io_, n);
    kernel.deinterleave(io_, left, right, n);
    return finishBlock(n);
}

bool PairPipeline::finishBlock(int n) {
    bool keep = true;
    for (int m = 0; m < memberCount_; ++m) {
        members_[m]->advanceGlide(n);
        keep = keep && !members_[m]->idle();
    }
    // A group whose glides all ended goes back to its static rows, which the
    // next build reads from the cascades' coefficients now in use.
    for (int g = 0; g < groupCount_; ++g) {
        PackedGroup& group = groups_[g];
        if (!group.gliding) continue;
        bool still = false;
        const int S = lanes_ / 2;
        for (int j = 0; j < group.vectors; ++j) {
            for (int lane = 0; lane < lanes_; ++lane) {
                group.base[j][lane] -= n;
                const double skew = 2.0 * (j + (lane % S) * group.vectors);
                still = still || group.base[j][lane] - skew >= 0.0;
            }
        }
        keep = keep && still;
    }
    return keep;
}

}  // namespace hm::dsp
