#include "gui/views/StripLayout.h"

#include <algorithm>

#include "core/params/ParamIds.h"
#include "gui/editor/WindowSize.h"

namespace hm::gui {

namespace {
// Control-mask bits of the band design.
constexpr int kMaskSlope = 16;
constexpr int kRowFields[kStripRows] = {kBandGain, kBandFrequency, kBandQ, kBandShift};
}  // namespace

StripFlags stripFlagsFrom(int f) {
    StripFlags s;
    s.text = (f & kLayoutStripsText) != 0;
    s.number = (f & kLayoutStripNumber) != 0;
    s.subtype = (f & kLayoutStripSubtype) != 0;
    s.groups = (f & kLayoutStripGroups) != 0;
    s.extra = (f & kLayoutStripExtra) != 0;
    s.labels = (f & kLayoutStripLabels) != 0;
    s.subtypeMenu = (f & kLayoutStripSubtypeMenu) != 0;
    return s;
}

int stripAreaHeight(int layoutFlags) {
    if (!(layoutFlags & kLayoutStrips)) return 0;
    const StripFlags s = stripFlagsFrom(layoutFlags);
    const int r = s.rowHeight();
    const int h = (s.number ? 61 : 41) + (s.subtype ? 22 : 0) + (s.groups ? 22 : 0);
    int height = 3 * r + h + 8;
    if (s.extra) height += r + 17;
    if (s.text) height += 10;
    return height + 2;
}

int labelColumn(const StripFlags& s, StripLabel (&out)[6]) {
    constexpr int kHeight = 22, kRight = kStripWidth;
    const int r = s.rowHeight();
    int n = 0;
    const auto add = [&](const char* text, int x, int y) { out[n++] = {text, CRect(x, y, kRight, y + kHeight)}; };
    int e = s.number ? 36 : 16;
    add("ON", 38, e);
    e += s.text ? 30 : 27;
    if (s.subtype) {
        add("SUBTYPE", 7, e);
        e += 22;
    }
    if (s.groups) {
        add("GROUP", 14, e);
        e += 22;
    }
    e += s.text ? 1 : 14;
    add("GAIN", 26, e);
    add("FREQ", 28, e + r);
    add("Q", 48, e + 2 * r);
    return n;
}

StripPlacement placeStrip(const StripFlags& s, int x0, int areaHeight, int mask) {
    StripPlacement p;
    const int r = s.rowHeight();
    p.back = CRect(x0, kStripTop, x0 + 65, areaHeight - kStripBackBottomGap);
    int y = kStripTop;
    if (s.number) {
        p.number = CRect(x0 + 3, 2, x0 + 62, 22);
        y = 22;
    }
    p.typeButton = CRect(x0 + 17, y + 3, x0 + 48, y + 35);
    p.bottom = p.typeButton.bottom;
    y += s.text ? 42 : 39;
    if (s.subtype) {
        p.subtypeMenu = CRect(x0 + 3, y, x0 + 62, y + 17);
        p.bottom = p.subtypeMenu.bottom;
        y += 22;
    }
    if (s.groups) {
        p.groupMenu = CRect(x0 + 3, y, x0 + 62, y + 17);
        p.bottom = p.groupMenu.bottom;
        y += 22;
    }
    const int rows = s.extra ? 4 : 3;
    for (int k = 0; k < rows; ++k) {
        StripRow& row = p.rows[k];
        if (k == 3 && (mask & kMaskSlope)) {
            row.field = kBandSlope;
            p.slopeRow = true;
        } else if (mask & (1 << k)) {
            row.field = kRowFields[k];
        } else {
            continue;
        }
        row.built = true;
        const int z = y + k * r;
        if (s.text) {
            row.text = CRect(x0 + 3, z, x0 + 62, z + 17);
        } else {
            row.well = CRect(x0 + 16, z, x0 + 50, z + 41);
            row.knob = CRect(x0 + 18, z + 4, x0 + 48, z + 34);
            row.text = CRect(x0 + 3, z + 39, x0 + 62, z + 56);
        }
        p.bottom = std::max(p.bottom, row.text.bottom);
    }
    if (p.rows[3].built) {
        const int cy = (s.text ? y + 7 : y) + 4 * r;
        p.caption = CRect(x0 + 3, cy - 10, x0 + 62, cy + 10);
        p.bottom = std::max(p.bottom, p.caption.bottom);
    }
    return p;
}

}  // namespace hm::gui
