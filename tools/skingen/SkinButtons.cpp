// Buttons, toggles and menu cells of the tool bar, preset box, scale tray
// and channel strips. Two frames each, stacked: off/up then on/down.
#include <cmath>
#include <numbers>
#include <string>

#include "gui/draw/SkinIds.h"
#include "tools/skingen/Painter.h"
#include "tools/skingen/Skin.h"

namespace hm::skingen {

using namespace gui;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

CDIB* toggle(int w, int h, const char* caption, Rgb lit, float px = 10.f) {
    return frames(w, h, 2, [=](CDIB& d, const CRect& r, int i) { toggleFace(d, r, caption, i == 1, lit, px); });
}

CDIB* kick(int w, int h, const char* caption, float px = 10.f) {
    return frames(w, h, 2, [=](CDIB& d, const CRect& r, int i) { kickFace(d, r, caption, i == 1, px); });
}

CDIB* presetPage() { return kick(54, 19, "PRESETS"); }
CDIB* setupButton() { return kick(44, 19, "SETUP"); }
CDIB* loadButton() { return kick(50, 17, "LOAD", 9.f); }
CDIB* saveButton() { return kick(50, 17, "SAVE", 9.f); }
CDIB* analyser() { return toggle(58, 19, "ANALYSER", palette::kGreen); }
CDIB* bypass() { return toggle(52, 19, "BYPASS", palette::kOrange); }
CDIB* clipLight() { return toggle(34, 19, "CLIP", palette::kRed, 9.f); }
CDIB* presetEQ() { return toggle(36, 17, "EQ", palette::kAccent, 9.f); }
CDIB* presetDSP() { return toggle(36, 17, "DSP", palette::kAccent, 9.f); }
CDIB* presetUI() { return toggle(36, 17, "UI", palette::kAccent, 9.f); }
CDIB* mute() { return toggle(28, 19, "M", palette::kRed, 11.f); }
CDIB* solo() { return toggle(28, 19, "S", palette::kYellow, 11.f); }
CDIB* meterPoint() {
    return frames(59, 19, 2, [](CDIB& d, const CRect& r, int i) {
        toggleFace(d, r, i == 0 ? "POST" : "PRE", i == 1, palette::kAccent, 10.f);
    });
}
CDIB* presetBankToggle() {
    return frames(50, 17, 2, [](CDIB& d, const CRect& r, int i) {
        toggleFace(d, r, i == 0 ? "PRESET" : "BANK", false, palette::kAccent, 9.f);
        if (i == 1) d.frameRoundRect(CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1), 2.f, palette::kAccent, 0.9f);
    });
}

// Phase invert: a circle with a slash.
CDIB* phase() {
    return frames(28, 19, 2, [](CDIB& d, const CRect& r, int i) {
        toggleFace(d, r, "", i == 1, palette::kAccent);
        const Rgb c = i == 1 ? 0xFFFFFF : palette::kTextMid;
        const float cx = float(r.left) + 14.f, cy = float(r.top) + 9.5f;
        d.drawArc(cx, cy, 4.6f, 0.f, 2.f * kPi, c, 1.f, 1.6f);
        d.drawLine(cx - 5.5f, cy + 5.5f, cx + 5.5f, cy - 5.5f, c, 1.f, 1.6f);
    });
}

// Channel link: two interlocking rounded links.
CDIB* link() {
    return frames(25, 19, 2, [](CDIB& d, const CRect& r, int i) {
        toggleFace(d, r, "", i == 1, palette::kAccent);
        const Rgb c = i == 1 ? 0xFFFFFF : palette::kTextMid;
        const int cy = r.top + 9;
        d.frameRoundRect(CRect(r.left + 4, cy - 3, r.left + 14, cy + 4), 3.5f, c, 1.f, 1.6f);
        d.frameRoundRect(CRect(r.left + 11, cy - 3, r.left + 21, cy + 4), 3.5f, c, 1.f, 1.6f);
    });
}

// Undo / redo: an arc over the top ending in an arrow head that points
// down at the left (undo) or right (redo) end.
void turnArrow(CDIB& d, const CRect& r, bool redo, Rgb c) {
    const float s = redo ? -1.f : 1.f;  // mirror for redo
    const float cx = float(r.left) + 11.f + s * 0.5f, cy = float(r.top) + 10.5f;
    const float rad = 4.5f;
    if (redo)
        d.drawArc(cx, cy, rad, -0.6f * kPi, 0.5f * kPi, c, 1.f, 1.8f);
    else
        d.drawArc(cx, cy, rad, -0.5f * kPi, 0.6f * kPi, c, 1.f, 1.8f);
    const float ex = cx - s * rad;  // end of the arc, where the head sits
    const float p[6] = {ex - 3.f, cy - 1.f, ex + 3.f, cy - 1.f, ex, cy + 3.5f};
    d.fillPolygon(p, 3, c);
}
CDIB* undoRedo(bool redo) {
    return frames(22, 19, 2, [redo](CDIB& d, const CRect& r, int i) {
        kickFace(d, r, "", i == 1);
        turnArrow(d, CRect(r.left, r.top + i, r.right, r.bottom), redo, i == 1 ? palette::kAccent : palette::kText);
    });
}
CDIB* undo() { return undoRedo(false); }
CDIB* redo() { return undoRedo(true); }

