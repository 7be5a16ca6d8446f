// EQGraph: the settings the editor hands over (views, selection, range,
// preference words, analyser state and sources) and what it asks back.
#include <algorithm>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "gui/framework/Modifiers.h"
#include "gui/views/EQGraph.h"

namespace hm::gui {

using namespace graph;

// ---------------------------------------------------------------------------
// The editor's interface

void EQGraph::setPrimaryView(int view) {
    primaryView_ = view;
    recompute();
}

void EQGraph::setSecondaryView(int view) {
    secondaryView_ = view;
    recompute();
}

void EQGraph::setSelection(std::uint64_t bands) {
    selected_ = bands & 0xFFFFFFFFull;
    setDirty();
}

void EQGraph::selectBand(int band, bool selected) {
    if (band < 0 || band >= kBandCount) return;
    if (selected) selected_ |= 1ull << band;
    else selected_ &= ~(1ull << band);
    setDirty();
}

void EQGraph::setAnalyserOn(bool on) {
    analyserOn_ = on;
    setDirty();
}

void EQGraph::setAnalyserDecay(double decay) { analyserDecay_ = decay; }

void EQGraph::setAnalyserType(int type) {
    analyserType_ = std::clamp(type, 0, kAnalyserTypeCount - 1);
    setDirty();
}

void EQGraph::setAnalyserSource(int which, int code) {
    plug();
    analyser_.setSource(which, code);
    setDirty();
}

void EQGraph::setRange(int rangeIndex) {
    rangeSetting_ = rangeOfIndex(rangeIndex);
    recompute();
}

void EQGraph::setGraphFlags(std::uint32_t flags1, std::uint32_t flags2) {
    const bool scrollbarWas = scrollbarOn();
    flags1_ = flags1;
    flags2_ = flags2;
    // "Swap Alt/Right" exchanges the two gestures.
    const int alt = modifierRoles().actionModifier, right = kRButton | kApple;
    const bool swap = this->flags1(24, 1) != 0;
    altGesture_ = swap ? right : alt;
    rightGesture_ = swap ? alt : right;
    if (scrollbarWas != scrollbarOn()) layoutPlot();
    backgroundStale_ = true;
    recompute();
}

void EQGraph::setAnalyserSources(const AnalyserSources& sources) {
    plug();
    setAnalyserType(sources.type);
    const int self = plug_ ? hm::instancePosition(plug_) : -1;
    const auto code = [&](int channel, int position) {
        if (position < 0 || position == self) return channel & 0xFF;
        // Other instances count from 1 with this one skipped.
        const int k = self >= 0 && position > self ? position : position + 1;
        return (k << 8) | (channel & 0xFF);
    };
    analyser_.setSource(0, code(sources.channel1, sources.instance1));
    analyser_.setSource(1, code(sources.channel2, sources.instance2));
    setDirty();
}

AnalyserSources EQGraph::analyserSources() const {
    AnalyserSources s;
    s.type = analyserType_;
    s.channel1 = analyser_.source(0) & 0xFF;
    s.channel2 = analyser_.source(1) & 0xFF;
    const int self = plug_ ? hm::instancePosition(plug_) : 0;
    const int p1 = analyser_.sourcePosition(0), p2 = analyser_.sourcePosition(1);
    s.instance1 = p1 >= 0 ? p1 : self;
    s.instance2 = p2 >= 0 ? p2 : self;
    return s;
}

void EQGraph::recompute() {
    curvesStale_ = true;
    setDirty();
}

void EQGraph::instancesChanged() {
    analyser_.dropVanishedSources();
    setDirty();
}

int EQGraph::tagUnderPoint(const CPoint& where) {
    const CPoint frameTopLeft = getFrameTopLeftPos();
    const CPoint local(where.x - frameTopLeft.x, where.y - frameTopLeft.y);
    if (panelBand_ < 0 || panelOpacity_ <= 0.f) return -1;
    const int area = panelAreaAt(local);
    return area >= 0 ? panelAreaTag(panelBand_, area) : -1;
}

}  // namespace hm::gui
