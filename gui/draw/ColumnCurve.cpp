#include "gui/draw/ColumnCurve.h"

#include <algorithm>
#include <cstdint>
#include <vector>
#include <cmath>


namespace hm::gui {
namespace {

// Colour over a pixel with coverage a in 1/256 steps (0..256), two channels
// per multiply; opaque pixels stay opaque.
inline Pixel blend256(Pixel d, std::uint32_t rb, std::uint32_t g, std::uint32_t a) {
    const std::uint32_t ia = 256u - a;
    const std::uint32_t outRb = ((rb * a + (d & 0x00FF00FFu) * ia) >> 8) & 0x00FF00FFu;
    const std::uint32_t outG = ((g * a + (d & 0x0000FF00u) * ia) >> 8) & 0x0000FF00u;
    const std::uint32_t outA = ((255u * a + (d >> 24) * ia) >> 8) << 24;
    return outA | outRb | outG;
}

inline std::uint32_t coverage256(double c) {
    return static_cast<std::uint32_t>(std::clamp(c, 0.0, 1.0) * 256.0 + 0.5);
}

// Blends colour over the rows of absolute column ax covered by [top, bottom)
// (absolute rows, fractional), each by the length it holds times the opacity.
// Runs down one column: the rows are a stride apart, so the inner loop is a
// load, a blend and a store.
void blendRun(CDIB& d, const CRect& clip, int ax, double top, double bottom, Rgb colour, float opacity) {
    if (ax < clip.left || ax >= clip.right || !(bottom > top)) return;
    top = std::max(top, static_cast<double>(clip.top));
    bottom = std::min(bottom, static_cast<double>(clip.bottom));
    if (!(bottom > top)) return;
    const int first = static_cast<int>(std::floor(top));
    const int last = std::min(static_cast<int>(std::ceil(bottom)), clip.bottom) - 1;
    const std::uint32_t rb = colour & 0x00FF00FFu, g = colour & 0x0000FF00u;
    const std::uint32_t full = coverage256(opacity);
    if (full == 0) return;
    const int width = d.getWidth();
    Pixel* p = d.row(first) + ax;
    // Partial first and last rows, whole rows between.
    const auto edge = [&](int r, Pixel* px) {
        const double covered = std::min<double>(bottom, r + 1) - std::max<double>(top, r);
        if (covered > 0.0) *px = blend256(*px, rb, g, coverage256(covered * opacity));
    };
    edge(first, p);
    if (last == first) return;
    p += width;
    for (int r = first + 1; r < last; ++r, p += width) *p = blend256(*p, rb, g, full);
    edge(last, p);
}

// The load-time choice of build (an ifunc resolver) runs before
// ThreadSanitizer's runtime is ready and crashes an instrumented binary at
// start-up; such builds keep the default build only.
#if defined(__SANITIZE_THREAD__)
#define HM_ROW_BUILDS
#else
#define HM_ROW_BUILDS __attribute__((target_clones("avx2", "default")))
#endif

// One row of a span fill: pixel i takes the length of row r that lies inside
// [top[i], bottom[i]) as coverage (0 outside, so no branch). Written so that
// the loop vectorises; the four-lane build is picked at load time where the
// processor has it.
HM_ROW_BUILDS void blendRowCoverage(Pixel* row, const float* top, const float* bottom, int n, float r,
                                    std::uint32_t rb, std::uint32_t g, float scale) {
    const float rEnd = r + 1.f;
    for (int i = 0; i < n; ++i) {
        const float c = std::max(0.f, std::min(1.f, std::min(bottom[i], rEnd) - std::max(top[i], r)));
        const std::uint32_t a = static_cast<std::uint32_t>(static_cast<int>(c * scale + 0.5f));
        const std::uint32_t ia = 256u - a;
        const std::uint32_t d = row[i];
        const std::uint32_t outRb = ((rb * a + (d & 0x00FF00FFu) * ia) >> 8) & 0x00FF00FFu;
        const std::uint32_t outG = ((g * a + (d & 0x0000FF00u) * ia) >> 8) & 0x0000FF00u;
        const std::uint32_t outA = ((255u * a + (d >> 24) * ia) >> 8) << 24;
        row[i] = outA | outRb | outG;
    }
}

}  // namespace

void drawColumnCurve(CDIB& dest, int x0, const float* y, int count, Rgb colour, float opacity, float width) {
    if (!y || count <= 0 || !(width > 0.f) || !(opacity > 0.f)) return;
    const float half = width * 0.5f;
    std::vector<float> top(static_cast<std::size_t>(count)), bottom(top.size());
    for (int i = 0; i < count; ++i) {
        const float v = y[i];
        if (!std::isfinite(v)) {
            top[i] = bottom[i] = 0.f;
            continue;
        }
        float lo = v, hi = v;
        // Halfway to each finite neighbour.
        if (i > 0 && std::isfinite(y[i - 1])) {
            const float m = 0.5f * (v + y[i - 1]);
            lo = std::min(lo, m);
            hi = std::max(hi, m);
        }
        if (i + 1 < count && std::isfinite(y[i + 1])) {
            const float m = 0.5f * (v + y[i + 1]);
            lo = std::min(lo, m);
            hi = std::max(hi, m);
        }
        top[i] = lo - half;
        bottom[i] = hi + half;
    }
    fillColumnSpans(dest, x0, top.data(), bottom.data(), count, colour, opacity);
}

void fillColumnSpan(CDIB& dest, int x, float y0, float y1, Rgb colour, float opacity) {
    if (!std::isfinite(y0) || !std::isfinite(y1) || !(opacity > 0.f)) return;
    const CPoint o = dest.getOrigin();
    blendRun(dest, dest.absoluteClip(), x + o.x, std::min(y0, y1) + o.y, std::max(y0, y1) + o.y, colour, opacity);
}

void fillColumnSpans(CDIB& dest, int x0, const float* yFrom, const float* yTo, int count, Rgb colour,
                     float opacity) {
    if (!yFrom || !yTo || count <= 0 || !(opacity > 0.f)) return;
    const CRect& clip = dest.absoluteClip();
    const CPoint o = dest.getOrigin();
    // Columns inside the clip, as indices into the arrays.
    const int first = std::max(0, clip.left - (x0 + o.x));
    const int end = std::min(count, clip.right - (x0 + o.x));
    if (end <= first) return;
    // Spans in absolute rows; empty ones (and non-finite ends) as top == bottom.
    std::vector<float> top(static_cast<std::size_t>(end - first)), bottom(top.size());
    int used0 = end, used1 = first;
    for (int i = first; i < end; ++i) {
        float a = yFrom[i], b = yTo[i];
        if (!std::isfinite(a) || !std::isfinite(b)) a = b = 0.f;
        const float t = std::max(std::min(a, b) + o.y, static_cast<float>(clip.top));
        const float u = std::min(std::max(a, b) + o.y, static_cast<float>(clip.bottom));
        const std::size_t k = static_cast<std::size_t>(i - first);
        top[k] = t;
        bottom[k] = std::max(t, u);
        if (bottom[k] - t > 1.f / 512.f) {
            used0 = std::min(used0, i);
            used1 = std::max(used1, i + 1);
        }
    }
    if (used1 <= used0) return;
    // In strips of 16 columns (a cache line of pixels), each over only the rows
    // its own spans reach; every pixel takes the length of its row inside its
    // span (0 outside) as coverage.
    const std::uint32_t rb = colour & 0x00FF00FFu, g = colour & 0x0000FF00u;
    const float scale = opacity * 256.f;
    constexpr int kStrip = 16;
    const int strips = (used1 - used0 + kStrip - 1) / kStrip;
    std::vector<int> stripTop(static_cast<std::size_t>(strips)), stripEnd(static_cast<std::size_t>(strips));
    int r0 = clip.bottom, r1 = clip.top;
    for (int k = 0; k < strips; ++k) {
        const int s0 = used0 + k * kStrip, n = std::min(kStrip, used1 - s0);
        const float* tp = top.data() + (s0 - first);
        const float* bp = bottom.data() + (s0 - first);
        float lo = 1e30f, hi = -1e30f;
        for (int i = 0; i < n; ++i)
            if (bp[i] > tp[i]) {
                lo = std::min(lo, tp[i]);
                hi = std::max(hi, bp[i]);
            }
        stripTop[k] = hi > lo ? static_cast<int>(std::floor(lo)) : 0;
        stripEnd[k] = hi > lo ? static_cast<int>(std::ceil(hi)) : 0;
        if (stripEnd[k] > stripTop[k]) {
            r0 = std::min(r0, stripTop[k]);
            r1 = std::max(r1, stripEnd[k]);
        }
    }
    // Bands of rows small enough to stay in the cache while every strip that
    // reaches into them is drawn.
    constexpr int kRowBand = 32;
    const int stride = dest.getWidth();
    for (int band = r0; band < r1; band += kRowBand) {
        const int bandEnd = std::min(r1, band + kRowBand);
        for (int k = 0; k < strips; ++k) {
            const int from = std::max(band, stripTop[k]), to = std::min(bandEnd, stripEnd[k]);
            if (from >= to) continue;
            const int s0 = used0 + k * kStrip, n = std::min(kStrip, used1 - s0);
            const float* tp = top.data() + (s0 - first);
            const float* bp = bottom.data() + (s0 - first);
            Pixel* px = dest.row(from) + (x0 + o.x + s0);
            for (int r = from; r < to; ++r, px += stride)
                blendRowCoverage(px, tp, bp, n, static_cast<float>(r), rb, g, scale);
        }
    }
}

}  // namespace hm::gui
