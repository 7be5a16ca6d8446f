#pragma once
// Shared look of the skin: palette and the recurring elements (raised and
// sunken panels, labelled buttons, small icons), all drawn with CDIB.
#include <functional>
#include <string_view>
#include <vector>

#include "gui/draw/CDIB.h"
#include "gui/draw/Fonts.h"

namespace hm::skingen {

using gui::CDIB;
using gui::CRect;
using gui::Rgb;

namespace palette {
inline constexpr Rgb kWindow = 0x16181C;      // deepest background
inline constexpr Rgb kPanel = 0x1E2126;       // panels
inline constexpr Rgb kPanelLight = 0x272B31;  // raised surfaces, top of gradients
inline constexpr Rgb kPanelDark = 0x191B1F;   // bottom of gradients
inline constexpr Rgb kWell = 0x111316;        // sunken fields
inline constexpr Rgb kEdgeLight = 0x3A4049;   // upper/left bevel
inline constexpr Rgb kEdgeDark = 0x0B0C0E;    // lower/right bevel, outlines
inline constexpr Rgb kBorder = 0x30353D;      // hairline borders
inline constexpr Rgb kText = 0xDDE1E6;
inline constexpr Rgb kTextMid = 0xA6A6A6;
inline constexpr Rgb kTextDim = 0x6E747D;
inline constexpr Rgb kAccent = 0x3DB2E8;      // cyan-blue: selection, active state
inline constexpr Rgb kAccentDark = 0x1F6C91;
inline constexpr Rgb kRed = 0xE5484D;
inline constexpr Rgb kOrange = 0xF08C32;
inline constexpr Rgb kYellow = 0xF2C94C;
inline constexpr Rgb kGreen = 0x46C486;
}  // namespace palette

// A new transparent bitmap with alpha channel, or an opaque one cleared to colour.
CDIB* newAlpha(int w, int h);
CDIB* newOpaque(int w, int h, Rgb colour);

// Raised panel: vertical gradient, light top edge, dark outline.
void raisedPanel(CDIB& d, const CRect& r, float radius, Rgb top = palette::kPanelLight,
                 Rgb bottom = palette::kPanelDark);
// Sunken field: dark fill, inner shadow at the top, faint light lower edge.
void sunkenField(CDIB& d, const CRect& r, float radius, Rgb fill = palette::kWell);
// Vertical gradient inside a rounded rectangle (anti-aliased edges).
void roundGradient(CDIB& d, const CRect& r, float radius, Rgb top, Rgb bottom, float opacity = 1.f);

// FUTURAB text placed in r, capitals centred vertically.
void label(CDIB& d, const CRect& r, std::string_view text, float px, Rgb colour,
           gui::TextAlign align = gui::TextAlign::kCentre, float opacity = 1.f);

// A two-frame (off/on or up/down) button strip of w × h frames stacked
// vertically, each drawn by the function with the frame index.
CDIB* frames(int w, int h, int count, const std::function<void(CDIB&, const CRect&, int)>& draw);

// The standard toggle: off = raised dark with dim caption; on = lit in
// `lit` with dark or light caption.
void toggleFace(CDIB& d, const CRect& r, std::string_view caption, bool on, Rgb lit,
                float px = 10.f);
// The standard momentary button: up = raised; down = pressed, accent caption.
void kickFace(CDIB& d, const CRect& r, std::string_view caption, bool down, float px = 10.f);
// A small filled triangle pointing down (menus) or in a direction (0 up, 1 right, 2 down, 3 left).
void triangle(CDIB& d, float cx, float cy, float size, int direction, Rgb colour, float opacity = 1.f);

// Polyline of a frequency response sampled from f over [x0, x1] (for icons and art).
std::vector<float> curve(float x0, float x1, int steps, const std::function<float(float)>& f);

}  // namespace hm::skingen
