#include "gui/views/RangeBar.h"

#include <algorithm>
#include <cmath>

namespace hm::gui::rangebar {

namespace {
constexpr Rgb kFrame = 0x808080;   // (128, 128, 128)
constexpr Rgb kMarker = 0x5785A6;  // (87, 133, 166)

double track(int width) { return std::max(1.0, static_cast<double>(width) - 2.0 * kInset); }
}  // namespace

double markerX(double fraction, int width) { return kInset + fraction * track(width); }

double positionOf(double x, int width) { return (x - kInset) / track(width); }

Part partAt(double x, double x1, double x2) {
    const double d1 = std::fabs(x - x1), d2 = std::fabs(x - x2);
    if (d1 < kGrab || d2 < kGrab) return d1 < d2 || (d1 == d2 && x <= x1) ? Part::kStart : Part::kEnd;
    if (x > x1 && x < x2) return Part::kRange;
    return Part::kNone;
}

void draw(CDIB& context, const CRect& bar, double x1, double x2) {
    context.fillRect(bar, 0x141414);
    context.frameRect(bar, kFrame);
    const float mid = static_cast<float>(bar.top + bar.bottom) * 0.5f;
    const float left = static_cast<float>(bar.left);
    context.drawLine(left + static_cast<float>(x1), mid, left + static_cast<float>(x2), mid, kMarker, 1.f, 1.f);
    // Each marker: 9 rows, half a pixel wider a row down to the middle, then narrower.
    const float top = mid - 4.5f;
    for (double x : {x1, x2}) {
        const float cx = left + static_cast<float>(x);
        for (int row = 0; row < 9; ++row) {
            const float half = 0.5f * static_cast<float>(row < 5 ? row + 1 : 9 - row) + 0.5f;
            const float y = top + static_cast<float>(row) + 0.5f;
            context.drawLine(cx - half, y, cx + half, y, kMarker, 1.f, 1.f);
        }
    }
}

void drag(ZoomRange& r, Part part, double position, double grab) {
    if (!std::isfinite(position)) return;
    switch (part) {
        case Part::kStart: r.start = std::clamp(position, 0.0, r.end - kMinSpan); break;
        case Part::kEnd: r.end = std::clamp(position, r.start + kMinSpan, 1.0); break;
        case Part::kRange: {
            const double span = r.end - r.start;
            r.start = std::clamp(position - grab, 0.0, 1.0 - span);
            r.end = r.start + span;
            break;
        }
        case Part::kNone: break;
    }
}

}  // namespace hm::gui::rangebar
