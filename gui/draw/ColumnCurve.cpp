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

// One row of a span fill: pixel i takes the length of row r that lies inside
// [top[i], bottom[i]) as coverage (0 outside, so no branch). Written so that
// the loop vectorises; a four-lane build is chosen at run time where the
// processor has it (an explicit check rather than ifunc clones, whose
// resolvers run before a sanitizer's runtime is ready).
template <int>
inline void rowCoverage(Pixel* row, const float* top, const float* bottom, int n, float r, std::uint32_t rb,
                        std::uint32_t g, float scale) {
    const float rEnd = r + 1.f;
    for (int i = 0; i < n; ++i) {
        const float c = std::max(0.f, std::min(1.f, std::min(bottom[i], rEnd) - std::max(top[i], r)));
        row[i] = blend256(row[i], rb, g, static_cast<std::uint32_t>(static_cast<int>(c * scale + 0.5f)));
    }
}

// One row of pixels all under the same coverage.
template <int>
inline void rowSolid(Pixel* row, int n, std::uint32_t rb, std::uint32_t g, std::uint32_t a) {
    for (int i = 0; i < n; ++i) row[i] = blend256(row[i], rb, g, a);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void rowCoverageAvx2(Pixel* row, const float* top, const float* bottom, int n,
                                                      float r, std::uint32_t rb, std::uint32_t g, float scale) {
    rowCoverage<2>(row, top, bottom, n, r, rb, g, scale);
}
__attribute__((target("avx2"))) void rowSolidAvx2(Pixel* row, int n, std::uint32_t rb, std::uint32_t g,
                                                   std::uint32_t a) {
    rowSolid<2>(row, n, rb, g, a);
}
bool haveAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#else
bool haveAvx2() { return false; }
void rowCoverageAvx2(Pixel*, const float*, const float*, int, float, std::uint32_t, std::uint32_t, float) {}
void rowSolidAvx2(Pixel*, int, std::uint32_t, std::uint32_t, std::uint32_t) {}
#endif

void blendRowCoverage(Pixel* row, const float* top, const float* bottom, int n, float r, std::uint32_t rb,
                      std::uint32_t g, float scale) {
    if (haveAvx2()) rowCoverageAvx2(row, top, bottom, n, r, rb, g, scale);
    else rowCoverage<1>(row, top, bottom, n, r, rb, g, scale);
}

void blendRowSolid(Pixel* row, int n, std::uint32_t rb, std::uint32_t g, std::uint32_t a) {
    if (haveAvx2()) rowSolidAvx2(row, n, rb, g, a);
    else rowSolid<1>(row, n, rb, g, a);
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
    for (int i = first; i < end; ++i) {
        float a = yFrom[i], b = yTo[i];
        if (!std::isfinite(a) || !std::isfinite(b)) a = b = 0.f;
        const float t = std::max(std::min(a, b) + o.y, static_cast<float>(clip.top));
        const float u = std::min(std::max(a, b) + o.y, static_cast<float>(clip.bottom));
        const std::size_t k = static_cast<std::size_t>(i - first);
        top[k] = t;
        bottom[k] = std::max(t, u);
    }
    // The columns from the first to the last span that holds anything.
    const auto holds = [&](int i) {
        const std::size_t k = static_cast<std::size_t>(i - first);
        return bottom[k] - top[k] > 1.f / 512.f;
    };
    int used0 = first, used1 = end;
    while (used0 < end && !holds(used0)) ++used0;
    if (used0 == end) return;
    while (!holds(used1 - 1)) --used1;
    // In strips of 16 columns (a cache line of pixels), each over only the rows
    // its own spans reach; every pixel takes the length of its row inside its
    // span (0 outside) as coverage.
    const std::uint32_t rb = colour & 0x00FF00FFu, g = colour & 0x0000FF00u;
    const float scale = opacity * 256.f;
    constexpr int kStrip = 16;
    // A strip: columns [s0, s0 + n) drawn over rows [top, end); rows
    // [solidTop, solidEnd) are covered whole by every column of it, so they
    // take one alpha for all.
    struct Strip {
        int s0, n, top, end, solidTop, solidEnd;
    };
    std::vector<Strip> strips;
    strips.reserve(static_cast<std::size_t>((used1 - used0 + kStrip - 1) / kStrip));
    int r0 = clip.bottom, r1 = clip.top;
    for (int s0 = used0; s0 < used1; s0 += kStrip) {
        const int n = std::min(kStrip, used1 - s0);
        const float* tp = top.data() + (s0 - first);
        const float* bp = bottom.data() + (s0 - first);
        float lo = 1e30f, hi = -1e30f, innerLo = -1e30f, innerHi = 1e30f;
        for (int i = 0; i < n; ++i) {
            if (bp[i] > tp[i]) {
                lo = std::min(lo, tp[i]);
                hi = std::max(hi, bp[i]);
            }
            innerLo = std::max(innerLo, tp[i]);
            innerHi = std::min(innerHi, bp[i]);
        }
        if (!(hi > lo)) continue;
        Strip k{s0, n, static_cast<int>(std::floor(lo)), static_cast<int>(std::ceil(hi)),
                static_cast<int>(std::ceil(innerLo)), 0};
        k.solidEnd = std::max(k.solidTop, static_cast<int>(std::floor(innerHi)));
        if (k.end <= k.top) continue;
        r0 = std::min(r0, k.top);
        r1 = std::max(r1, k.end);
        // A strip next to one with the same rows joins it: the flat stretches
        // of a curve become one wide strip, drawn a row at a time.
        Strip* last = strips.empty() ? nullptr : &strips.back();
        if (last && last->s0 + last->n == s0 && last->top == k.top && last->end == k.end &&
            last->solidTop == k.solidTop && last->solidEnd == k.solidEnd)
            last->n += n;
        else
            strips.push_back(k);
    }
    // Bands of rows small enough to stay in the cache while every strip that
    // reaches into them is drawn.
    constexpr int kRowBand = 32;
    const int stride = dest.getWidth();
    const std::uint32_t solid = coverage256(opacity);
    for (int band = r0; band < r1; band += kRowBand) {
        const int bandEnd = std::min(r1, band + kRowBand);
        for (const Strip& k : strips) {
            const int from = std::max(band, k.top), to = std::min(bandEnd, k.end);
            if (from >= to) continue;
            const float* tp = top.data() + (k.s0 - first);
            const float* bp = bottom.data() + (k.s0 - first);
            Pixel* px = dest.row(from) + (x0 + o.x + k.s0);
            for (int r = from; r < to; ++r, px += stride) {
                if (r >= k.solidTop && r < k.solidEnd) blendRowSolid(px, k.n, rb, g, solid);
                else blendRowCoverage(px, tp, bp, k.n, static_cast<float>(r), rb, g, scale);
            }
        }
    }
}

}  // namespace hm::gui
