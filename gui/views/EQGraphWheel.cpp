// EQGraph: the wheel. Over a band it steps one of the band's parameters (one
// edit stays open across steps, so the host sees one gesture); elsewhere it
// zooms toward the pointer or pans the visible range.
#include <cmath>

#include "core/Plug.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/EQGraph.h"

namespace hm::gui {

using namespace graph;

bool EQGraph::onWheel(const CPoint& where, const float& distance, const int& buttons) {
    if (!std::isfinite(distance) || distance == 0.f) return false;
    if (curvesStale_) updateCurves();
    const CPoint p(where.x - size.left, where.y - size.top);
    int target = -1;
    if (dragBand_ >= 0 && handles_[static_cast<std::size_t>(dragBand_)].valid) target = dragBand_;
    for (int b = 0; b < kBandCount && target < 0; ++b)
        if (isBandSelected(b) && handles_[static_cast<std::size_t>(b)].valid) target = b;
    if (target < 0) target = bandAt(p);

    if (target < 0) {
        if (flags2(5, 1)) return false;  // "Mousewheel Zoom": Disabled
        if (buttons & kControl) panView(view_, 1.0 + 0.1 * distance);
        else zoomView(view_, distance, p.x);
        viewChanged();
        return true;
    }

    if (Plug* pl = plug()) pl->armAutoListen((buttons & altGesture_) != 0);
    const int type = bands_.bands[target].type;
    const bool pass = type == 2 || type == 5;
    WheelParameter parameter = pass && !flags1(27, 1) ? WheelParameter::kSlope : WheelParameter::kQ;
    if (buttons & kControl) parameter = flags2(10, 1) ? WheelParameter::kGain : WheelParameter::kFrequency;
    static constexpr int kField[] = {kBandQ, kBandSlope, kBandGain, kBandFrequency};
    const int tag = bandParam(target, kField[static_cast<int>(parameter)]);
    if (tag != wheelTag_) {
        endWheelEdit();
        beginTagEdit(tag);
        wheelTag_ = tag;
    }
    const double step =
        graph::wheelStep(view_, parameter, distance, getWheelInc(), isFine(buttons), flags1(12, 1) != 0);
    sendTagValue(tag, static_cast<float>(normalisedOf(tag) + step));
    wheelIdlePasses_ = 0;
    wantIdle();
    showPanelFor(target);
    recompute();
    return true;
}

bool EQGraph::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance, const int& buttons) {
    if (axis == kMouseWheelAxisY) return onWheel(where, distance, buttons);
    if (!std::isfinite(distance) || distance == 0.f || flags2(5, 1)) return false;
    panView(view_, 1.0 - 0.1 * distance);
    viewChanged();
    return true;
}

void EQGraph::endWheelEdit() {
    if (wheelTag_ < 0) return;
    endTagEdit(wheelTag_);
    wheelTag_ = -1;
    if (Plug* pl = plug()) pl->armAutoListen(false);
}

}  // namespace hm::gui
