#pragma once
// The memory layout of the vectorised cascade (see PairPipeline.h for the idea).
//
// A channel pair's chain of active sections (bands in order, each band's sections
// in order) is cut into groups of up to S·kMaxGroupVectors consecutive sections,
// S being the sections per channel one vector holds: 2 on the four-lane paths
// (SSE2, AVX2), 4 on the eight-lane one (AVX-512). A group's vector j holds 2S
// lanes, S sections of each channel, the left half first:
//
//   four lanes:   [ j, L | j+P, L | j, R | j+P, R ]                  P = vectors
//   eight lanes:  [ j, L | j+P, L | j+2P, L | j+3P, L | j, R | ... | j+3P, R ]
//
// so lane i of a half holds section j + iP. Section k of the group works on
// sample t - 2k at step t (the skew): its input is what section k-1 produced two
// steps earlier, which is exactly that section's stored y2, so no lane ever waits
// for a result of the same step. Only the sections iP (vector 0) take their input
// across vectors: from lane i-1 of vector P-1, or the group's input for i = 0.
//
// Every row below has room for eight lanes; a four-lane group uses the first four.
// Coefficients are stored as the cascade computes with them, one value per lane:
// b0, b1, b2, a1, a2, each a row of lanes per vector.
#include <cstdint>

namespace hm::dsp {

class DF1Cascade;

constexpr int kMaxGroupVectors = 4;
constexpr int kMaxVectorLanes = 8;
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

struct alignas(64) PackedGroup {
    // Coefficients in use when no lane glides (the cascades' current values).
    double coef[kMaxGroupVectors][kCoefficientRows][kMaxVectorLanes];
    // Glide: the coefficient at step t is target - step * max(base - t, 0), base
    // being the lane's glide count at the start of the block plus its skew 2k
    // (a lane that is not gliding has step 0 and its current value as target).
    double target[kMaxGroupVectors][kCoefficientRows][kMaxVectorLanes];
    double step[kMaxGroupVectors][kCoefficientRows][kMaxVectorLanes];
    double base[kMaxGroupVectors][kMaxVectorLanes];
    // Filter memories x1, x2, y1, y2, one row of lanes each.
    double state[kMaxGroupVectors][4][kMaxVectorLanes];
    // Working memory of the kernel: each vector's inputs of the last two steps.
    double ring[2][kMaxGroupVectors][kMaxVectorLanes];
    LaneSource lanes[kMaxGroupVectors][kMaxVectorLanes];
    int vectors = 1;   // P
    bool gliding = false;  // some lane glides during this block
};

}  // namespace hm::dsp
