#pragma once
// Test signals made by code (the demo needs no downloaded samples). All are
// mono, in doubles, reproducible from their seed.
#include <cstdint>
#include <vector>

namespace hm::tool {

// Pink noise (power falling 3 dB per octave) as a sum of first-order low-passed
// white noises with poles spread over the audio band; `rms` is its level.
std::vector<double> pinkNoise(double sampleRate, double seconds, double rms, std::uint32_t seed);

// Exponential sine sweep from f0 to f1 (instantaneous frequency
// f0 (f1/f0)^(t/T)) with 10 ms fades at both ends; `peak` is its amplitude.
std::vector<double> sineSweep(double sampleRate, double seconds, double f0, double f1, double peak);

// A drum-like loop at `bpm`: a kick (sine falling from 150 Hz to 50 Hz, fast
// decay) on beats 1 and 3, a snare (noise burst plus a 190 Hz body) on 2 and 4,
// closed hats (high-passed noise clicks) on every eighth note.
std::vector<double> drumLoop(double sampleRate, double seconds, double bpm, double peak, std::uint32_t seed);

// A sine of `hz` at amplitude `peak`.
std::vector<double> sine(double sampleRate, double seconds, double hz, double peak);

}  // namespace hm::tool
