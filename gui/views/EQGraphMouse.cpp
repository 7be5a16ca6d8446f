// EQGraph: presses, drags and releases. A press picks (in this order) the
// scroll bar, an area of the value panel, a band's handle, or empty space;
// drags move band parameters, the visible range or a rubber band.
#include <cmath>

#include "core/Plug.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/EQGraph.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

using namespace graph;

namespace {

// The keys and buttons whose change restarts a drag.
constexpr int kDragMask = kAnyMouseButton | kShift | kControl | kAlt | kApple;

}  // namespace

// ---------------------------------------------------------------------------
// Press

CMouseEventResult EQGraph::onMouseDown(CPoint& where, const int& buttons) {
    // A press while a drag or rubber band runs belongs to that gesture.
    if (drag_.active || rubber_.active || scrollDrag_ != ScrollPart::kNone) return kMouseEventHandled;
    const bool alt = (buttons & altGesture_) != 0;
    if (!alt && !(buttons & kLButton) && !(buttons & rightGesture_)) return kMouseEventNotHandled;
    endWheelEdit();
    if (curvesStale_) updateCurves();
    const CPoint p(where.x - size.left, where.y - size.top);
    pointer_ = p;

    if (scrollbarOn() && p.y >= view_.plotHeight) {
        scrollBarDown(p, buttons);
        return kMouseEventHandled;
    }
    if (panelDown(p, buttons)) return kMouseEventHandled;

    const int found = bandAt(p);
    if (found != dragBand_) {
        if (dragBand_ >= 0) reportSelection(dragBand_, false);
        if (found >= 0) reportSelection(found, true);
        dragBand_ = found;
    }
    int band = found;
    if ((buttons & kControl) || (buttons & kDoubleClick)) {
        if (band >= 0 && !(buttons & kAlt)) {
            toggleBypass(band);
            if (flags2(9, 1)) return kMouseEventHandled;  // "Sticky Selection": the press ends here
        } else if (band >= 0) {
            switchOff(band);
            return kMouseEventHandled;
        } else {
            band = createBand(p);
            if (band < 0) return kMouseEventHandled;  // every band in use
        }
    }
    if (band >= 0) {
        beginDrag(band, p, buttons);
        setCursorFrame(getFrame());
        showHide(false, true);
        return kMouseEventHandled;
    }
    if (buttons & kAlt) {
        analyser_.setFrozen(!analyser_.frozen());
        setDirty();
        return kMouseEventHandled;
    }
    rubber_ = Rubber{true, p, p, selected_, (buttons & kShift) != 0};
    setDirty();
    return kMouseEventHandled;
}

bool EQGraph::scrollBarDown(const CPoint& p, int buttons) {
    if (buttons & (kRButton | kApple)) {
        resetScroll(view_);
        viewChanged();
        return true;
    }
    scrollDrag_ = scrollPartAt(view_, p.x);
    if (scrollDrag_ == ScrollPart::kThumb) {
        const ScrollThumb t = scrollThumb(view_);
        scrollGrab_ = p.x - 0.5 * (t.x1 + t.x2);
    }
    return scrollDrag_ != ScrollPart::kNone;
}

