#pragma once
// The phase response on the FIR page of the setup window: the EQ graph's
// frequency axis (with its own range bar at the bottom), seven lines in
// degrees (−180 at the top to +180 at the bottom), each active band's own
// phase in its colour, the total in white and a handle per band. With the
// "Linear" FIR phase the total is the zero line. A band's handle is dragged
// horizontally for its frequency and vertically for its Phase; a double
// click (or the reset role) returns the Phase to 0 %; a press on empty space
// starts a rubber-band selection. All edits go through the listener under the
// bands' own parameter tags.
//
// The view follows the instance on its own: in each idle pass it compares
// what the curves were made from with the instance's parameters and redraws
// when they differ.
#include <cstdint>
#include <vector>

#include "gui/draw/Fonts.h"
#include "gui/editor/EditorViews.h"
#include "gui/views/GraphBands.h"
#include "gui/views/GraphGeometry.h"
#include "gui/views/PhaseCurves.h"
#include "gui/views/nIdleControl.h"

namespace hm {
class Plug;
}

namespace hm::gui {

class PhaseGraph : public nIdleControl, public iEditorPhaseGraph {
public:
    static constexpr int kDegreeLines = 7;
    static constexpr int kHitDistanceSquared = 100;

    PhaseGraph(const CRect& size, CControlListener* listener, int tag, int fontId, int font2Id);

    // iEditorPhaseGraph (UI thread)
    void setView(int view) override;
    void setSelection(std::uint64_t bands) override;
    void setFreePhase(bool firFree) override;
    int tagUnderPoint(const CPoint& where) override;

    // What is shown (after the last refresh): the plot height, the frequency of
    // a column, the total phase of a column in turns, the view and selection.
    int plotHeight() const { return view_.plotHeight; }
    const graph::GraphView& frequencyView() const { return view_; }
    double columnFrequency(int x) const;
    float totalPhase(int x) const;
    bool linearPhase() const { return linear_; }
    int channelView() const { return channelView_; }
    bool isSelected(int band) const { return band >= 0 && band < 32 && ((selected_ >> band) & 1u); }
    // Reads the instance now and recomputes when anything the curves depend on changed.
    void refresh();

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    void onIdle() override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~PhaseGraph() override;

private:
    struct Handle {
        int band;
        float x, y;  // relative to the view
        bool active;
    };
    void layoutColumns();
    std::uint64_t signature() const;
    void recompute();
    std::vector<Handle> handles() const;
    int hitBand(const CPoint& local) const;
    void drawGrid(CDIB& d, int left, int top) const;
    void drawCurves(CDIB& d, int left, int top) const;
    void drawHandles(CDIB& d, int left, int top) const;
    void select(int band, bool on);
    void rubberTo(const CPoint& local);
    Rgb colourOf(int band) const;

    Plug* plug_;
    StripFont font_, font2_;
    graph::GraphView view_;
    graph::BandSet bands_;
    phase::PhaseCurves curves_;
    std::vector<double> columns_;
    std::uint64_t signature_ = 0;
    bool stale_ = true;
    bool linear_ = false, free_ = false;
    int channelView_ = 0;
    std::uint64_t selected_ = 0;

    enum class Drag { kNone, kBand, kBar, kRubber };
    Drag drag_ = Drag::kNone;
    int dragBand_ = -1;
    graph::ScrollPart barPart_ = graph::ScrollPart::kNone;
    CPoint start_, last_;
    float startPhase_ = 0.f;
    double grabDx_ = 0.0;
    bool moved_ = false;
    bool fine_ = false;
    std::uint64_t rubberBase_ = 0;
};

void registerPhaseGraph();

}  // namespace hm::gui
