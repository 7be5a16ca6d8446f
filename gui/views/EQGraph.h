#pragma once
// EQGraph: the frequency response of the bands on a logarithmic frequency
// axis, one handle per shown band, a value panel for the band under the
// pointer, a grid with labels, optional read-outs and scroll bar, and the
// analyser behind the curves.
//
// Pictures are layered by how often they change: the grid buffer (gradient,
// grid lines, labels) only when the range, size or preferences change; the
// curves only when a band parameter changed (the editor calls recompute());
// the composition, when anything on it changed. With nothing changed the
// graph is not dirty and costs nothing.
//
// Every edit the mouse or wheel makes goes to the listener (the editor) as a
// value change under the band's parameter tag inside begin/end edit, so host
// automation, undo and the linked editing of selected bands apply. The graph
// never writes the instance itself; it reads band values, texts and analyser
// rings from it.
//
// The work is split by job: EQGraph.cpp (state, value traffic, drawing
// order), EQGraphSettings.cpp (what the editor sets and asks), EQGraphBackground.cpp, EQGraphCurves.cpp, EQGraphHandles.cpp,
// EQGraphPanel.cpp (read-outs and the value panel), EQGraphMouse.cpp,
// EQGraphWheel.cpp, EQGraphMenus.cpp (the sub-controls) and
// EQGraphAnalyser.cpp. UI thread only, all of it.
#include <array>
#include <cstdint>
#include <vector>

#include "gui/draw/Fonts.h"
#include "gui/editor/EditorViews.h"
#include "gui/framework/nControl.h"
#include "gui/framework/nControlMouse.h"
#include "gui/views/BandResponses.h"
#include "gui/views/GraphAnalyser.h"
#include "gui/views/GraphBands.h"
#include "gui/views/GraphGeometry.h"

namespace hm {
class Plug;
}

namespace hm::gui {

class COptionMenu;
class GraphSubControls;

// The keyboard under the graph follows the visible range.
class iGraphKeyboard {
public:
    virtual ~iGraphKeyboard() = default;
    virtual void setVisibleRange(double fMin, double fMax) = 0;
};

// The value panel's clickable areas.
enum PanelArea : int {
    kAreaBypass = 0,
    kAreaGroup,
    kAreaType,
    kAreaOff,
    kAreaFrequency,
    kAreaGain,  // Slope for the pass types
    kAreaQ,
    kAreaShift,
    kAreaSubtype,
    kPanelAreas
};

class EQGraph : public nControl, public nControlMouse, public CControlListener, public iEditorGraph {
public:
    static constexpr int kBandCount = graph::kGraphBands;
    static constexpr int kHitRadius = 10;  // pixels around a handle that grab it

    // fontId / font2Id: the strip fonts of the labels and of the value panel.
    EQGraph(const CRect& size, CControlListener* listener, int tag, int fontId = 101, int font2Id = 102);

    // --- the editor's interface (iEditorGraph) ---
    void setPrimaryView(int view) override;
    void setSecondaryView(int view) override;
    int primaryView() const override { return primaryView_; }
    int secondaryView() const override { return secondaryView_; }
    void setSelection(std::uint64_t bands) override;
    void setAnalyserOn(bool on) override;
    void setAnalyserDecay(double decay) override;
    void setRange(int rangeIndex) override;
    void setGraphFlags(std::uint32_t flags1, std::uint32_t flags2) override;
    void setMetersBeside(bool beside) override { metersBeside_ = beside; }
    void setAnalyserSources(const AnalyserSources& sources) override;
    AnalyserSources analyserSources() const override;
    void recompute() override;
    void refreshGroups() override;
    void instancesChanged() override;
    int tagUnderPoint(const CPoint& where) override;

