#pragma once
// Where everything of the band strips goes: the strip-area height for a set of
// layout flags, the labels column, and the rectangles of one strip's
// children. Plain arithmetic over the layout flags (WindowSize.h), kept apart
// from the views so the strips, the editor's window size and the tests use
// the same numbers.
//
// Strip coordinates are the strips container's, unscrolled. A strip is 66
// pixels wide (the labels column too); its controls sit in rows `rowHeight`
// apart: 22 pixels in Text mode (a value text per row), 63 in Knobs mode (a
// knob in its well with the value text under it).
#include "gui/draw/Geometry.h"

namespace hm::gui {

struct StripFlags {
    bool text = false;      // "BandStrips" is "Text" (else "Knobs")
    bool number = false;    // band number above the type button
    bool subtype = false;   // subtype menu row
    bool groups = false;    // groups menu row
    bool extra = false;     // row 3: the shift or slope control
    bool labels = false;    // labels column at the left
    bool subtypeMenu = false;  // the type button's menu offers the subtypes
    int rowHeight() const { return text ? 22 : 63; }
};

StripFlags stripFlagsFrom(int layoutFlags);

constexpr int kStripWidth = 66;
constexpr int kStripTop = 2;
// The bottom 13 pixels are the scroll bar; strip backs end one pixel above.
constexpr int kStripScrollBar = 13;
constexpr int kStripBackBottomGap = 14;
constexpr int kStripContentMargin = 20;

// Height of the strip area: 0 when the strips are hidden ("BandStrips" "Hide").
int stripAreaHeight(int layoutFlags);

// The labels column: "ON", "SUBTYPE", "GROUP", "GAIN", "FREQ", "Q" as shown.
struct StripLabel {
    const char* text;
    CRect rect;
};
// Fills `out` (room for 6) and returns how many labels there are.
int labelColumn(const StripFlags& flags, StripLabel (&out)[6]);

// Rows of a strip: 0 Gain, 1 Frequency, 2 Q, 3 the extra control.
constexpr int kStripRows = 4;

struct StripRow {
    bool built = false;
    int field = -1;   // band field (ParamIds.h) the row controls
    CRect well;       // Knobs mode: the knob's recess, drawn by the strip back
    CRect knob;       // Knobs mode only
    CRect text;       // the value text (Text mode: framed, drawn by the strip back)
};

struct StripPlacement {
    CRect back;
    CRect number;      // empty unless "Number"
    CRect typeButton;
    CRect subtypeMenu; // empty unless "Subtype"
    CRect groupMenu;   // empty unless "Groups"
    StripRow rows[kStripRows];
    CRect caption;     // row 3's caption (empty when row 3 is not built)
    bool slopeRow = false;  // row 3 controls Slope ("SLOPE"), else Shift
    int bottom = 0;    // lowest edge of anything placed
};

// One strip with its left edge at x0 in an area `areaHeight` high, for a band
// whose controls are `controlMask` (1 gain, 2 frequency, 4 Q, 8 extra, 16 slope).
StripPlacement placeStrip(const StripFlags& flags, int x0, int areaHeight, int controlMask);

// Left edge of strip number `index` (0-based).
inline int stripLeft(const StripFlags& flags, int index) { return (flags.labels ? kStripWidth : 0) + kStripWidth * index; }

}  // namespace hm::gui
