#include "gui/draw/CoverageRaster.h"

#include <algorithm>
#include <cmath>

namespace hm::gui {

CoverageRaster::CoverageRaster(const CRect& bounds) : bounds_(bounds) {
    if (bounds_.isEmpty()) bounds_ = CRect();
    acc_.assign(static_cast<std::size_t>(bounds_.width() + 2) * bounds_.height(), 0.f);
    rowMin_.assign(bounds_.height(), bounds_.width() + 2);
    rowMax_.assign(bounds_.height(), -1);
}

void CoverageRaster::addPolygon(const float* xy, int n) {
    if (!xy || n < 3) return;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        addEdge(xy[2 * i], xy[2 * i + 1], xy[2 * j], xy[2 * j + 1]);
    }
}

// Parts of an edge left or right of the buffer are replaced by their
// projection onto the buffer's side: to the left that still carries the
// cover into every visible pixel of the row, to the right it touches
// nothing visible.
void CoverageRaster::addEdge(float x0, float y0, float x1, float y1) {
    if (bounds_.isEmpty() || y0 == y1) return;
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    const float lo = float(bounds_.left);
    const float hi = float(bounds_.right);
    // Most edges lie within the buffer's sides (a shape inside the clip):
    // nothing to split or project.
    if (x0 >= lo && x0 <= hi && x1 >= lo && x1 <= hi) {
        addClippedEdge(x0 - lo, y0 - float(bounds_.top), x1 - lo, y1 - float(bounds_.top));
        return;
    }
    // Split at x = lo and x = hi.
    float xs[4] = {x0, 0, 0, x1};
    float ys[4] = {y0, 0, 0, y1};
    int count = 2;
    xs[1] = x1;
    ys[1] = y1;
    for (float cut : {lo, hi}) {
        float nx[4], ny[4];
        int m = 0;
        for (int i = 0; i + 1 < count; ++i) {
            nx[m] = xs[i];
            ny[m] = ys[i];
            ++m;
            const float ax = xs[i], bx = xs[i + 1];
            if ((ax < cut && bx > cut) || (ax > cut && bx < cut)) {
                const float t = (cut - ax) / (bx - ax);
                nx[m] = cut;
                ny[m] = ys[i] + t * (ys[i + 1] - ys[i]);
                ++m;
            }
        }
        nx[m] = xs[count - 1];
        ny[m] = ys[count - 1];
        ++m;
        count = m;
        std::copy_n(nx, m, xs);
        std::copy_n(ny, m, ys);
    }
    for (int i = 0; i + 1 < count; ++i) {
        const float ax = std::clamp(xs[i], lo, hi);
        const float bx = std::clamp(xs[i + 1], lo, hi);
        addClippedEdge(ax - lo, ys[i] - float(bounds_.top), bx - lo, ys[i + 1] - float(bounds_.top));
    }
}

void CoverageRaster::addClippedEdge(float x0, float y0, float x1, float y1) {
    if (y0 == y1) return;
    float dir = 1.f;
    if (y0 > y1) {
        dir = -1.f;
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const int h = bounds_.height();
    const int stride = bounds_.width() + 2;
    const float dxdy = (x1 - x0) / (y1 - y0);
    const float maxX = float(bounds_.width());
    const int rowStart = std::max(0, int(std::floor(y0)));
    const int rowEnd = std::min(h, int(std::ceil(y1)));
    for (int r = rowStart; r < rowEnd; ++r) {
        const float top = std::max(float(r), y0);
        const float bottom = std::min(float(r + 1), y1);
        const float dy = bottom - top;
        if (dy <= 0.f) continue;
        // Rounding may push the interpolated ends a hair outside the buffer.
        const float xa = std::clamp(x0 + dxdy * (top - y0), 0.f, maxX);
        const float xb = std::clamp(x0 + dxdy * (bottom - y0), 0.f, maxX);
        const float d = dy * dir;
        float* line = acc_.data() + static_cast<std::size_t>(r) * stride;
        const float left = std::min(xa, xb);
        const float right = std::max(xa, xb);
        const float leftFloor = std::floor(left);
        const int li = int(leftFloor);
        const int ri = int(std::ceil(right));
        rowMin_[r] = std::min(rowMin_[r], li);
        rowMax_[r] = std::max(rowMax_[r], std::max(ri, li + 1));
        if (ri <= li + 1) {
            // The edge stays within one pixel column.
            const float mid = 0.5f * (xa + xb) - leftFloor;
            line[li] += d - d * mid;
            line[li + 1] += d * mid;
        } else {
            // Area to the right of the edge, column by column.
            const float s = 1.f / (right - left);
            const float lf = left - leftFloor;
            const float a0 = 0.5f * s * (1.f - lf) * (1.f - lf);
            const float rf = right - std::ceil(right) + 1.f;
            const float am = 0.5f * s * rf * rf;
            line[li] += d * a0;
            if (ri == li + 2) {
                line[li + 1] += d * (1.f - a0 - am);
            } else {
                const float a1 = s * (1.5f - lf);
                line[li + 1] += d * (a1 - a0);
                for (int c = li + 2; c < ri - 1; ++c) line[c] += d * s;
                const float a2 = a1 + float(ri - li - 3) * s;
                line[ri - 1] += d * (1.f - a2 - am);
            }
            line[ri] += d * am;
        }
    }
}

}  // namespace hm::gui
