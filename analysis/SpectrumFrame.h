#pragma once
// One analyser frame, from samples to depths: the newest 8192 samples of a
// signal are multiplied by a Kaiser window (β 12, computed once per process),
// transformed by the 8192-point real FFT, and each of the 4096 bins becomes a
// depth in the display, 0 at the top and 1 at the bottom:
//
//   m[k] = max(|X[k]| ÷ 8192, 1e-10)          (bin 0 joins DC and Nyquist)
//   d[k] = (−20·log10 m[k] − tilt·log2(f_k ÷ 1000) + top) ÷ range,  clamped 0..1
//
// with f_k = k · 2 · Nyquist ÷ 8192; bin 0 has no frequency and lies at the
// bottom. A full-scale sine on a bin centre reads about −14.95 dB: half its
// amplitude times the window's coherent gain of 0.35784.
#include <memory>
#include <vector>

namespace hm::dsp {
class RealFft;
}

namespace hm::analysis {

inline constexpr int kSpectrumSize = 8192;
inline constexpr int kSpectrumBins = kSpectrumSize / 2;

// The window table (8192 doubles), made on first use and kept for the process.
const double* analyserWindow();

struct DepthScale {
    double top = 0.0;      // dB at the top of the display
    double range = 96.0;   // dB from top to bottom
    double tilt = 0.0;     // dB per octave, pivoting at 1 kHz
    double nyquist = 22050.0;
};

class SpectrumFrame {
public:
    SpectrumFrame();
    ~SpectrumFrame();
    SpectrumFrame(const SpectrumFrame&) = delete;
    SpectrumFrame& operator=(const SpectrumFrame&) = delete;

    // samples: kSpectrumSize values, oldest first. depth: kSpectrumBins values.
    void depths(const double* samples, const DepthScale& scale, double* depth);
    // The bin magnitudes of the last frame (m[k] above), kSpectrumBins values.
    const double* magnitudes() const { return buffer_.data(); }

private:
    std::unique_ptr<dsp::RealFft> fft_;
    std::vector<double> buffer_;
};

}  // namespace hm::analysis