    // --- more of the graph's own operations ---
    void setKeyboard(iGraphKeyboard* keyboard);
    bool analyserOn() const { return analyserOn_; }
    void setAnalyserType(int type);
    int analyserType() const { return analyserType_; }
    // which: 0 primary, 1 secondary; the code as the source menus give it.
    void setAnalyserSource(int which, int code);
    int analyserSource(int which) const { return analyser_.source(which); }
    bool analyserFrozen() const { return analyser_.frozen(); }
    void selectBand(int band, bool selected);
    bool isBandSelected(int band) const { return band >= 0 && band < kBandCount && ((selected_ >> band) & 1u); }
    std::uint64_t selection() const { return selected_; }
    void setDragBand(int band) { dragBand_ = band; }
    int dragBand() const { return dragBand_; }
    int hoverBand() const { return hoverBand_; }
    float panelOpacity() const { return panelOpacity_; }
    // Hit test (local coordinates): the nearest shown band whose handle lies
    // closer than √maxDistance2; −1 when none (or handles hidden or covered).
    int bandAt(const CPoint& local, int maxDistance2 = kHitRadius * kHitRadius) const;
    std::uint32_t graphFlags1() const { return flags1_; }
    std::uint32_t graphFlags2() const { return flags2_; }
    double rangeShown() const { return view_.rangeShown; }
    const graph::GraphView& view() const { return view_; }
    // Sets the visible range (the rules applied, the keyboard told).
    void setVisibleRange(double fMin, double fMax);
    // Handle centre of a band in local coordinates (after the curves are current).
    CPoint handlePosition(int band);
    // The plot's total of a view at a column (dB), after the curves are current.
    double totalDbAt(int view, int column);
    // The clickable areas of the value panel as last drawn (local coordinates; empty when absent).
    const std::array<CRect, kPanelAreas>& panelAreas() const { return panelAreas_; }
    // Brings curves and pictures up to date and composes the frame into the
    // work buffer (what draw() shows). Returns the work buffer.
    CDIB* compose();
    // Pictures to redo on the next draw (the background on preference changes).
    void invalidateBackground() { backgroundStale_ = true; setDirty(); }
    // Every band's curve is designed and evaluated again on the next draw.
    void invalidateCurves() { responses_.invalidate(); recompute(); }
    // Cost accounting of the last compose (seconds of this thread's CPU time),
    // for the benchmark.
    struct FrameCost {
        double bands = 0, totals = 0, analyser = 0, background = 0, drawing = 0;
    };
    const FrameCost& lastFrameCost() const { return cost_; }

    // --- CView / CControl ---
    void draw(CDrawContext* context) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    void onMouseExited(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const int& buttons) override;
    void onIdle() override;
    bool isTypeOf(const char* className) const override;

    // --- CControlListener (the graph's own menus) ---
    void valueChanged(CControl* control) override;

    // The value field's text was committed (EQGraphMenus.cpp).
    void valueTyped(int tag, const std::string& text);

protected:
    ~EQGraph() override;

private:
    struct Drag {
        bool active = false;
        int band = -1;
        int hTag = -1, vTag = -1;
        CPoint start, last;
        bool fine = false;
        bool moved = false;
        bool alt = false;
        int buttons = 0;
        double grabDx = 0.0;    // handle x − pointer x at the start
        double grabDb = 0.0;    // level under the pointer − band gain at the start
        float startH = 0.f, startV = 0.f;  // normalised values at the start
    };
    struct Rubber {
        bool active = false;
        CPoint start, end;
        std::uint64_t before = 0;  // selection when it started
        bool add = false;          // shift: only adds
    };
    struct Handle {
        float x = 0.f, y = 0.f;      // handle centre
        float curveY = 0.f;          // the band's own response at its centre
        bool valid = false;
    };

    // EQGraph.cpp (the editor's setters in EQGraphSettings.cpp)
    Plug* plug();
    void resolvePlug();
    int flags1(int shift, int bits) const { return static_cast<int>((flags1_ >> shift) & ((1u << bits) - 1u)); }
    int flags2(int shift, int bits) const { return static_cast<int>((flags2_ >> shift) & ((1u << bits) - 1u)); }
    bool scrollbarOn() const { return flags1(20, 1) != 0; }
    bool handlesHidden() const { return flags1(4, 1) != 0; }
    bool analyserHidesEq() const { return analyserOn_ && flags1(0, 1) != 0; }
    void layoutPlot();
    void viewChanged();
    void sendTagValue(int tag, float normalised);
    void beginTagEdit(int tag);
    void endTagEdit(int tag);
    // One value change inside its own edit.
    void sendEdit(int tag, float normalised);
    void reportSelection(int band, bool selected);
    float normalisedOf(int tag);
    float normalisedForReal(int tag, double real);
    Rgb colourOf(int band) const;
    void showPanelFor(int band);
    void wantIdle();  // onIdle runs until nothing fades or waits