CDIB* arrowKick(int direction) {
    return frames(19, 19, 2, [direction](CDIB& d, const CRect& r, int i) {
        kickFace(d, r, "", i == 1);
        triangle(d, float(r.left) + 9.5f, float(r.top) + 9.5f + float(i), 8.f, direction,
                 i == 1 ? palette::kAccent : palette::kText);
    });
}
CDIB* presetPrev() { return arrowKick(3); }
CDIB* presetNext() { return arrowKick(1); }

// Menu cells: column 0 closed, column 1 open (accent outline).
void menuCell(CDIB& d, const CRect& r, const std::string& text, bool open) {
    raisedPanel(d, r, 3.f, open ? 0x2F353D : palette::kPanelLight, open ? 0x1E2227 : palette::kPanelDark);
    if (open) d.frameRoundRect(CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1), 2.f, palette::kAccent, 0.9f);
    CRect t = r;
    t.right -= 9;
    if (!text.empty()) label(d, t, text, 10.f, open ? palette::kAccent : palette::kText);
    triangle(d, float(r.right) - 8.f, float(r.top) + float(r.height()) * 0.5f, 6.f, 2,
             open ? palette::kAccent : palette::kTextMid);
}

CDIB* menuGrid(int w, int h, int rows, const std::function<std::string(int)>& text) {
    CDIB* d = newAlpha(2 * w, rows * h);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < 2; ++col) {
            CDIB::StateSaver save(*d);
            const CRect cell(col * w, row * h, col * w + w, row * h + h);
            d->setClipRect(cell);
            menuCell(*d, cell, text(row), col == 1);
        }
    return d;
}
CDIB* abMenu() { return menuGrid(28, 19, 8, [](int row) { return std::string(1, char('A' + row)); }); }
CDIB* copyToMenu() { return menuGrid(42, 19, 1, [](int) { return std::string("COPY"); }); }
CDIB* groupMenu() { return menuGrid(34, 19, 1, [](int) { return std::string(); }); }

CDIB* trayArrows() {
    return frames(14, 40, 2, [](CDIB& d, const CRect& r, int i) {
        CRect b = r;
        b.inset(0, 2);
        raisedPanel(d, b, 3.f);
        triangle(d, float(r.left) + 7.f, float(r.top) + 20.f, 7.f, i == 0 ? 1 : 3, palette::kTextMid);
    });
}

CDIB* bandButtons() {
    CDIB* d = newAlpha(20 * 32, 16 * 4);
    for (int band = 0; band < 32; ++band)
        for (int row = 0; row < 4; ++row) {
            const CRect cell(band * 20, row * 16, band * 20 + 20, row * 16 + 16);
            CDIB::StateSaver save(*d);
            d->setClipRect(cell);
            const bool on = row % 2 == 0;
            // With the partner on, the lit colour turns amber.
            toggleFace(*d, cell, std::to_string(band + 1), on, row < 2 ? palette::kAccent : palette::kOrange, 9.f);
            if (row == 3) d->fillRect(CRect(cell.left + 4, cell.bottom - 3, cell.right - 4, cell.bottom - 2), palette::kOrange);
        }
    return d;
}

}  // namespace

void addButtons(std::vector<SkinEntry>& out) {
    const SkinEntry entries[] = {
        {skin::kPresetPageButton, presetPage}, {skin::kUndoButton, undo},
        {skin::kRedoButton, redo},             {skin::kABMenu, abMenu},
        {skin::kCopyToMenu, copyToMenu},       {skin::kGroupMenu, groupMenu},
        {skin::kSetupButton, setupButton},     {skin::kAnalyserButton, analyser},
        {skin::kBypassButton, bypass},         {skin::kClipLight, clipLight},
        {skin::kPresetPrev, presetPrev},       {skin::kPresetNext, presetNext},
        {skin::kScaleTrayArrows, trayArrows},  {skin::kPresetEQ, presetEQ},
        {skin::kPresetDSP, presetDSP},         {skin::kPresetUI, presetUI},
        {skin::kPresetBankToggle, presetBankToggle}, {skin::kLoadButton, loadButton},
        {skin::kSaveButton, saveButton},       {skin::kMuteButton, mute},
        {skin::kLinkButton, link},             {skin::kPhaseButton, phase},
        {skin::kMeterPointButton, meterPoint}, {skin::kSoloButton, solo},
        {skin::kBandButtons, bandButtons},
    };
    out.insert(out.end(), std::begin(entries), std::end(entries));
}

}  // namespace hm::skingen
