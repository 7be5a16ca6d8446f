// EQGraph: handle positions and the hit test, handles with stems and numbers,
// crosshairs and the rubber band.
#include <cmath>
#include <numbers>
#include <string>

#include "gui/draw/ColumnCurve.h"
#include "gui/views/EQGraph.h"

namespace hm::gui {

using namespace graph;

void EQGraph::placeHandles() {
    for (int b = 0; b < kBandCount; ++b) {
        Handle& h = handles_[static_cast<std::size_t>(b)];
        const GraphBand& g = bands_.bands[b];
        h.valid = isShown(g, primaryView_, secondaryView_);
        if (!h.valid) continue;
        const double centre = responses_.centreDb(b);
        h.x = static_cast<float>(handleX(view_, g.frequency));
        h.y = static_cast<float>(handleY(view_, g.type, centre, g.gain));
        h.curveY = static_cast<float>(std::clamp(yOfDb(view_, centre), 0.0, static_cast<double>(view_.plotHeight)));
    }
}

CPoint EQGraph::handlePosition(int band) {
    if (curvesStale_) updateCurves();
    if (band < 0 || band >= kBandCount || !handles_[static_cast<std::size_t>(band)].valid) return CPoint(-1, -1);
    const Handle& h = handles_[static_cast<std::size_t>(band)];
    return CPoint(static_cast<int>(std::lround(h.x)), static_cast<int>(std::lround(h.y)));
}

int EQGraph::bandAt(const CPoint& p, int maxDistance2) const {
    if (handlesHidden() || analyserHidesEq()) return -1;
    int best = -1;
    double bestDistance = maxDistance2;
    for (int b = 0; b < kBandCount; ++b) {
        const Handle& h = handles_[static_cast<std::size_t>(b)];
        if (!h.valid) continue;
        const double dx = p.x - h.x, dy = p.y - h.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 < bestDistance) {
            bestDistance = d2;
            best = b;
        }
    }
    return best;
}

void EQGraph::drawHandles(CDIB& d) {
    if (handlesHidden()) return;
    const bool larger = flags2(11, 1) != 0;
    const bool numbers = flags1(30, 1) != 0;
    // Plain handles first, the selected and dragged ones on top.
    for (int pass = 0; pass < 2; ++pass) {
        for (int b = 0; b < kBandCount; ++b) {
            const Handle& h = handles_[static_cast<std::size_t>(b)];
            if (!h.valid) continue;
            const bool raised = b == dragBand_ || isBandSelected(b);
            if (raised != (pass == 1)) continue;
            const bool bypassed = bands_.bands[b].state == 1;
            const Rgb colour = bypassed ? greyedColour(colourOf(b)) : colourOf(b);
            const float alpha = bypassed ? 0.5f : 1.f;
            const float r = (larger ? 8.f : 6.f) + (raised ? 2.f : 0.f);
            const float cx = h.x + 0.5f, cy = h.y;
            if (!bypassed && std::fabs(h.curveY - h.y) > 1.f) {
                // The stem joins a shelf's or pass filter's handle to its curve.
                const float from = h.curveY < h.y ? h.y - r : h.y + r;
                d.drawLine(cx, from, cx, h.curveY, colour, 1.f, 1.f);
            }
            d.fillCircle(cx, cy, r, colour, alpha);
            d.drawArc(cx, cy, r, 0.f, 2.f * std::numbers::pi_v<float>, 0xFFFFFF, alpha, (r - 2.f) * 0.5f);
            if (numbers && font2_.valid()) {
                const std::string text = std::to_string(b + 1);
                const int w = font2_.measure(text);
                font2_.draw(d, static_cast<int>(std::lround(cx - w / 2.0)), static_cast<int>(std::lround(cy)) - 4,
                            text, colour ^ 0xFFFFFF, static_cast<int>(255 * alpha));
            }
        }
    }
}

void EQGraph::drawCrosshairs(CDIB& d, int band) {
    const Handle& h = handles_[static_cast<std::size_t>(band)];
    if (!h.valid) return;
    const Rgb colour = bands_.bands[band].state == 1 ? greyedColour(colourOf(band)) : colourOf(band);
    const int x = static_cast<int>(std::floor(h.x)), y = static_cast<int>(std::floor(h.y));
    const int W = view_.width, H = view_.plotHeight;
    const float a = panelOpacity_;
    if (y - 9 > 0) d.drawVLine(x, 0, y - 9, colour, a);
    if (y + 9 < H - 1) d.drawVLine(x, y + 9, H - 1, colour, a);
    if (x - 9 > 0) d.drawHLine(0, x - 9, y, colour, a);
    if (x + 9 < W - 1) d.drawHLine(x + 9, W - 1, y, colour, a);
}

void EQGraph::drawRubberBand(CDIB& d) {
    const int l = std::min(rubber_.start.x, rubber_.end.x), r = std::max(rubber_.start.x, rubber_.end.x);
    const int t = std::min(rubber_.start.y, rubber_.end.y), b = std::max(rubber_.start.y, rubber_.end.y);
    if (r - l < 1 || b - t < 1) return;
    d.fillRect(CRect(l + 1, t + 1, r, b), 0xFFFFFF, 0.12f);
    d.drawHLine(l, r, t, 0xFFFFFF);
    d.drawHLine(l, r, b, 0xFFFFFF);
    d.drawVLine(l, t, b, 0xFFFFFF);
    d.drawVLine(r, t, b, 0xFFFFFF);
}

}  // namespace hm::gui
