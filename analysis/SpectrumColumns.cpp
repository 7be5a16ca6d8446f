#include "analysis/SpectrumColumns.h"

#include <algorithm>
#include <cmath>

#include "analysis/SpectrumFrame.h"

namespace hm::analysis {

void columnDepths(const double* d, int columns, double fMin, double fMax, double nyquist, double* out) {
    if (columns <= 0) return;
    const double ratio = fMax > fMin && fMin > 0.0 ? fMax / fMin : 2.0;
    const double toBin = kSpectrumSize / (2.0 * (nyquist > 0.0 ? nyquist : 22050.0));
    const double last = kSpectrumBins - 1;
    double bLo = std::clamp(fMin * toBin, 0.0, last);
    for (int x = 0; x < columns; ++x) {
        const double bHi = std::clamp(fMin * std::pow(ratio, (x + 1.0) / columns) * toBin, 0.0, last);
        const int iLo = static_cast<int>(bLo);
        const int iHi = static_cast<int>(bHi);
        const double t = bLo - iLo;
        double depth = (1.0 - t) * d[iLo] + t * d[std::min(iLo + 1, kSpectrumBins - 1)];
        if (bLo + 1.0 < bHi)
            for (int i = iLo; i < iHi; ++i) depth = std::min(depth, d[i]);
        out[x] = depth;
        bLo = bHi;
    }
}

void holdLevels(double* held, const double* depth, int columns, double decay) {
    for (int x = 0; x < columns; ++x) {
        held[x] *= decay;
        const double level = 1.0 - depth[x];
        if (level > held[x]) held[x] = level;
    }
}

void smoothLevels(double* held, int columns, int h, double* scratch) {
    if (h <= 1 || columns <= 0) return;
    std::copy(held, held + columns, scratch);
    const double divisor = 2.0 * h - 1.0;
    // Running sum over the window x − h + 1 .. x + h − 1.
    double sum = 0.0;
    for (int i = 0; i < std::min(h - 1, columns); ++i) sum += scratch[i];
    for (int x = 0; x < columns; ++x) {
        const int enter = x + h - 1, leave = x - h;
        if (enter < columns) sum += scratch[enter];
        if (leave >= 0) sum -= scratch[leave];
        held[x] = sum / divisor;
    }
}

}  // namespace hm::analysis
