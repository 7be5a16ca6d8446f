// Title and tool bar tiles, the setup window, preset box and scale tray
// panels, band strip and meter strip bodies, value fields.
#include <cmath>

#include "gui/draw/SkinIds.h"
#include "tools/skingen/Painter.h"
#include "tools/skingen/Skin.h"

namespace hm::skingen {

using namespace gui;

namespace {

// The 25-pixel bar behind the title and the tool bar.
void barTile(CDIB& d, int w) {
    d.fillGradientV(CRect(0, 0, w, 25), 0x2B2F36, 0x1B1E22);
    d.fillRect(CRect(0, 0, w, 1), 0x434953);
    d.fillRect(CRect(0, 24, w, 25), 0x08090A);
}

CDIB* titleTile() {
    CDIB* d = newOpaque(16, 25, 0);
    barTile(*d, 16);
    return d;
}

// A panel of the bar with a groove at its left edge (tool bar sections).
CDIB* barSection(int w) {
    CDIB* d = newOpaque(w, 25, 0);
    barTile(*d, w);
    d->fillRect(CRect(0, 3, 1, 22), 0x0E0F11);
    d->fillRect(CRect(1, 3, 2, 22), 0x353A42);
    return d;
}
CDIB* toolbarBack() { return barSection(skin::kToolbarWidth); }
CDIB* toolbarRightBack() { return barSection(skin::kToolbarRightWidth); }

// The shadow the title bar casts on the graph.
CDIB* titleShadow() {
    CDIB* d = newAlpha(16, 6);
    for (int y = 0; y < 6; ++y) {
        const float t = 1.f - float(y) / 6.f;
        d->fillRect(CRect(0, y, 16, y + 1), 0x000000, 0.45f * t * t);
    }
    return d;
}

CDIB* titleLogo() {
    CDIB* d = newOpaque(skin::kTitleLogoWidth, 25, 0);
    barTile(*d, skin::kTitleLogoWidth);
    // A small bell curve as the mark, then the name; the last pixels stay
    // plain bar, so the tool bar may overlap them in the narrowest window.
    auto xy = curve(7.f, 24.f, 40, [](float t) { return 17.f - 9.f * std::exp(-std::pow((t - 0.5f) / 0.17f, 2.f)); });
    d->drawPolyline(xy.data(), int(xy.size() / 2), palette::kAccent, 0.3f, 4.f);
    d->drawPolyline(xy.data(), int(xy.size() / 2), palette::kAccent, 1.f, 1.8f);
    label(*d, CRect(29, 0, skin::kTitleLogoWidth, 25), "HARMONIFORM", 12.f, palette::kText, TextAlign::kLeft);
    return d;
}

// Panel with a soft outer shadow; `shadow` pixels are kept free around it.
void floatingPanel(CDIB& d, const CRect& r, float radius) {
    d.fillRoundRect(CRect(r.left + 1, r.top + 2, r.right + 1, r.bottom + 3), radius + 1.f, 0x000000, 0.35f);
    d.fillRoundRect(r, radius, palette::kEdgeDark);
    CRect inner = r;
    inner.inset(1, 1);
    roundGradient(d, inner, radius - 1.f, 0x23272D, 0x1A1C20);
}

// A recessed field, flat inside below a short top shadow (so that a panel
// may repeat its middle rows).
void flatWell(CDIB& d, const CRect& r, Rgb fill) {
    d.fillRoundRect(r, 4.f, 0x2A2E35);  // faint lower edge
    CRect inner = r;
    inner.bottom -= 1;
    d.fillRoundRect(inner, 4.f, palette::kEdgeDark);
    inner.inset(1, 1);
    d.fillRoundRect(inner, 3.f, fill);
    for (int y = 0; y < 8; ++y)
        d.fillRect(CRect(inner.left + 2, inner.top + y, inner.right - 2, inner.top + y + 1), 0x000000,
                   0.3f * (1.f - float(y) / 8.f));
}

// The setup window: title bar, the page list field at the left and the page
// field at the right. The rows between the top 48 and the bottom 24 are all
// alike, so the panel can be drawn taller by repeating them.
CDIB* setupWindow() {
    CDIB* d = newAlpha(632, 403);
    d->fillRoundRect(CRect(1, 2, 630, 403), 7.f, 0x000000, 0.35f);
    d->fillRoundRect(CRect(0, 0, 629, 400), 6.f, palette::kEdgeDark);
    d->fillRoundRect(CRect(1, 1, 628, 399), 5.f, 0x1E2126);
    // Title bar with the close box at the right.
    {
        CDIB::StateSaver save(*d);
        d->setClipRect(CRect(0, 0, 632, 25));
        roundGradient(*d, CRect(1, 1, 628, 40), 5.f, 0x30353D, 0x23272D);
    }
    d->fillRect(CRect(1, 25, 628, 26), palette::kEdgeDark);
    label(*d, CRect(14, 0, 300, 25), "SETUP", 12.f, palette::kText, TextAlign::kLeft);
    const float cx = 615.f, cy = 12.5f;
    d->fillCircle(cx, cy, 7.5f, 0x15171A);
    d->drawLine(cx - 3.f, cy - 3.f, cx + 3.f, cy + 3.f, palette::kTextMid, 1.f, 1.6f);
    d->drawLine(cx - 3.f, cy + 3.f, cx + 3.f, cy - 3.f, palette::kTextMid, 1.f, 1.6f);
    // Page list and page area, recessed.
    flatWell(*d, CRect(12, 37, 162, 383), 0x17191D);
    flatWell(*d, CRect(170, 37, 620, 383), 0x1A1D21);
    return d;
}

CDIB* presetBox() {
    CDIB* d = newAlpha(420, 54);
    // Slides down from under the title bar: square top, rounded bottom,
    // just tall enough to hide under the bar when closed.
    CRect body(0, -8, 417, 51);
    floatingPanel(*d, body, 6.f);
    d->fillRect(CRect(10, 28, 407, 29), palette::kBorder);
    label(*d, CRect(10, 30, 60, 49), "RECALL", 9.f, palette::kTextDim, TextAlign::kLeft);
    return d;
}

CDIB* scaleTray() {
    CDIB* d = newAlpha(116, 250);
    // Slides in from the left edge: rounded on the right only.
    floatingPanel(*d, CRect(-8, 0, 113, 247), 6.f);
    d->fillRect(CRect(57, 24, 58, 240), palette::kBorder);
    return d;
}

CDIB* stripTextFrame() {
    CDIB* d = newAlpha(59, 17);
    d->frameRoundRect(CRect(0, 0, 59, 17), 3.f, palette::kBorder, 1.f, 1.f);
    return d;
}

CDIB* stripMenuBack() {
    CDIB* d = newAlpha(59, 17);
    sunkenField(*d, CRect(0, 0, 59, 17), 3.f);
    return d;
}

CDIB* presetMenuBack() {
    const int w = skin::kPresetMenuWidth;
    CDIB* d = newAlpha(w, 19);
    sunkenField(*d, CRect(0, 0, w, 19), 3.f);
    triangle(*d, float(w) - 9.f, 9.5f, 6.f, 2, palette::kTextMid);
    return d;
}

// Band strip body: a column panel; the selected one lifts slightly and
// carries an accent line along its top.
CDIB* stripBody(bool selected) {
    CDIB* d = newOpaque(65, 400, palette::kWindow);
    const Rgb top = selected ? 0x2A2F36 : 0x22252B;
    const Rgb bottom = selected ? 0x1F2227 : 0x1A1C20;
    d->fillGradientV(CRect(0, 0, 65, 400), top, bottom);
    d->fillRect(CRect(0, 0, 1, 400), selected ? 0x3C434C : 0x2C3037);
    d->fillRect(CRect(64, 0, 65, 400), 0x0E0F11);
    d->fillRect(CRect(0, 399, 65, 400), 0x0E0F11);
    if (selected) d->fillRect(CRect(1, 0, 64, 2), palette::kAccent);
    return d;
}
CDIB* stripBodyNormal() { return stripBody(false); }
CDIB* stripBodySelected() { return stripBody(true); }

CDIB* stripHeader() {
    CDIB* d = newOpaque(65, 22, 0);
    d->fillGradientV(CRect(0, 0, 65, 22), 0x2A2E35, 0x202329);
    d->fillRect(CRect(0, 21, 65, 22), 0x0E0F11);
    d->fillRect(CRect(64, 0, 65, 22), 0x0E0F11);
    return d;
}

// Meter strip body: caption band on top (top slice), plain middle, button
// area at the bottom (bottom slice starting at row bottomFrom).
CDIB* meterBody(int w, int h, int topSlice, int bottomFrom) {
    CDIB* d = newOpaque(w, h, palette::kWindow);
    d->fillGradientV(CRect(0, 0, w, h), 0x202329, 0x1A1C20);
    d->fillGradientV(CRect(0, 0, w, topSlice - 16), 0x2A2E35, 0x22252B);
    d->fillRect(CRect(0, topSlice - 16, w, topSlice - 15), 0x0E0F11);
    d->fillRect(CRect(0, bottomFrom + 8, w, bottomFrom + 9), 0x0E0F11);
    d->fillRect(CRect(0, bottomFrom + 9, w, bottomFrom + 10), 0x2C3037);
    d->fillRect(CRect(0, 0, 1, h), 0x2C3037);
    d->fillRect(CRect(w - 1, 0, w, h), 0x0E0F11);
    return d;
}
CDIB* meterBodyStrip() { return meterBody(66, 414, 46, 310); }
CDIB* meterBodyLarge() { return meterBody(90, 420, 49, 313); }

}  // namespace

void addPanels(std::vector<SkinEntry>& out) {
    const SkinEntry entries[] = {
        {skin::kTitleTile, titleTile},         {skin::kTitleLogo, titleLogo},
        {skin::kToolbarBack, toolbarBack},     {skin::kToolbarRightBack, toolbarRightBack},
        {skin::kTitleShadow, titleShadow},     {skin::kSetupWindow, setupWindow},
        {skin::kPresetBox, presetBox},         {skin::kStripTextFrame, stripTextFrame},
        {skin::kScaleTray, scaleTray},         {skin::kPresetMenuBack, presetMenuBack},
        {skin::kStripBody, stripBodyNormal},   {skin::kStripBodySelected, stripBodySelected},
        {skin::kStripHeader, stripHeader},     {skin::kStripMenuBack, stripMenuBack},
        {skin::kMeterBody, meterBodyStrip},    {skin::kMeterBodyLarge, meterBodyLarge},
    };
    out.insert(out.end(), std::begin(entries), std::end(entries));
}

}  // namespace hm::skingen
