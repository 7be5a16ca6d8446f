// EQGraph: the analyser behind the curves. A frame is analysed on every
// repaint while the analyser is on (the editor repaints at its refresh rate).
#include "gui/views/EQGraph.h"

namespace hm::gui {

using namespace graph;

AnalyserGeometry EQGraph::analyserGeometry() const {
    AnalyserGeometry g;
    g.columns = view_.width;
    g.height = view_.plotHeight;
    g.fMin = view_.fMin;
    g.fMax = view_.fMax;
    g.nyquist = view_.fNyquist;
    return g;
}

void EQGraph::analyserFrame() {
    analyser_.computeFrame(analyserSettingsFromFlags(flags1_, flags2_, analyserDecay_), analyserGeometry());
}

void EQGraph::drawAnalyser(CDIB& d) {
    const AnalyserSettings s = analyserSettingsFromFlags(flags1_, flags2_, analyserDecay_);
    analyser_.draw(d, analyserType_, s, analyserGeometry());
    analyser_.drawScale(d, font2_.valid() ? font2_ : font_, s, view_.plotHeight, dbLineCount(view_.rangeShown));
}

}  // namespace hm::gui
