#pragma once
// The memory layout of the vectorised cascade (see SectionPipeline.h for the idea).
//
// A channel pair's chain of active sections (bands in order, each band's sections
// in order) is cut into groups of up to 2·kMaxGroupVectors consecutive sections.
// A group's vector j holds four lanes, two sections of two channels:
//
//        lane:     0            1              2            3
//   vector j   [ sect j, L | sect j+P, L | sect j, R | sect j+P, R ]    P = vectors
//
// so sections 0..P-1 sit in the low lane of each channel half and P..2P-1 in the
// high lane. Section k of the group works on sample t - 2k at step t (the skew):
// its input is what section k-1 produced two steps earlier, which is exactly that
// section's stored y2, so no lane ever waits for a result of the same step. Only
// section P takes its input across vectors (from the low lane of vector P-1).
//
// Coefficients are stored as the cascade computes with them, one value per lane:
// b0, b1, b2, a1, a2, each a row of four doubles per vector.
#include <cstdint>

namespace hm::dsp {

class DF1Cascade;

constexpr int kMaxGroupVectors = 4;
constexpr int kGroupLanes = 4;
constexpr int kCoefficientRows = 5;  // b0, b1, b2, a1, a2

// Where a lane's section lives, for reading its glide and writing back its state.
// A lane without a cascade passes its input through unchanged (unity coefficients);
// a ghost lane shadows the other channel's section of the same vector half so a
// single channel still computes like a pair, and is never written back.
struct LaneSource {
    DF1Cascade* cascade = nullptr;
    int section = 0;
    bool ghost = false;
};

struct alignas(32) PackedGroup {
    // Coefficients in use when no lane glides (the cascades' current values).
    double coef[kMaxGroupVectors][kCoefficientRows][kGroupLanes];
    // Glide: the coefficient at step t is target - step * max(base - t, 0), base
    // being the lane's glide count at the start of the block plus its skew 2k
    // (a lane that is not gliding has step 0 and its current value as target).
    double target[kMaxGroupVectors][kCoefficientRows][kGroupLanes];
    double step[kMaxGroupVectors][kCoefficientRows][kGroupLanes];
    double base[kMaxGroupVectors][kGroupLanes];
    // Filter memories x1, x2, y1, y2, one row of lanes each.
    double state[kMaxGroupVectors][4][kGroupLanes];
    // Working memory of the kernel: each vector's inputs of the last two steps.
    double ring[2][kMaxGroupVectors][kGroupLanes];
    LaneSource lanes[kMaxGroupVectors][kGroupLanes];
    int vectors = 1;   // P
    bool gliding = false;  // some lane glides during this block
};

}  // namespace hm::dsp
