// Setup wizard art: answer buttons, background, the hidden picture and the
// preview strip of the first question (one miniature editor per answer).
#include <cmath>

#include "gui/draw/SkinIds.h"
#include "tools/skingen/Painter.h"
#include "tools/skingen/Skin.h"

namespace hm::skingen {

using namespace gui;

namespace {

// A pleasant three-band response for decoration, y for x fraction t.
float demoResponse(float t) {
    return 0.55f * std::exp(-std::pow((t - 0.22f) / 0.08f, 2.f)) -
           0.45f * std::exp(-std::pow((t - 0.55f) / 0.10f, 2.f)) +
           0.35f / (1.f + std::exp(-(t - 0.85f) * 25.f));
}

void responseGraph(CDIB& d, const CRect& r, float lineWidth, bool grid) {
    sunkenField(d, r, 3.f, 0x121417);
    CDIB::StateSaver save(d);
    CRect inner = r;
    inner.inset(2, 2);
    d.setClipRect(inner);
    if (grid) {
        for (int k = 1; k < 6; ++k) {
            const int x = inner.left + inner.width() * k / 6;
            d.fillRect(CRect(x, inner.top, x + 1, inner.bottom), 0xFFFFFF, 0.05f);
        }
        for (int k = 1; k < 4; ++k) {
            const int y = inner.top + inner.height() * k / 4;
            d.fillRect(CRect(inner.left, y, inner.right, y + 1), 0xFFFFFF, k == 2 ? 0.09f : 0.05f);
        }
    }
    const float mid = float(inner.top + inner.bottom) * 0.5f;
    const float amp = float(inner.height()) * 0.55f;
    auto xy = curve(float(inner.left), float(inner.right), 120, [&](float t) { return mid - amp * demoResponse(t); });
    // Fill under the curve down to the 0 dB line, then the curve.
    std::vector<float> fill = xy;
    fill.push_back(float(inner.right));
    fill.push_back(mid);
    fill.push_back(float(inner.left));
    fill.push_back(mid);
    d.fillPolygon(fill.data(), int(fill.size() / 2), palette::kAccent, 0.16f);
    d.drawPolyline(xy.data(), int(xy.size() / 2), palette::kAccent, 0.25f, lineWidth * 2.5f);
    d.drawPolyline(xy.data(), int(xy.size() / 2), 0x8FD6F5, 1.f, lineWidth);
}

CDIB* radio() {
    return frames(20, 20, 2, [](CDIB& d, const CRect& r, int i) {
        const float cx = float(r.left) + 10.f, cy = float(r.top) + 10.f;
        d.fillCircle(cx, cy + 0.6f, 9.f, 0x3A4049, 0.6f);
        d.fillCircle(cx, cy, 9.f, palette::kEdgeDark);
        d.fillCircle(cx, cy, 8.f, 0x15171A);
        if (i == 1) {
            d.fillCircle(cx, cy, 6.5f, palette::kAccent, 0.25f);
            d.fillCircle(cx, cy, 4.5f, palette::kAccent);
            d.fillCircle(cx - 1.f, cy - 1.2f, 1.6f, 0xFFFFFF, 0.35f);
        }
    });
}

CDIB* background() {
    CDIB* d = newOpaque(632, 428, palette::kWindow);
    d->fillGradientV(CRect(0, 0, 632, 428), 0x202329, 0x141619);
    d->fillGradientV(CRect(0, 0, 632, 34), 0x2B2F36, 0x1F2227);
    d->fillRect(CRect(0, 34, 632, 35), 0x0B0C0E);
    d->fillRect(CRect(0, 35, 632, 36), 0x2F343B);
    // A wide, faint response curve as watermark behind the questions.
    auto xy = curve(-10.f, 642.f, 240, [](float t) { return 300.f - 150.f * demoResponse(t); });
    std::vector<float> fill = xy;
    fill.insert(fill.end(), {642.f, 428.f, -10.f, 428.f});
    d->fillPolygon(fill.data(), int(fill.size() / 2), palette::kAccent, 0.035f);
    d->drawPolyline(xy.data(), int(xy.size() / 2), palette::kAccent, 0.10f, 2.f);
    // Button bar.
    d->fillRect(CRect(0, 380, 632, 381), 0x0B0C0E);
    d->fillGradientV(CRect(0, 381, 632, 428), 0x1E2126, 0x17191C);
    d->fillRect(CRect(0, 381, 632, 382), 0x2F343B);
    return d;
}

// Hidden picture: a little desk unit (top half) over its level bars
// (bottom half); the view moves the bottom half when pressed.
CDIB* picture() {
    CDIB* d = newAlpha(240, 160);
    d->fillRoundRect(CRect(2, 4, 240, 80), 8.f, 0x000000, 0.35f);
    raisedPanel(*d, CRect(0, 0, 236, 76), 8.f, 0x30353D, 0x1D2024);
    label(*d, CRect(0, 6, 236, 24), "HARMONIFORM", 12.f, palette::kText);
    responseGraph(*d, CRect(12, 28, 150, 68), 1.5f, true);
    for (int k = 0; k < 3; ++k) {
        const float cx = 172.f + float(k) * 22.f, cy = 48.f;
        d->fillCircle(cx, cy, 9.f, palette::kEdgeDark);
        roundGradient(*d, CRect(int(cx) - 8, int(cy) - 8, int(cx) + 8, int(cy) + 8), 8.f, 0x4A515B, 0x23272D);
        const float a = -0.6f + 0.7f * float(k);
        d->drawLine(cx, cy, cx + 6.f * std::sin(a), cy - 6.f * std::cos(a), 0xFFFFFF, 1.f, 1.6f);
    }
    // Bottom half: level bars in the meter colours.
    raisedPanel(*d, CRect(20, 84, 216, 156), 6.f, 0x23272D, 0x17191C);
    const float heights[] = {0.45f, 0.7f, 0.9f, 0.6f, 0.8f, 0.5f, 0.35f, 0.65f, 0.85f, 0.55f, 0.4f, 0.3f};
    for (int k = 0; k < 12; ++k) {
        const int x = 30 + k * 15;
        const int h = int(56.f * heights[k]);
        for (int y = 0; y < h; y += 3) {
            const float hue = 180.f * (1.f - float(y) / 56.f);  // cyan at the bottom to red at the top
            const float hh = hue / 60.f;
            const float f = hh - std::floor(hh);
            int rr = 255, gg = 255, bb = 0;
            switch (int(hh)) {
                case 0: gg = int(255 * f); break;
                case 1: rr = int(255 * (1 - f)); break;
                case 2: rr = 0; bb = int(255 * f); break;
                default: rr = 0; gg = 255; bb = 255; break;
            }
            d->fillRect(CRect(x, 148 - y - 2, x + 10, 148 - y), makeRgb(rr, gg, bb), 0.9f);
        }
    }
    return d;
}

// Miniature editor layouts for the answers of the first wizard question.
void miniEditor(CDIB& d, const CRect& r, bool graph, bool text, bool knobs) {
    d.fillRoundRect(r, 5.f, 0x0B0C0E);
    CRect inner = r;
    inner.inset(1, 1);
    roundGradient(d, inner, 4.f, 0x23272D, 0x1A1C20);
    d.fillRect(CRect(inner.left, inner.top, inner.right, inner.top + 9), 0x2B2F36);
    int y = inner.top + 12;
    const int bottom = inner.bottom - 4;
    const int stripH = !text && !knobs ? 0 : knobs ? 62 : 36;
    if (graph) {
        const int gBottom = stripH ? bottom - stripH - 4 : bottom;
        responseGraph(d, CRect(inner.left + 4, y, inner.right - 4, gBottom), 1.2f, true);
        y = gBottom + 4;
    }
    if (!stripH) return;
    const int top = graph ? y : inner.top + 12;
    const int strips = 8;
    const int w = (inner.width() - 8) / strips;
    for (int s = 0; s < strips; ++s) {
        const int x = inner.left + 4 + s * w;
        const CRect col(x, top, x + w - 2, bottom);
        d.fillRect(col, s == 2 ? 0x2A2F36 : 0x22252B);
        if (s == 2) d.fillRect(CRect(col.left, col.top, col.right, col.top + 1), palette::kAccent);
        int cy = col.top + 4;
        const int rows = 3;
        for (int k = 0; k < rows; ++k) {
            if (knobs) {
                const float kx = float(col.left + col.right) * 0.5f;
                d.fillCircle(kx, float(cy) + 6.f, 5.f, 0x0B0C0E);
                d.drawArc(kx, float(cy) + 6.f, 5.f, -2.35f, -2.35f + 1.2f * float(k + 1), palette::kAccent, 1.f, 1.3f);
                cy += 13;
            }
            d.fillRect(CRect(col.left + 3, cy, col.right - 3, cy + 5), 0x111316);
            d.fillRect(CRect(col.left + 6, cy + 2, col.right - 8, cy + 3), palette::kTextMid, 0.7f);
            cy += 8 + (knobs ? 0 : 3);
        }
    }
}

CDIB* preview() {
    CDIB* d = newAlpha(244, 720);
    const bool graph[] = {true, false, true, false, true};
    const bool text[] = {false, true, true, true, true};
    const bool knobs[] = {false, false, false, true, true};
    for (int k = 0; k < 5; ++k) {
        CDIB::StateSaver save(*d);
        d->setClipRect(CRect(0, 144 * k, 244, 144 * k + 144));
        miniEditor(*d, CRect(2, 144 * k + 2, 242, 144 * k + 142), graph[k], text[k], knobs[k]);
    }
    return d;
}

}  // namespace

void addWizard(std::vector<SkinEntry>& out) {
    out.push_back({skin::kWizardRadio, radio});
    out.push_back({skin::kWizardBack, background});
    out.push_back({skin::kWizardPicture, picture});
    out.push_back({skin::kWizardPreview, preview});
}

}  // namespace hm::skingen
