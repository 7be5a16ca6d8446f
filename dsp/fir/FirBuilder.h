#pragma once
// Turns a band set into FIR impulses: the long FIR of the five phase modes and the
// short Digital+ compensation of the recursive mode. Runs off the audio thread
// (allocates its work buffers on growth and keeps them between builds).
//
// Long FIR (L taps, padding P, grid of N = L*P bins at i*fs/N): the series bands'
// magnitudes multiply and their phases, scaled by the mode's phase factor, add; the
// parallel bands sum as 1 + sum(H - 1); the spectrum is inverse transformed, moved
// so that time zero sits at L/2 (or, for "Zero-latency Analogue", rotated by the
// group delay bound and started at 0), windowed, and for "Full Minimum" made
// minimum phase.
#include <vector>

#include "dsp/fft/Fft.h"
#include "dsp/fir/MinimumPhase.h"
#include "dsp/fir/ResponseSource.h"
#include "dsp/fir/Window.h"

namespace hm::dsp {

enum FirMode : int {
    kModeIIR = 0,
    kModeDigitalPlus = 1,
    kModeFullMinimum = 2,
    kModeZeroLatencyAnalogue = 3,
    kModeAnalogue = 4,
    kModeLinear = 5,
    kModeFree = 6,
};

// Latency of a processing mode in samples: L/2 for the centred FIR modes.
int firLatency(int mode, int irLength);

// The display table of the window as the mode applies it: n ones, shaped one-sided
// (modes 2, 3) or symmetrically (modes 4..6).
void fillDisplayWindow(WindowRecord& window, int mode, double* values, int n);

class FirBuilder {
public:
    // Modes 2..6; length a power of two, padFactor 1, 2, 4 or 8. Writes length
    // samples to out. Returns false (out untouched) for a mode or size it cannot build.
    bool buildImpulse(const ResponseSource& source, int mode, int length, int padFactor,
                      double sampleRate, WindowRecord& window, double* out);

    // Digital+ compensation of length taps (minimum phase, no latency).
    bool buildCompensation(const ResponseSource& source, int length, double sampleRate,
                           WindowRecord& window, double* out);

private:
    // Real spectrum pairs (re, im) for bins 0..N/2 into the full Hermitian spectrum,
    // inverse transformed; leaves the real time signal in time_.
    void inverseReal(const double* halfSpectrum, std::size_t n);

    Fft fft_;
    MinimumPhase minimumPhase_;
    std::vector<double> work_;      // 2N, complex
    std::vector<double> time_;      // N real samples
    std::vector<double> mag_, phase_, bandMag_, bandPhase_;
    std::vector<double> sumA_, sumD_, bandResp_, spectrum_;
};

}  // namespace hm::dsp
