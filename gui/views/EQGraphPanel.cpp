// EQGraph: the read-outs along the top of the plot and the value panel of the
// selected band under the pointer.
//
// The panel comes in two styles ("Tooltips"):
//   Type1  a card beside the handle: a header (bypass light, band number, type,
//          close box), then one row per value the band's filter offers
//          (frequency, gain or slope, Q, the extra control), its subtype
//          (with "Tooltip for Subtype") and its group;
//   Type2  one line of fields above (or below) the handle, in the same order.
// Both hold the same nine clickable areas (PanelArea); the one under the
// pointer is outlined so it reads as a button.
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Plug.h"
#include "dsp/VerdanseEQ.h"
#include "dsp/design/SubtypeNames.h"
#include "gui/views/EQGraph.h"
#include "gui/views/nGroupMenu.h"

namespace hm::gui {

using namespace graph;

namespace {

constexpr Rgb kReadoutColour = 0xE6E6E6;
constexpr Rgb kPanelBack = 0x0C0E11;
constexpr Rgb kPanelText = 0xF0F0F0;
constexpr Rgb kPanelLabel = 0x8C96A3;
constexpr int kRowHeight = 14;
constexpr int kPadding = 6;

struct PanelField {
    int area;
    std::string label;  // Type1 only
    std::string value;
};

// The parts both panel styles share, each recording its clickable area.
struct PanelPainter {
    CDIB& d;
    const StripFont& f;
    std::array<CRect, kPanelAreas>& areas;
    Rgb colour;
    float a;
    int alpha;
    static constexpr int kLight = 9;  // bypass light diameter
    static constexpr int kClose = 9;  // close box

