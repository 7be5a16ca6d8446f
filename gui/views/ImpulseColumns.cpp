#include "gui/views/ImpulseColumns.h"

#include <algorithm>
#include <cmath>

namespace hm::gui::ir {

void columnValues(const double* samples, int length, double start, double end, int width, bool pairs,
                  std::vector<float>& out) {
    out.clear();
    if (!samples || length <= 0 || width <= 0 || !(end > start)) return;
    out.resize(static_cast<std::size_t>(width));
    const double perColumn = (end - start) * length / width;
    for (int x = 0; x < width; ++x) {
        const double from = start * length + x * perColumn;
        const int i0 = std::clamp(static_cast<int>(std::floor(from)), 0, length - 1);
        const int i1 = std::clamp(static_cast<int>(std::ceil(from + perColumn)), i0 + 1, length);
        double best = 0.0;
        // A pair stays within its column, unless the column covers a single
        // sample (zoomed in): that one pairs with the next.
        const int pairEnd = i1 - i0 == 1 ? std::min(i1 + 1, length) : i1;
        for (int i = i0; i < i1; i += pairs ? 2 : 1) {
            const double v = pairs ? samples[i] + (i + 1 < pairEnd ? samples[i + 1] : 0.0) : samples[i];
            if (std::fabs(v) > std::fabs(best)) best = v;
        }
        out[static_cast<std::size_t>(x)] = static_cast<float>(best);
    }
}

double linearY(double v, double height) { return (1.0 - v) * height * 0.5; }

double dbY(double v, double rangeDb, double height) {
    if (!(rangeDb > 0.0)) return height;
    const double floor = std::pow(10.0, -rangeDb / 20.0);
    const double magnitude = std::isfinite(v) ? std::max(std::fabs(v), floor) : floor;
    return -20.0 * std::log10(magnitude) * height / rangeDb;
}

}  // namespace hm::gui::ir
