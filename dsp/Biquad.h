#pragma once
// One digital second-order section, a0 = 1: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.

namespace hm::dsp {

struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0;
    double a1 = 0.0, a2 = 0.0;
};

constexpr int kBiquadCoefficients = 5;  // b0, b1, b2, a1, a2 in this order

}  // namespace hm::dsp
