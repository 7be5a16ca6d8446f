#include "analysis/SpectrumFrame.h"

#include <algorithm>
#include <cmath>

#include "dsp/fft/RealFft.h"
#include "dsp/fir/Window.h"

namespace hm::analysis {

const double* analyserWindow() {
    // Thread-safe one-time initialisation: several editors may open at once.
    static const std::vector<double> window = [] {
        std::vector<double> w(kSpectrumSize);
        const double half = (kSpectrumSize - 1) / 2.0;  // 4095.5
        const double i0 = dsp::besselI0(12.0);
        for (int i = 0; i < kSpectrumSize; ++i) {
            const double u = (i - half) / half;
            w[static_cast<std::size_t>(i)] = dsp::besselI0(12.0 * std::sqrt(std::max(0.0, 1.0 - u * u))) / i0;
        }
        return w;
    }();
    return window.data();
}

SpectrumFrame::SpectrumFrame()
    : fft_(std::make_unique<dsp::RealFft>(kSpectrumSize)), buffer_(kSpectrumSize) {}

SpectrumFrame::~SpectrumFrame() = default;

void SpectrumFrame::depths(const double* samples, const DepthScale& scale, double* depth) {
    const double* w = analyserWindow();
    double* a = buffer_.data();
    for (int i = 0; i < kSpectrumSize; ++i) a[i] = samples[i] * w[i];
    fft_->forward(a, a);
    // Magnitudes are compacted into the first half of the buffer (bin k reads
    // elements 2k and 2k + 1, which lie at or after k).
    for (int k = 0; k < kSpectrumBins; ++k) {
        const double m = std::sqrt(a[2 * k] * a[2 * k] + a[2 * k + 1] * a[2 * k + 1]) / kSpectrumSize;
        a[k] = std::max(m, 1e-10);
    }
    const double range = scale.range > 0.0 ? scale.range : 96.0;
    const double binHz = 2.0 * scale.nyquist / kSpectrumSize;
    depth[0] = 1.0;
    for (int k = 1; k < kSpectrumBins; ++k) {
        const double tilt = scale.tilt != 0.0 ? scale.tilt * std::log2(k * binHz / 1000.0) : 0.0;
        const double d = (-20.0 * std::log10(a[k]) - tilt + scale.top) / range;
        depth[k] = std::clamp(d, 0.0, 1.0);
    }
}

}  // namespace hm::analysis
