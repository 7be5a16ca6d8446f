// Knob film strip, slider and fader parts, band type icons and button ring,
// knob well and the meter-side fade.
#include <cmath>
#include <numbers>

#include "gui/draw/SkinIds.h"
#include "tools/skingen/Painter.h"
#include "tools/skingen/Skin.h"

namespace hm::skingen {

using namespace gui;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kKnobStart = -0.75f * kPi;  // left stop, 0 = straight up
constexpr float kKnobRange = 1.5f * kPi;

void knobFrame(CDIB& d, const CRect& r, float t) {
    const float cx = float(r.left) + 15.f, cy = float(r.top) + 15.f;
    d.fillCircle(cx, cy + 0.8f, 13.8f, 0x000000, 0.35f);                       // drop shadow
    d.drawArc(cx, cy, 12.6f, kKnobStart, kKnobStart + kKnobRange, 0x2C3138, 1.f, 2.4f);
    if (t > 0.f) {
        const float end = kKnobStart + kKnobRange * t;
        d.drawArc(cx, cy, 12.6f, kKnobStart, end, palette::kAccent, 1.f, 2.4f);
        d.drawArc(cx, cy, 12.6f, kKnobStart, end, palette::kAccent, 0.18f, 4.6f);  // soft glow
    }
    d.fillCircle(cx, cy, 9.9f, palette::kEdgeDark);
    roundGradient(d, CRect(r.left + 6, r.top + 6, r.left + 24, r.top + 24), 9.f, 0x454C55, 0x24282E);
    d.drawArc(cx, cy, 8.5f, -0.45f * kPi, 0.45f * kPi, 0xFFFFFF, 0.10f, 1.f);  // top sheen
    const float a = kKnobStart + kKnobRange * t;
    const float sx = std::sin(a), sy = -std::cos(a);
    d.drawLine(cx + sx * 2.5f, cy + sy * 2.5f, cx + sx * 8.2f, cy + sy * 8.2f, 0xEEF1F4, 1.f, 2.f);
}

CDIB* knob() {
    return frames(30, 30, skin::kKnobFrames, [](CDIB& d, const CRect& r, int i) {
        knobFrame(d, r, float(i) / float(skin::kKnobFrames - 1));
    });
}

CDIB* sliderHandle() {
    CDIB* d = newAlpha(28, 16);
    d->fillRoundRect(CRect(0, 1, 28, 16), 3.f, 0x000000, 0.4f);
    raisedPanel(*d, CRect(0, 0, 28, 15), 3.f, 0x555D68, 0x2D3238);
    d->fillRect(CRect(3, 7, 25, 8), palette::kAccent);
    d->fillRect(CRect(3, 8, 25, 9), 0x000000, 0.35f);
    return d;
}

CDIB* sliderTrack() {
    // 46 wide so a value label fits beside the groove; the handle sits at x 9.
    CDIB* d = newAlpha(46, 224);
    // Ticks every 26 pixels between the handle centre's end positions (8 and 216).
    for (int k = 0; k <= 8; ++k) {
        const int y = 8 + k * 26;
        const bool major = k == 0 || k == 4 || k == 8;
        const Rgb c = major ? palette::kTextMid : palette::kTextDim;
        d->fillRect(CRect(major ? 11 : 13, y, 18, y + 1), c, major ? 0.9f : 0.7f);
        d->fillRect(CRect(28, y, major ? 35 : 33, y + 1), c, major ? 0.9f : 0.7f);
    }
    sunkenField(*d, CRect(20, 4, 26, 221), 3.f);
    return d;
}

CDIB* faderHandle() {
    CDIB* d = newAlpha(27, 15);
    d->fillRoundRect(CRect(0, 1, 27, 15), 3.f, 0x000000, 0.45f);
    raisedPanel(*d, CRect(0, 0, 27, 14), 3.f, 0x6A727D, 0x30353C);
    d->fillRect(CRect(3, 6, 24, 7), 0x0B0C0E, 0.9f);
    d->fillRect(CRect(3, 7, 24, 8), 0xFFFFFF, 0.25f);
    return d;
}

CDIB* meterSeparator() {
    CDIB* d = newAlpha(6, 264);
    d->fillRect(CRect(2, 0, 4, 264), palette::kEdgeDark, 0.9f);
    d->fillRect(CRect(4, 0, 5, 264), 0x3A4049, 0.6f);
    return d;
}

// Response shapes of the six band types, y in the 31×32 cell for x fraction t.
float typeShape(int type, float t) {
    auto logistic = [](float v) { return 1.f / (1.f + std::exp(-v)); };
    switch (type) {
        case 0: return 20.f - 9.f * std::exp(-std::pow((t - 0.5f) / 0.15f, 2.f));  // peak
        case 1: return 12.f + 10.f * (1.f - logistic((t - 0.38f) * 16.f));         // high-pass
        case 2: return 20.f - 8.f * (1.f - logistic((t - 0.5f) * 12.f));           // low shelf
        case 3: return 20.f - 8.f * logistic((t - 0.5f) * 12.f);                   // high shelf
        case 4: return 12.f + 10.f * logistic((t - 0.62f) * 16.f);                 // low-pass
        default: return 12.f + 11.f * std::exp(-std::pow((t - 0.5f) / 0.07f, 2.f));  // notch
    }
}

CDIB* typeIcons() {
    CDIB* d = newAlpha(62, 192);
    for (int type = 0; type < 6; ++type)
        for (int col = 0; col < 2; ++col) {
            const float left = float(col * 31), top = float(type * 32);
            auto xy = curve(left + 6.f, left + 25.f, 48, [&](float t) { return top + typeShape(type, t); });
            CDIB::StateSaver save(*d);
            d->setClipRect(CRect(col * 31, type * 32, col * 31 + 31, type * 32 + 32));
            if (col == 1) d->drawPolyline(xy.data(), int(xy.size() / 2), palette::kAccent, 0.25f, 4.f);
            d->drawPolyline(xy.data(), int(xy.size() / 2), col == 0 ? 0x7A818B : 0xF2F4F6, 1.f, 1.8f);
        }
    return d;
}

CDIB* typeButtonRing() {
    return frames(31, 32, 3, [](CDIB& d, const CRect& r, int state) {
        CRect b(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
        d.fillRoundRect(CRect(b.left, b.top + 1, b.right, b.bottom + 1), 6.f, 0x000000, 0.4f);
        if (state == 2) raisedPanel(d, b, 6.f, 0x333942, 0x22262C);
        else raisedPanel(d, b, 6.f);
        CRect ring = b;
        ring.inset(1, 1);
        if (state == 1) d.frameRoundRect(ring, 5.f, palette::kOrange, 0.85f, 1.5f);
        if (state == 2) d.frameRoundRect(ring, 5.f, palette::kAccent, 1.f, 1.5f);
    });
}

CDIB* knobWell() {
    CDIB* d = newAlpha(34, 41);
    d->fillCircle(17.f, 19.6f, 16.4f, 0x3A4049, 0.55f);   // lit lower rim
    d->fillCircle(17.f, 19.f, 16.f, palette::kEdgeDark, 0.95f);
    d->fillCircle(17.f, 19.4f, 15.f, 0x15171A);
    return d;
}

CDIB* meterFade() {
    CDIB* d = newAlpha(12, 32);
    for (int x = 0; x < 12; ++x) {
        const float t = float(x + 1) / 12.f;
        d->fillRect(CRect(x, 0, x + 1, 32), 0x000000, 0.5f * t * t);
    }
    return d;
}

}  // namespace

void addControls(std::vector<SkinEntry>& out) {
    out.push_back({skin::kKnob, knob});
    out.push_back({skin::kSliderHandle, sliderHandle});
    out.push_back({skin::kSliderTrack, sliderTrack});
    out.push_back({skin::kFaderHandle, faderHandle});
    out.push_back({skin::kMeterSeparator, meterSeparator});
    out.push_back({skin::kTypeIcons, typeIcons});
    out.push_back({skin::kTypeButtonRing, typeButtonRing});
    out.push_back({skin::kKnobWell, knobWell});
    out.push_back({skin::kMeterFade, meterFade});
}

}  // namespace hm::skingen
