// Stroked and rounded shapes of CDIB, all reduced to polygons for the
// exact-area rasteriser.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "gui/draw/CDIB.h"

namespace hm::gui {

namespace {

using Poly = std::vector<float>;
constexpr float kPi = std::numbers::pi_v<float>;

float signedArea(const Poly& p) {
    double a = 0;
    const std::size_t n = p.size() / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        a += double(p[2 * i]) * p[2 * j + 1] - double(p[2 * j]) * p[2 * i + 1];
    }
    return float(a * 0.5);
}

// Every outline gets the same orientation, so overlapping parts of one
// stroke add up instead of cancelling.
Poly oriented(Poly p, bool positive = true) {
    if ((signedArea(p) < 0) == positive) {
        const std::size_t n = p.size() / 2;
        for (std::size_t i = 0; i < n / 2; ++i) {
            std::swap(p[2 * i], p[2 * (n - 1 - i)]);
            std::swap(p[2 * i + 1], p[2 * (n - 1 - i) + 1]);
        }
    }
    return p;
}

int circleSegments(float r) { return std::clamp(int(r * 6.f) + 16, 16, 1024); }

Poly circle(float cx, float cy, float r) {
    const int n = circleSegments(r);
    Poly p(2 * n);
    for (int i = 0; i < n; ++i) {
        const float a = 2.f * kPi * float(i) / float(n);
        p[2 * i] = cx + r * std::cos(a);
        p[2 * i + 1] = cy + r * std::sin(a);
    }
    return oriented(std::move(p));
}

// Box around the segment, half-width h on each side, butt ends.
bool segmentBox(float x0, float y0, float x1, float y1, float h, Poly& out) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0.f)) return false;
    const float nx = -dy / len * h, ny = dx / len * h;
    out = oriented({x0 + nx, y0 + ny, x1 + nx, y1 + ny, x1 - nx, y1 - ny, x0 - nx, y0 - ny});
    return true;
}

// Outline of a rounded rectangle, corners of radius r (clamped to fit).
Poly roundRect(float l, float t, float rt, float b, float r) {
    r = std::clamp(r, 0.f, std::min(rt - l, b - t) * 0.5f);
    if (r <= 0.f) return oriented({l, t, rt, t, rt, b, l, b});
    const int seg = std::max(4, circleSegments(r) / 4);
    Poly p;
    p.reserve(8 * (seg + 1));
    const float cx[4] = {rt - r, rt - r, l + r, l + r};
    const float cy[4] = {t + r, b - r, b - r, t + r};
    for (int c = 0; c < 4; ++c) {
        // Corner c sweeps a quarter turn starting from straight up, clockwise.
        for (int i = 0; i <= seg; ++i) {
            const float a = (float(c) + float(i) / float(seg)) * 0.5f * kPi;
            p.push_back(cx[c] + r * std::sin(a));
            p.push_back(cy[c] - r * std::cos(a));
        }
    }
    return oriented(std::move(p));
}

}  // namespace

void CDIB::drawLine(float x0, float y0, float x1, float y1, Rgb colour, float opacity,
                    float width) {
    if (!(width > 0.f)) return;
    // Pixel-aligned horizontal and vertical lines are plain rectangles.
    const float h = width * 0.5f;
    auto whole = [](float v) { return std::fabs(v) < 1e6f && v == std::floor(v); };
    if (y0 == y1 && x0 != x1 && whole(x0) && whole(x1) && whole(y0 - h) && whole(y0 + h)) {
        fillRect(CRect(int(std::min(x0, x1)), int(y0 - h), int(std::max(x0, x1)), int(y0 + h)), colour, opacity);
        return;
    }
    if (x0 == x1 && y0 != y1 && whole(y0) && whole(y1) && whole(x0 - h) && whole(x0 + h)) {
        fillRect(CRect(int(x0 - h), int(std::min(y0, y1)), int(x0 + h), int(std::max(y0, y1))), colour, opacity);
        return;
    }
    Poly box;
    if (segmentBox(x0, y0, x1, y1, h, box)) fillShapes({box}, colour, opacity);
}