bool EQGraph::panelDown(const CPoint& p, int buttons) {
    if (!(buttons & kLButton) || panelBand_ < 0 || panelOpacity_ <= 0.f || !isBandSelected(panelBand_)) return false;
    const int area = panelAreaAt(p);
    if (area < 0) return false;
    const int band = panelBand_;
    switch (area) {
        case kAreaBypass: toggleBypass(band); break;
        case kAreaGroup: openGroupMenu(band); break;
        case kAreaType: openTypeMenu(band); break;
        case kAreaOff: switchOff(band); break;
        case kAreaSubtype: openSubtypeMenu(band); break;
        default: openValueField(band, area); break;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Band commands

void EQGraph::toggleBypass(int band) {
    const int tag = bandParam(band, kBandState);
    const int state = bands_.bands[band].state;
    if (state == 0) return;
    // Bypassed (1) and active (2) trade places; the editor carries the change to
    // the other selected bands.
    sendEdit(tag, normalisedForReal(tag, 3 - state));
    recompute();
}

void EQGraph::switchOff(int band) {
    sendEdit(bandParam(band, kBandState), normalisedForReal(bandParam(band, kBandState), 0));
    if (hoverBand_ == band) showPanelFor(-1);
    if (dragBand_ == band) dragBand_ = -1;
    recompute();
}

int EQGraph::createBand(const CPoint& p) {
    const NewBand nb = newBandAt(view_, p.x, p.y, flags2(0, 2), flags2(6, 1) != 0);
    int band = -1;
    for (int b = 0; b < kBandCount && band < 0; ++b)
        if (bands_.bands[b].state == 0) band = b;
    if (band < 0) return -1;
    const auto tag = [band](int field) { return bandParam(band, field); };
    // Groups 0 is the group menu's "no choice": the editor gives the band the
    // group of the view in front.
    sendEdit(tag(kBandGroups), 0.f);
    sendEdit(tag(kBandType), normalisedForReal(tag(kBandType), nb.type));
    sendEdit(tag(kBandSubtype), 0.f);
    sendEdit(tag(kBandGain), normalisedForReal(tag(kBandGain), nb.gain));
    sendEdit(tag(kBandFrequency), normalisedForReal(tag(kBandFrequency), nb.frequency));
    sendEdit(tag(kBandQ), normalisedForReal(tag(kBandQ), nb.q));
    sendEdit(tag(kBandShift), parameterDefaultValue(tag(kBandShift)));
    sendEdit(tag(kBandSlope), parameterDefaultValue(tag(kBandSlope)));
    sendEdit(tag(kBandPhase), 1.f);
    reportUnderTag(this, kGUIReloadFreqDefault, static_cast<float>(band));
    sendEdit(tag(kBandState), normalisedForReal(tag(kBandState), 2));
    updateCurves();
    if (dragBand_ >= 0 && dragBand_ != band) reportSelection(dragBand_, false);
    reportSelection(band, true);
    dragBand_ = band;
    showPanelFor(band);
    return band;
}

void EQGraph::rightClickAction(int band) {
    switch (flags2(7, 2)) {  // "Right-Click": Disabled, Invert, Bypass, Band Menu
        case 1:
            if (bands_.bands[band].controlMask & dsp::kControlGain) {
                const int tag = bandParam(band, kBandGain);
                sendEdit(tag, 1.f - normalisedOf(tag));
            }
            break;
        case 2: toggleBypass(band); break;
        case 3: openBandMenu(band); return;
        default: break;
    }
    recompute();
}

// ---------------------------------------------------------------------------
// Band drags

void EQGraph::beginDrag(int band, const CPoint& p, int buttons) {
    if (Plug* pl = plug()) pl->armAutoListen((buttons & rightGesture_) != 0);
    const GraphBand& g = bands_.bands[band];
    const bool alt = (buttons & altGesture_) != 0;
    int h = kBandFrequency, v = kBandGain;
    if (alt) h = v = kBandQ;
    if ((g.type == 3 || g.type == 4) && alt) h = kBandShift;
    if (g.type == 6) v = kBandQ;
    if (g.type == 2 || g.type == 5) {
        v = alt ? kBandQ : kBandSlope;
        if (flags1(27, 1)) v = v == kBandQ ? kBandSlope : kBandQ;  // "Filter Drags": Q
    }
    Drag d;
    d.active = true;
    d.band = band;
    d.hTag = bandParam(band, h);
    d.vTag = bandParam(band, v);
    d.start = d.last = p;
    d.fine = isFine(buttons);
    d.alt = alt;
    d.buttons = buttons & kDragMask;
    const Handle& handle = handles_[static_cast<std::size_t>(band)];
    d.grabDx = handle.x - p.x;
    d.grabDb = dbOfY(view_, p.y) - g.gain;
    d.startH = normalisedOf(d.hTag);
    d.startV = normalisedOf(d.vTag);
    drag_ = d;
    beginTagEdit(drag_.hTag);
    if (drag_.vTag != drag_.hTag) beginTagEdit(drag_.vTag);
    dragBand_ = band;
}

void EQGraph::dragTo(const CPoint& p) {
    Drag& d = drag_;
    if (p == d.last) return;
    d.last = p;
    d.moved = d.moved || p != d.start;
    const double scale = d.fine ? 0.1 : 1.0;
    const double ax = d.start.x + (p.x - d.start.x) * scale;
    const double ay = d.start.y + (p.y - d.start.y) * scale;
    const double W = view_.width, H = view_.plotHeight;
    const bool invertedQ = flags1(12, 1) != 0;

    // Horizontal: the frequency follows the pointer; anything else moves by half its range per width.
    double hValue;
    if (ax == d.start.x) {
        // No horizontal move: the value stays exactly as it was, not as the
        // pointer's pixel reads back.
        hValue = d.startH;
    } else if (bandFieldOf(d.hTag) == kBandFrequency) {
        const double hz = std::clamp(frequencyOfX(view_, ax + d.grabDx), view_.fMin, view_.fMax);
        hValue = normalisedForReal(d.hTag, hz);
    } else {
        hValue = d.startH + (ax - d.start.x) / W * 0.5;
    }
    // Vertical: the gain follows the pointer; Q moves by half its range per height
    // (upward raises it, unless "Inverted Q"); anything else by its range per height.
    const double dy = (ay - d.start.y) / H;
    double vValue;
    switch (ay == d.start.y ? -1 : bandFieldOf(d.vTag)) {
        case -1: vValue = d.startV; break;
        case kBandGain: vValue = normalisedForReal(d.vTag, dbOfY(view_, ay) - d.grabDb); break;
        case kBandQ: vValue = d.startV + (invertedQ ? dy : -dy) * 0.5; break;
        default: vValue = d.startV - dy; break;
    }
    if (d.hTag == d.vTag) {
        // Both directions move the same parameter.
        sendTagValue(d.hTag, static_cast<float>(hValue + (vValue - d.startV)));
    } else {
        sendTagValue(d.hTag, static_cast<float>(hValue));
        sendTagValue(d.vTag, static_cast<float>(vValue));
    }
    recompute();
}

void EQGraph::endDrag(bool restart) {
    if (!drag_.active) return;
    endTagEdit(drag_.hTag);
    if (drag_.vTag != drag_.hTag) endTagEdit(drag_.vTag);
    if (!restart) drag_.active = false;
}

// ---------------------------------------------------------------------------
// Moves and release

CMouseEventResult EQGraph::onMouseMoved(CPoint& where, const int& buttons) {
    const CPoint p(where.x - size.left, where.y - size.top);
    pointer_ = p;
    pointerInside_ = size.pointInside(where);
    if (scrollDrag_ != ScrollPart::kNone) {
        dragScroll(view_, scrollDrag_, scrollDrag_ == ScrollPart::kThumb ? p.x - scrollGrab_ : p.x);
        viewChanged();
        return kMouseEventHandled;
    }
    if (drag_.active) {
        if ((buttons & kDragMask) != drag_.buttons && (buttons & kAnyMouseButton)) {
            // Other buttons or keys: the drag ends and starts again from here.
            const int band = drag_.band;
            const bool moved = drag_.moved;
            endDrag(false);
            if (curvesStale_) updateCurves();
            beginDrag(band, p, buttons);
            drag_.moved = moved;
        }
        dragTo(p);
        return kMouseEventHandled;
    }
    if (rubber_.active) {
        rubberTo(p);
        return kMouseEventHandled;
    }
    updateHover(p);
    return kMouseEventHandled;
}

CMouseEventResult EQGraph::onMouseUp(CPoint& where, const int& buttons) {
    (void)buttons;
    const CPoint p(where.x - size.left, where.y - size.top);
    if (scrollDrag_ != ScrollPart::kNone) {
        scrollDrag_ = ScrollPart::kNone;
        return kMouseEventHandled;
    }
    if (rubber_.active) {
        rubberTo(p);
        rubber_.active = false;
        setDirty();
        return kMouseEventHandled;
    }
    if (!drag_.active) return kMouseEventHandled;
    const Drag d = drag_;
    endDrag(false);
    if (Plug* pl = plug()) pl->armAutoListen(false);
    if (curvesStale_) updateCurves();
    if (!d.moved) {
        const bool command = (d.buttons & kControl) != 0;
        if ((d.buttons & rightGesture_) && !command) {
            rightClickAction(d.band);
        } else if (!d.fine) {
            // A plain click keeps only this band selected.
            for (int b = 0; b < kBandCount; ++b)
                if (b != d.band && isBandSelected(b)) reportSelection(b, false);
        }
    }
    // The pointer comes back on the handle, wherever the drag took it.
    const Handle& h = handles_[static_cast<std::size_t>(d.band)];
    moveSavedPosition(static_cast<float>(h.x + 0.5 - (d.start.x + d.grabDx)), static_cast<float>(h.y - d.start.y));
    showHide(true, true);
    showPanelFor(d.band);
    return kMouseEventHandled;
}

void EQGraph::rubberTo(const CPoint& p) {
    rubber_.end = p;
    const int l = std::min(rubber_.start.x, p.x), r = std::max(rubber_.start.x, p.x);
    const int t = std::min(rubber_.start.y, p.y), b = std::max(rubber_.start.y, p.y);
    std::uint64_t wanted = rubber_.add ? rubber_.before : 0;
    for (int band = 0; band < kBandCount; ++band) {
        const Handle& h = handles_[static_cast<std::size_t>(band)];
        if (h.valid && h.x >= l && h.x <= r && h.y >= t && h.y <= b) wanted |= 1ull << band;
    }
    for (int band = 0; band < kBandCount; ++band) {
        const bool want = (wanted >> band) & 1u;
        if (want != isBandSelected(band)) reportSelection(band, want);
    }
    setDirty();
}

void EQGraph::updateHover(const CPoint& p) {
    const int band = bandAt(p);
    const bool overPanel = panelBand_ >= 0 && panelOpacity_ > 0.f && panelRect_.pointInside(p);
    if (band >= 0 && (band != hoverBand_ || fading_)) {
        showPanelFor(band);
    } else if (band < 0 && !overPanel && hoverBand_ >= 0 && !fading_) {
        fading_ = true;
        wantIdle();
    } else if (overPanel && fading_) {
        showPanelFor(hoverBand_);
    }
    // Read-outs follow the pointer; the panel outlines the area under it.
    if (flags1(5, 2) != 0 || overPanel) setDirty();
}

void EQGraph::onMouseExited(CPoint& where, const int& buttons) {
    (void)where;
    (void)buttons;
    pointerInside_ = false;
    endWheelEdit();
    if (hoverBand_ >= 0 && !drag_.active) {
        fading_ = true;
        wantIdle();
    }
    setDirty();
}

}  // namespace hm::gui
