#include "gui/draw/ColumnCurve.h"

#include <algorithm>
#include <cmath>

#include "gui/draw/PixelMath.h"

namespace hm::gui {
namespace {

// Blends colour over the rows of absolute column ax covered by [top, bottom)
// (absolute rows, fractional), each by the length it holds times the opacity.
void blendRun(CDIB& d, const CRect& clip, int ax, double top, double bottom, Rgb colour, float opacity) {
    if (ax < clip.left || ax >= clip.right || !(bottom > top)) return;
    top = std::max(top, static_cast<double>(clip.top));
    bottom = std::min(bottom, static_cast<double>(clip.bottom));
    if (!(bottom > top)) return;
    const int first = static_cast<int>(std::floor(top));
    const int last = std::min(static_cast<int>(std::ceil(bottom)), clip.bottom) - 1;
    const std::uint32_t full = pixel::toFixed(opacity);
    for (int r = first; r <= last; ++r) {
        const double covered = std::min<double>(bottom, r + 1) - std::max<double>(top, r);
        if (covered <= 0.0) continue;
        const std::uint32_t a = covered >= 1.0 ? full : pixel::toFixed(static_cast<float>(covered) * opacity);
        Pixel& p = d.row(r)[ax];
        p = pixel::blendColourFixed(p, colour, a);
    }
}

}  // namespace

void drawColumnCurve(CDIB& dest, int x0, const float* y, int count, Rgb colour, float opacity, float width) {
    if (!y || count <= 0 || !(width > 0.f) || !(opacity > 0.f)) return;
    const CRect& clip = dest.absoluteClip();
    const CPoint o = dest.getOrigin();
    const double half = width * 0.5;
    for (int i = 0; i < count; ++i) {
        const double v = y[i];
        if (!std::isfinite(v)) continue;
        double lo = v, hi = v;
        // Halfway to each finite neighbour.
        if (i > 0 && std::isfinite(y[i - 1])) {
            const double m = 0.5 * (v + y[i - 1]);
            lo = std::min(lo, m);
            hi = std::max(hi, m);
        }
        if (i + 1 < count && std::isfinite(y[i + 1])) {
            const double m = 0.5 * (v + y[i + 1]);
            lo = std::min(lo, m);
            hi = std::max(hi, m);
        }
        blendRun(dest, clip, x0 + i + o.x, lo - half + o.y, hi + half + o.y, colour, opacity);
    }
}

void fillColumnSpan(CDIB& dest, int x, float y0, float y1, Rgb colour, float opacity) {
    if (!std::isfinite(y0) || !std::isfinite(y1) || !(opacity > 0.f)) return;
    const CPoint o = dest.getOrigin();
    blendRun(dest, dest.absoluteClip(), x + o.x, std::min(y0, y1) + o.y, std::max(y0, y1) + o.y, colour, opacity);
}

void fillColumnSpans(CDIB& dest, int x0, const float* yFrom, const float* yTo, int count, Rgb colour,
                     float opacity) {
    if (!yFrom || !yTo || count <= 0) return;
    for (int i = 0; i < count; ++i) fillColumnSpan(dest, x0 + i, yFrom[i], yTo[i], colour, opacity);
}

}  // namespace hm::gui