void CDIB::drawPolyline(const float* xy, int n, Rgb colour, float opacity, float width) {
    if (!xy || n < 2 || !(width > 0.f)) return;
    const float h = width * 0.5f;
    std::vector<Poly> shapes;
    shapes.reserve(3 * n);
    Poly box;
    bool havePrev = false;
    float pnx = 0.f, pny = 0.f;  // offset to the side of the previous segment
    for (int i = 0; i + 1 < n; ++i) {
        const float x0 = xy[2 * i], y0 = xy[2 * i + 1], x1 = xy[2 * i + 2], y1 = xy[2 * i + 3];
        if (!segmentBox(x0, y0, x1, y1, h, box)) continue;
        shapes.push_back(box);
        const float len = std::sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
        const float nx = -(y1 - y0) / len * h, ny = (x1 - x0) / len * h;
        // Bevel joins fill the wedges between a segment and the next one on
        // both sides (the inner one lies under the boxes anyway).
        if (havePrev && width > 1.f) {
            Poly a = {x0, y0, x0 + pnx, y0 + pny, x0 + nx, y0 + ny};
            Poly b = {x0, y0, x0 - pnx, y0 - pny, x0 - nx, y0 - ny};
            if (std::fabs(signedArea(a)) > 1e-6f) shapes.push_back(oriented(std::move(a)));
            if (std::fabs(signedArea(b)) > 1e-6f) shapes.push_back(oriented(std::move(b)));
        }
        pnx = nx;
        pny = ny;
        havePrev = true;
    }
    fillShapes(shapes, colour, opacity);
}

void CDIB::fillCircle(float cx, float cy, float radius, Rgb colour, float opacity) {
    if (!(radius > 0.f)) return;
    fillShapes({circle(cx, cy, radius)}, colour, opacity);
}

void CDIB::drawArc(float cx, float cy, float r, float a0, float a1, Rgb colour, float opacity,
                   float w) {
    if (!(w > 0.f) || !(r > 0.f) || !std::isfinite(a0) || !std::isfinite(a1)) return;
    if (a1 < a0) std::swap(a0, a1);
    a1 = std::min(a1, a0 + 2.f * kPi);
    const float outer = r + w * 0.5f;
    const float inner = std::max(0.f, r - w * 0.5f);
    const int n = std::max(2, int(float(circleSegments(outer)) * (a1 - a0) / (2.f * kPi)) + 1);
    Poly p;
    p.reserve(4 * (n + 1));
    for (int i = 0; i <= n; ++i) {
        const float a = a0 + (a1 - a0) * float(i) / float(n);
        p.push_back(cx + outer * std::sin(a));
        p.push_back(cy - outer * std::cos(a));
    }
    for (int i = n; i >= 0; --i) {
        const float a = a0 + (a1 - a0) * float(i) / float(n);
        p.push_back(cx + inner * std::sin(a));
        p.push_back(cy - inner * std::cos(a));
    }
    fillShapes({oriented(std::move(p))}, colour, opacity);
}

void CDIB::fillRoundRect(const CRect& r, float radius, Rgb colour, float opacity) {
    if (r.isEmpty()) return;
    fillShapes({roundRect(float(r.left), float(r.top), float(r.right), float(r.bottom), radius)},
               colour, opacity);
}

void CDIB::frameRoundRect(const CRect& r, float radius, Rgb colour, float opacity, float w) {
    if (r.isEmpty() || !(w > 0.f)) return;
    const float l = float(r.left), t = float(r.top), rt = float(r.right), b = float(r.bottom);
    std::vector<Poly> shapes{roundRect(l, t, rt, b, radius)};
    if (rt - l > 2 * w && b - t > 2 * w)
        shapes.push_back(oriented(roundRect(l + w, t + w, rt - w, b - w, radius - w), false));
    fillShapes(shapes, colour, opacity);
}

}  // namespace hm::gui
