#include "tools/skingen/Painter.h"

#include <cmath>

namespace hm::skingen {

using namespace gui;

CDIB* newAlpha(int w, int h) {
    auto* d = new CDIB(w, h);
    d->setHasAlpha(true);
    return d;
}

CDIB* newOpaque(int w, int h, Rgb colour) {
    auto* d = new CDIB(w, h);
    d->clear(0xFF000000u | colour);
    return d;
}

void roundGradient(CDIB& d, const CRect& r, float radius, Rgb top, Rgb bottom, float opacity) {
    // Rows of the gradient clipped to the rounded shape: draw the shape once
    // per row band through a clip.
    const int h = r.height();
    for (int i = 0; i < h; ++i) {
        const float t = h > 1 ? float(i) / float(h - 1) : 0.f;
        auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
        const Rgb c = makeRgb(mix(rgbRed(top), rgbRed(bottom)), mix(rgbGreen(top), rgbGreen(bottom)),
                              mix(rgbBlue(top), rgbBlue(bottom)));
        CDIB::StateSaver save(d);
        CRect band(r.left, r.top + i, r.right, r.top + i + 1);
        band.bound(d.getClipRect());
        d.setClipRect(band);
        d.fillRoundRect(r, radius, c, opacity);
    }
}

void raisedPanel(CDIB& d, const CRect& r, float radius, Rgb top, Rgb bottom) {
    d.fillRoundRect(r, radius, palette::kEdgeDark);
    CRect inner = r;
    inner.inset(1, 1);
    roundGradient(d, inner, radius - 1.f, top, bottom);
    // Light catches the upper edge only.
    CDIB::StateSaver save(d);
    CRect topBand(r.left, r.top, r.right, r.top + int(radius) + 2);
    d.setClipRect(topBand);
    d.frameRoundRect(inner, radius - 1.f, palette::kEdgeLight, 0.55f, 1.f);
}

void sunkenField(CDIB& d, const CRect& r, float radius, Rgb fill) {
    d.fillRoundRect(r, radius, 0x2A2E35);  // faint lower edge shows around the well
    CRect inner = r;
    inner.bottom -= 1;
    d.fillRoundRect(inner, radius, palette::kEdgeDark);
    inner.inset(1, 1);
    roundGradient(d, inner, radius - 1.f, makeRgb(rgbRed(fill) * 7 / 10, rgbGreen(fill) * 7 / 10, rgbBlue(fill) * 7 / 10),
                  fill);
}

void label(CDIB& d, const CRect& r, std::string_view text, float px, Rgb colour, TextAlign align,
           float opacity) {
    const auto& f = TrueTypeFont::futura();
    if (!f.valid()) return;
    // Centre on the cap height rather than the line box: labels are capitals.
    float x0, y0, x1, y1;
    int y = r.top + (r.height() - int(px)) / 2;
    if (f.glyphBounds('H', px, x0, y0, x1, y1)) {
        const float capTop = f.ascent(px) - y1;
        const float capHeight = y1;
        y = int(std::lround(float(r.top) + (float(r.height()) - capHeight) * 0.5f - capTop));
    }
    const int w = f.measure(text, px);
    int x = r.left;
    if (align == TextAlign::kCentre) x = r.left + (r.width() - w) / 2;
    if (align == TextAlign::kRight) x = r.right - w;
    f.draw(d, x, y, text, px, colour, opacity);
}

CDIB* frames(int w, int h, int count, const std::function<void(CDIB&, const CRect&, int)>& draw) {
    CDIB* d = newAlpha(w, h * count);
    for (int i = 0; i < count; ++i) {
        CDIB::StateSaver save(*d);
        d->setClipRect(CRect(0, h * i, w, h * (i + 1)));
        draw(*d, CRect(0, h * i, w, h * (i + 1)), i);
    }
    return d;
}

void toggleFace(CDIB& d, const CRect& r, std::string_view caption, bool on, Rgb lit, float px) {
    if (!on) {
        raisedPanel(d, r, 3.f);
        label(d, r, caption, px, palette::kTextMid);
        return;
    }
    d.fillRoundRect(r, 3.f, palette::kEdgeDark);
    CRect inner = r;
    inner.inset(1, 1);
    const Rgb top = makeRgb(std::min(255, rgbRed(lit) + 25), std::min(255, rgbGreen(lit) + 25),
                            std::min(255, rgbBlue(lit) + 25));
    const Rgb bottom = makeRgb(rgbRed(lit) * 3 / 4, rgbGreen(lit) * 3 / 4, rgbBlue(lit) * 3 / 4);
    roundGradient(d, inner, 2.f, top, bottom);
    const int luma = (rgbRed(lit) * 3 + rgbGreen(lit) * 6 + rgbBlue(lit)) / 10;
    label(d, r, caption, px, luma > 150 ? 0x15171A : 0xFFFFFF);
}

void kickFace(CDIB& d, const CRect& r, std::string_view caption, bool down, float px) {
    if (!down) {
        raisedPanel(d, r, 3.f);
        label(d, r, caption, px, palette::kText);
    } else {
        raisedPanel(d, r, 3.f, palette::kPanelDark, 0x15171A);
        CRect shifted = r;
        shifted.offset(0, 1);
        label(d, shifted, caption, px, palette::kAccent);
    }
}

void triangle(CDIB& d, float cx, float cy, float s, int direction, Rgb colour, float opacity) {
    const float h = s * 0.5f;
    float p[6];
    switch (direction & 3) {
        case 0: { const float q[6] = {cx - h, cy + h * 0.6f, cx + h, cy + h * 0.6f, cx, cy - h * 0.6f}; std::copy_n(q, 6, p); break; }
        case 1: { const float q[6] = {cx - h * 0.6f, cy - h, cx - h * 0.6f, cy + h, cx + h * 0.6f, cy}; std::copy_n(q, 6, p); break; }
        case 2: { const float q[6] = {cx - h, cy - h * 0.6f, cx + h, cy - h * 0.6f, cx, cy + h * 0.6f}; std::copy_n(q, 6, p); break; }
        default: { const float q[6] = {cx + h * 0.6f, cy - h, cx + h * 0.6f, cy + h, cx - h * 0.6f, cy}; std::copy_n(q, 6, p); break; }
    }
    d.fillPolygon(p, 3, colour, opacity);
}

std::vector<float> curve(float x0, float x1, int steps, const std::function<float(float)>& f) {
    std::vector<float> xy;
    xy.reserve(2 * (steps + 1));
    for (int i = 0; i <= steps; ++i) {
        const float t = float(i) / float(steps);
        xy.push_back(x0 + (x1 - x0) * t);
        xy.push_back(f(t));
    }
    return xy;
}

}  // namespace hm::skingen