    // EQGraphBackground.cpp
    void renderBackground();
    void drawGridLabels(CDIB& d);
    void renderScrollBar(CDIB& d, int top);

    // EQGraphCurves.cpp
    void updateCurves();
    void columnsChanged();
    void drawCurves(CDIB& d);

    // EQGraphHandles.cpp
    void placeHandles();
    void drawHandles(CDIB& d);
    void drawCrosshairs(CDIB& d, int band);
    void drawRubberBand(CDIB& d);

    // EQGraphPanel.cpp
    void drawReadouts(CDIB& d);
    void drawPanel(CDIB& d, int band);
    int panelAreaAt(const CPoint& local) const;
    int panelAreaTag(int band, int area) const;

    // EQGraphMouse.cpp
    bool scrollBarDown(const CPoint& p, int buttons);
    bool panelDown(const CPoint& p, int buttons);
    void toggleBypass(int band);
    void switchOff(int band);
    int createBand(const CPoint& p);
    void beginDrag(int band, const CPoint& p, int buttons);
    void dragTo(const CPoint& p);
    void endDrag(bool restart);
    void rubberTo(const CPoint& p);
    void rightClickAction(int band);
    void updateHover(const CPoint& p);

    // EQGraphWheel.cpp
    void endWheelEdit();

    // EQGraphMenus.cpp
    void openValueField(int band, int area);
    void openTypeMenu(int band);
    void openSubtypeMenu(int band);
    void openGroupMenu(int band);
    void openBandMenu(int band);  // type, subtype, bypass and delete of one band
    void bandMenuChosen(COptionMenu* chosenIn, int index);
    void menuChosen(CControl* menu);

    // EQGraphAnalyser.cpp
    void analyserFrame();
    void drawAnalyser(CDIB& d);
    graph::AnalyserGeometry analyserGeometry() const;

    Plug* plug_ = nullptr;
    bool plugResolved_ = false;
    iGraphKeyboard* keyboard_ = nullptr;

    graph::GraphView view_;
    int rangeSetting_ = 18;
    int primaryView_ = 0, secondaryView_ = 1;
    std::uint32_t flags1_ = 0, flags2_ = 0;
    bool metersBeside_ = false;  // kept for the editor; the drawing does not depend on it
    std::uint64_t selected_ = 0;
    int dragBand_ = -1;
    int hoverBand_ = -1;
    float panelOpacity_ = 0.f;
    bool fading_ = false;
    bool idleRegistered_ = false;
    Drag drag_;
    graph::ScrollPart scrollDrag_ = graph::ScrollPart::kNone;
    double scrollGrab_ = 0.0;  // pointer x − thumb centre when the thumb was grabbed
    Rubber rubber_;
    int altGesture_ = 0, rightGesture_ = 0;
    CPoint pointer_;
    bool pointerInside_ = false;

    // Wheel edit left open across steps.
    int wheelTag_ = -1;
    int wheelIdlePasses_ = 0;

    // Curves.
    graph::BandSet bands_;
    graph::BandResponses responses_;
    std::vector<float> total_[2];   // dB per column: primary and secondary view
    std::vector<float> scratchY_;   // a curve's rows
    std::vector<float> zeroY_;      // the 0 dB row, per column
    std::array<Handle, kBandCount> handles_;
    bool curvesStale_ = true;
    bool backgroundStale_ = true;

    // Pictures (the work buffer of nControl is the composition).
    CDIB* grid_ = nullptr;
    std::vector<graph::GridLine> labelLines_;  // with the grid: labels and where they go
    std::vector<int> labelLeft_;

    StripFont font_, font2_;
    std::array<CRect, kPanelAreas> panelAreas_{};
    CRect panelRect_;
    int panelBand_ = -1;

    // Sub-controls (in the parent, over the graph) and their state.
    GraphSubControls* sub_ = nullptr;
    int menuBand_ = -1;

    // Analyser.
    bool analyserOn_ = false;
    int analyserType_ = 0;
    double analyserDecay_ = 0.8;
    graph::GraphAnalyser analyser_;

    FrameCost cost_;
};

// CPU time of the calling thread in seconds (the frame's cost accounting).
double threadSeconds();

// A bypassed band's colour: each component mixed toward grey, (c + 384) ÷ 4.
Rgb greyedColour(Rgb colour);

void registerEQGraph();

}  // namespace hm::gui
