#pragma once
// Exact-area scan conversion (internal to gui/draw). Polygons are added edge
// by edge into a signed accumulation buffer: each edge deposits, per pixel
// row, the area it leaves to its right and the cover it carries to the
// pixels beyond; a running sum along each row then gives the signed area of
// the shape inside every pixel. Overlapping shapes of the same orientation
// add up (clamped to full coverage), opposite orientations cancel (holes).
// The buffer spans only the shape's bounding box within the clip.
#include <algorithm>
#include <vector>

#include "gui/draw/Geometry.h"

namespace hm::gui {

class CoverageRaster {
public:
    // bounds: absolute pixel rectangle that may receive coverage (already clipped).
    explicit CoverageRaster(const CRect& bounds);
    const CRect& bounds() const { return bounds_; }

    // Coordinates absolute (bitmap pixels, centres at +0.5).
    void addEdge(float x0, float y0, float x1, float y1);
    void addPolygon(const float* xy, int n);

    // Calls fn(y, x, coverage 0..1) for every pixel with coverage > 0.
    template <class Fn>
    void forEach(Fn&& fn) const {
        const int w = bounds_.width();
        for (int r = 0; r < bounds_.height(); ++r) {
            if (rowMax_[r] < rowMin_[r]) continue;
            const float* a = acc_.data() + static_cast<std::size_t>(r) * (w + 2);
            float sum = 0.f;
            // Left of the first touched cell the sum is 0; right of the last
            // one it stays at the row's total, which a closed outline brings
            // back to 0 (anything projected right of the buffer lands at w).
            const int end = std::min(w, rowMax_[r] + 1);
            for (int c = rowMin_[r]; c < end; ++c) {
                sum += a[c];
                float cov = sum < 0.f ? -sum : sum;
                if (cov > 1.f) cov = 1.f;
                if (cov > 1.f / 512.f) fn(bounds_.top + r, bounds_.left + c, cov);
            }
        }
    }

private:
    void addClippedEdge(float x0, float y0, float x1, float y1);

    CRect bounds_;
    std::vector<float> acc_;
    std::vector<int> rowMin_, rowMax_;  // touched cells of each row
};

}  // namespace hm::gui