    int textTop(int rowTop) const { return rowTop + (kRowHeight - f.glyphRows()) / 2 + 1; }
    // Bypass light (filled while the band acts), number and type from x; returns
    // where the type text ends.
    int header(int x, int rowTop, bool active, const std::string& number, const std::string& type) {
        areas[kAreaBypass] = CRect(x - 2, rowTop, x + kLight + 2, rowTop + kRowHeight);
        const float cx = x + kLight / 2.f, cy = rowTop + kRowHeight / 2.f;
        if (active) d.fillCircle(cx, cy, kLight / 2.f, colour, a);
        else d.drawArc(cx, cy, kLight / 2.f - 0.75f, 0.f, 6.2832f, colour, a, 1.5f);
        x = f.draw(d, x + kLight + 6, textTop(rowTop), number, kPanelLabel, alpha) + 6;
        areas[kAreaType] = CRect(x - 2, rowTop, x + f.measure(type) + 2, rowTop + kRowHeight);
        return f.draw(d, x, textTop(rowTop), type, kPanelText, alpha);
    }
    // The close box (switches the band off) with its left edge at x.
    void closeBox(int x, int rowTop) {
        areas[kAreaOff] = CRect(x - 2, rowTop, x + kClose + 2, rowTop + kRowHeight);
        const float cy = rowTop + kRowHeight / 2.f;
        const float y0 = cy - kClose / 2.f + 1.f, y1 = cy + kClose / 2.f - 1.f;
        d.drawLine(x + 1.f, y0, x + kClose - 1.f, y1, kPanelLabel, a, 1.5f);
        d.drawLine(x + 1.f, y1, x + kClose - 1.f, y0, kPanelLabel, a, 1.5f);
    }
    int headerWidth(const std::string& number, const std::string& type) const {
        return kLight + 6 + f.measure(number) + 6 + f.measure(type);
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// Read-outs

void EQGraph::drawReadouts(CDIB& d) {
    const int mode = flags1(5, 2);  // Off, Analyser, Graph, Both
    if (mode == 0 || !pointerInside_ || pointer_.y >= view_.plotHeight || !font2_.valid()) return;
    const bool analyserReadout = (mode == 1 || mode == 3) && analyserOn_;
    const int W = view_.width, H = view_.plotHeight;
    const AnalyserSettings s = analyserSettingsFromFlags(flags1_, flags2_, analyserDecay_);
    char text[96];
    const double hz = frequencyOfX(view_, pointer_.x);
    if (analyserReadout)
        std::snprintf(text, sizeof text, "Cursor: %.1fHz, %0.fdB", hz, s.top - pointer_.y * s.range / H);
    else
        std::snprintf(text, sizeof text, "Cursor: %.1fHz", hz);
    font2_.draw(d, 32, 4, text, kReadoutColour);
    if (mode >= 2) {
        std::snprintf(text, sizeof text, "Graph: %.2f dB", totalDbAt(primaryView_, pointer_.x));
        font2_.draw(d, W - 110, 4, text, kReadoutColour);
    }
    if (analyserReadout) {
        std::snprintf(text, sizeof text, "Analyser: %.0fdB, %.0fdB", analyser_.heldDb(0, pointer_.x, s),
                      analyser_.heldDb(1, pointer_.x, s));
        font2_.draw(d, (W - 80) / 2, 4, text, kReadoutColour);
    }
}

// ---------------------------------------------------------------------------
// The value panel

int EQGraph::panelAreaTag(int band, int area) const {
    if (band < 0 || band >= kBandCount) return -1;
    const int mask = bands_.bands[band].controlMask;
    switch (area) {
        case kAreaBypass:
        case kAreaOff: return bandParam(band, kBandState);
        case kAreaGroup: return bandParam(band, kBandGroups);
        case kAreaType: return bandParam(band, kBandType);
        case kAreaFrequency: return bandParam(band, kBandFrequency);
        case kAreaGain: return bandParam(band, (mask & dsp::kControlSlope) ? kBandSlope : kBandGain);
        case kAreaQ: return bandParam(band, kBandQ);
        case kAreaShift: return bandParam(band, kBandShift);
        case kAreaSubtype: return bandParam(band, kBandSubtype);
        default: return -1;
    }
}

int EQGraph::panelAreaAt(const CPoint& p) const {
    if (panelBand_ < 0) return -1;
    for (int a = 0; a < kPanelAreas; ++a)
        if (!panelAreas_[static_cast<std::size_t>(a)].isEmpty() && panelAreas_[static_cast<std::size_t>(a)].pointInside(p))
            return a;
    return -1;
}

namespace {

std::string parameterText(Plug* plug, int tag) {
    if (!plug) return {};
    char text[64] = {};
    plug->formatParameterValue(tag, plug->getParameter(tag), text, 0);
    return text;
}

std::string groupText(Plug* plug, int groups) {
    if (!plug) return {};
    std::vector<std::string> names;
    for (int g = 0; g < plug->groupNameCount() && g < 8; ++g) names.push_back(plug->groupName(g));
    // As the band's strip reads it.
    const std::string text = bandGroupsText(names, groups);
    return text.empty() ? "None" : text;
}

}  // namespace

void EQGraph::drawPanel(CDIB& d, int band) {
    const int style = flags1(21, 2);  // None, Type1, Type2
    panelBand_ = band;
    panelAreas_.fill(CRect());
    if (style == 0 || !font2_.valid()) return;
    Plug* p = plug();
    const GraphBand& g = bands_.bands[band];
    const Handle& h = handles_[static_cast<std::size_t>(band)];
    const Rgb colour = g.state == 1 ? greyedColour(colourOf(band)) : colourOf(band);
    const float a = panelOpacity_;
    const int alpha = static_cast<int>(255 * a);
    const StripFont& f = font2_;

    // Fields in the order the panel shows them.
    std::vector<PanelField> fields;
    fields.push_back({kAreaFrequency, "Freq", parameterText(p, bandParam(band, kBandFrequency))});
    if (g.controlMask & dsp::kControlSlope) fields.push_back({kAreaGain, "Slope", parameterText(p, bandParam(band, kBandSlope))});
    else if (g.controlMask & dsp::kControlGain) fields.push_back({kAreaGain, "Gain", parameterText(p, bandParam(band, kBandGain))});
    if (g.controlMask & dsp::kControlQ) fields.push_back({kAreaQ, "Q", parameterText(p, bandParam(band, kBandQ))});
    if (g.controlMask & dsp::kControlShift) {
        const char* label = dsp::shiftLabelFor(g.settings.type, g.settings.subtype);
        fields.push_back({kAreaShift, label && *label ? label : "Shift", parameterText(p, bandParam(band, kBandShift))});
    }
    const char* subtype = dsp::subtypeName(g.settings.type, g.subtype);
    if (flags2(14, 1) && subtype) fields.push_back({kAreaSubtype, "Type", subtype});
    fields.push_back({kAreaGroup, "Group", groupText(p, g.groups)});

    const std::string number = std::to_string(band + 1);
    const std::string type = typeLabel(g.type);
    const int W = view_.width, H = view_.plotHeight;
    PanelPainter paint{d, f, panelAreas_, colour, a, alpha};
    constexpr int kClose = PanelPainter::kClose;
    const auto placeBox = [&](int x, int y, int w, int hgt) {
        x = std::clamp(x, 2, std::max(2, W - w - 2));
        y = std::clamp(y, 2, std::max(2, H - hgt - 2));
        panelRect_ = CRect(x, y, x + w, y + hgt);
        d.fillRoundRect(panelRect_, 5.f, kPanelBack, 0.82f * a);
        d.frameRoundRect(panelRect_, 5.f, colour, a, 1.f);
    };

    if (style == 1) {
        // Card beside the handle, on whichever side has room: header, then a
        // label column and a value column.
        int labelWidth = 0, valueWidth = 0;
        for (const PanelField& field : fields) {
            labelWidth = std::max(labelWidth, f.measure(field.label));
            valueWidth = std::max(valueWidth, f.measure(field.value));
        }
        const int w = std::max(paint.headerWidth(number, type) + 8 + kClose, labelWidth + 10 + valueWidth) + 2 * kPadding;
        const int hgt = kPadding + kRowHeight + 3 + static_cast<int>(fields.size()) * kRowHeight + kPadding - 2;
        int x = static_cast<int>(h.x) + 16;
        if (x + w > W - 2) x = static_cast<int>(h.x) - 16 - w;
        int y = static_cast<int>(h.y) + 12;
        if (y + hgt > H - 14) y = static_cast<int>(h.y) - 12 - hgt;
        placeBox(x, y, w, hgt);
        x = panelRect_.left;
        const int rowTop = panelRect_.top + kPadding;
        paint.header(x + kPadding, rowTop, g.state == 2, number, type);
        paint.closeBox(x + w - kPadding - kClose, rowTop);
        const int sepY = rowTop + kRowHeight + 1;
        d.fillRect(CRect(x + kPadding, sepY, x + w - kPadding, sepY + 1), colour, 0.5f * a);
        int ry = sepY + 2;
        for (const PanelField& field : fields) {
            f.draw(d, x + kPadding, paint.textTop(ry), field.label, kPanelLabel, alpha);
            const int vx = x + kPadding + labelWidth + 10;
            f.draw(d, vx, paint.textTop(ry), field.value, kPanelText, alpha);
            panelAreas_[static_cast<std::size_t>(field.area)] = CRect(vx - 3, ry, x + w - kPadding + 2, ry + kRowHeight);
            ry += kRowHeight;
        }
    } else {
        // One line above (or below) the handle: header, the values, the close box.
        const int gap = 10;
        int w = kPadding + paint.headerWidth(number, type);
        for (const PanelField& field : fields) w += gap + f.measure(field.value);
        w += gap + kClose + kPadding;
        const int hgt = kRowHeight + 8;
        int y = static_cast<int>(h.y) - 16 - hgt;
        if (y < 2) y = static_cast<int>(h.y) + 16;
        placeBox(static_cast<int>(h.x) - w / 2, y, w, hgt);
        const int rowTop = panelRect_.top + 4;
        int cx = paint.header(panelRect_.left + kPadding, rowTop, g.state == 2, number, type);
        for (const PanelField& field : fields) {
            cx += gap;
            d.fillRect(CRect(cx - gap / 2, rowTop + 2, cx - gap / 2 + 1, rowTop + kRowHeight - 2), kPanelLabel, 0.4f * a);
            const int fw = f.measure(field.value);
            panelAreas_[static_cast<std::size_t>(field.area)] = CRect(cx - 3, rowTop, cx + fw + 3, rowTop + kRowHeight);
            const bool quiet = field.area == kAreaGroup || field.area == kAreaSubtype;
            f.draw(d, cx, paint.textTop(rowTop), field.value, quiet ? kPanelLabel : kPanelText, alpha);
            cx += fw;
        }
        paint.closeBox(cx + gap, rowTop);
    }
    // The area under the pointer reads as a button.
    const int hot = pointerInside_ ? panelAreaAt(pointer_) : -1;
    if (hot >= 0) d.frameRoundRect(panelAreas_[static_cast<std::size_t>(hot)], 3.f, colour, 0.8f * a, 1.f);
}

}  // namespace hm::gui
