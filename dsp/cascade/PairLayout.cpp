// Packing a channel pair's active sections into pipeline groups, and handing
// their memories back.
#include <algorithm>

#include "dsp/DF1Cascade.h"
#include "dsp/cascade/PairPipeline.h"

namespace hm::dsp {
namespace {

constexpr double kUnity[kCoefficientRows] = {1.0, 0.0, 0.0, 0.0, 0.0};
constexpr double kNoStep[kCoefficientRows] = {};
constexpr double kNoGlide = -1e9;  // a glide base no block reaches

// Lane of a section within its group: slot k of a group of P vectors of S
// sections per channel sits in vector k mod P, at lane k / P of each channel half.
int laneOf(int k, int P, int S, bool right) { return k / P + (right ? S : 0); }

}  // namespace

void PairPipeline::build(DF1Cascade* const* left, DF1Cascade* const* right, const bool* includeLeft,
                         const bool* includeRight, int bands, int lanes) {
    if (built_) flush();
    lanes_ = lanes == kMaxVectorLanes ? kMaxVectorLanes : 4;
    Lane slots[kPipelineBands * kMaxSections][2];
    int count = 0;
    memberCount_ = 0;
    const auto member = [&](DF1Cascade* c, const bool* include, int b) -> DF1Cascade* {
        if (!c || !include[b] || c->idle()) return nullptr;
        members_[memberCount_++] = c;
        return c;
    };
    const auto lane = [](DF1Cascade* c, int s) {
        if (!c || s >= c->getSectionCount()) return Lane{{}, nullptr, nullptr, nullptr, -1};
        const bool gliding = c->getRampRemaining() >= 0;
        return Lane{{c, s, false}, c->sectionCurrent(s), gliding ? c->sectionTarget(s) : c->sectionCurrent(s),
                    gliding ? c->sectionStep(s) : kNoStep, c->getRampRemaining()};
    };
    for (int b = 0; b < bands && b < kPipelineBands; ++b) {
        DF1Cascade* l = member(left[b], includeLeft, b);
        DF1Cascade* r = right ? member(right[b], includeRight, b) : nullptr;
        const int sections = std::max(l ? l->getSectionCount() : 0, r ? r->getSectionCount() : 0);
        for (int s = 0; s < sections; ++s, ++count) {
            slots[count][0] = lane(l, s);
            if (right) {
                slots[count][1] = lane(r, s);
            } else {
                slots[count][1] = slots[count][0];
                slots[count][1].source.ghost = true;
            }
        }
    }
    pack(slots, count);
    built_ = true;
}

void PairPipeline::pack(const Lane (*slots)[2], int count) {
    const int S = lanes_ / 2;
    const int perGroup = S * kMaxGroupVectors;
    groupCount_ = (count + perGroup - 1) / perGroup;
    for (int g = 0; g < groupCount_; ++g) {
        PackedGroup& group = groups_[g];
        const int first = g * perGroup;
        const int here = count - first < perGroup ? count - first : perGroup;
        const int P = (here + S - 1) / S;
        group.vectors = P;
        group.gliding = false;
        for (int k = 0; k < S * P; ++k) {
            for (int side = 0; side < 2; ++side) {
                const Lane none{{}, nullptr, nullptr, nullptr, -1};
                const Lane& src = k < here ? slots[first + k][side] : none;  // a short group ends in pass-throughs
                const int j = k % P, lane = laneOf(k, P, S, side == 1);
                const bool gliding = src.coef && src.ramp >= 0;
                for (int c = 0; c < kCoefficientRows; ++c) {
                    group.coef[j][c][lane] = src.coef ? src.coef[c] : kUnity[c];
                    group.target[j][c][lane] = src.coef ? src.target[c] : kUnity[c];
                    group.step[j][c][lane] = src.coef ? src.step[c] : 0.0;
                }
                group.base[j][lane] = gliding ? src.ramp + 2.0 * k : kNoGlide;
                group.gliding |= gliding;
                const double* memory = src.coef ? src.source.cascade->sectionState(src.source.section) : nullptr;
                for (int m = 0; m < 4; ++m) group.state[j][m][lane] = memory ? memory[m] : 0.0;
                group.lanes[j][lane] = src.coef ? src.source : LaneSource{};
            }
        }
    }
}

void PairPipeline::flush() {
    for (int g = 0; g < groupCount_; ++g) {
        const PackedGroup& group = groups_[g];
        for (int j = 0; j < group.vectors; ++j) {
            for (int lane = 0; lane < lanes_; ++lane) {
                const LaneSource& src = group.lanes[j][lane];
                if (!src.cascade || src.ghost) continue;
                double* memory = src.cascade->sectionState(src.section);
                for (int m = 0; m < 4; ++m) memory[m] = group.state[j][m][lane];
            }
        }
    }
    groupCount_ = 0;
    memberCount_ = 0;
    built_ = false;
}

}  // namespace hm::dsp
