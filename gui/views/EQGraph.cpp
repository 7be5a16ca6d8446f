// EQGraph: state, the editor's interface, the value traffic to the editor and
// the order in which a frame is composed.
#include "gui/views/EQGraph.h"

#include <cmath>
#include <ctime>
#include <cstring>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "core/vst/AEffEditor.h"
#include "gui/editor/BandColour.h"
#include "gui/editor/GraphFlags.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/GraphSubControls.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/ParameterText.h"
#include "prefs/EditorPreferences.h"

namespace hm::gui {

using namespace graph;

EQGraph::EQGraph(const CRect& rect, CControlListener* l, int t, int fontId, int font2Id)
    : nControl(rect, l, t), font_(fontId), font2_(font2Id) {
    // Until the editor hands over the user's preferences, the schema's defaults.
    const GraphFlags defaults = packGraphFlags(prefs::EditorPreferences::fromResources());
    flags1_ = defaults.flags1;
    flags2_ = defaults.flags2;
    altGesture_ = modifierRoles().actionModifier;
    rightGesture_ = kRButton | kApple;
    setWheelInc(4.f);
    layoutPlot();
}

EQGraph::~EQGraph() {
    if (grid_) grid_->release();
}

bool EQGraph::isTypeOf(const char* className) const {
    return std::strcmp(className, "EQGraph") == 0 || nControl::isTypeOf(className);
}

// ---------------------------------------------------------------------------
// The instance

Plug* EQGraph::plug() {
    if (!plugResolved_) resolvePlug();
    return plug_;
}

void EQGraph::resolvePlug() {
    plug_ = instanceOf(listener);
    plugResolved_ = plug_ != nullptr;
    analyser_.setSelf(plug_);
    analyser_.setSource(0, analyser_.source(0));
    analyser_.setSource(1, analyser_.source(1));
    if (plug_) {
        const double nyquist = plug_->getSampleRate() > 0.f ? plug_->getSampleRate() * 0.5 : 22050.0;
        if (nyquist != view_.fNyquist) {
            const bool full = view_.fMax >= view_.fNyquist;
            view_.fNyquist = nyquist;
            if (full) view_.fMax = nyquist;  // fMax follows Nyquist
            viewChanged();
        }
    }
}

// ---------------------------------------------------------------------------
// Geometry and buffers

void EQGraph::layoutPlot() {
    view_.width = std::max(1, getWidth());
    view_.plotHeight = std::max(1, getHeight() - (scrollbarOn() ? kScrollBarHeight : 0));
    if (grid_) grid_->release();
    grid_ = new CDIB(std::max(1, getWidth()), std::max(1, getHeight()));
    analyser_.resize(view_.width);
    columnsChanged();
    backgroundStale_ = true;
}

void EQGraph::setViewSize(const CRect& rect, bool invalidate) {
    nControl::setViewSize(rect, invalidate);
    layoutPlot();
    if (sub_) sub_->setViewSize(rect, invalidate);
    setDirty();
}

bool EQGraph::attached(CView* parent) {
    nControl::attached(parent);
    plugResolved_ = false;
    plug();
    // The sub-controls lie over the graph in the same parent.
    if (!sub_ && parent && parent->asContainer()) {
        sub_ = new GraphSubControls(size, this);
        parent->asContainer()->addView(sub_);
        refreshGroups();
    }
    return true;
}

bool EQGraph::removed(CView* parent) {
    endWheelEdit();
    if (idleRegistered_) {
        if (CFrame* f = getFrame()) f->removeIdleView(this);
        idleRegistered_ = false;
    }
    if (sub_ && parent && parent->asContainer() && parent->asContainer()->isChild(sub_))
        parent->asContainer()->removeView(sub_);
    sub_ = nullptr;
    return nControl::removed(parent);
}

void EQGraph::viewChanged() {
    applyViewRules(view_);
    if (keyboard_) keyboard_->setVisibleRange(view_.fMin, view_.fMax);
    columnsChanged();
    backgroundStale_ = true;
    setDirty();
}

void EQGraph::setVisibleRange(double fMin, double fMax) {
    view_.fMin = fMin;
    view_.fMax = fMax;
    viewChanged();
}

void EQGraph::setKeyboard(iGraphKeyboard* keyboard) {
    keyboard_ = keyboard;
    if (keyboard_) keyboard_->setVisibleRange(view_.fMin, view_.fMax);
}

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

// ---------------------------------------------------------------------------
// Value traffic to the editor

void EQGraph::sendTagValue(int tag, float normalised) {
    reportUnderTag(this, tag, std::clamp(normalised, 0.f, 1.f));
}

void EQGraph::beginTagEdit(int tag) {
    if (!listener || tag < 0) return;
    const int own = getTag();
    setTag(tag);
    listener->controlBeginEdit(this);
    setTag(own);
}

void EQGraph::endTagEdit(int tag) {
    if (!listener || tag < 0) return;
    const int own = getTag();
    setTag(tag);
    listener->controlEndEdit(this);
    setTag(own);
}

void EQGraph::sendEdit(int tag, float normalised) {
    beginTagEdit(tag);
    sendTagValue(tag, normalised);
    endTagEdit(tag);
}

void EQGraph::reportSelection(int band, bool selected) {
    if (band < 0 || band >= kBandCount) return;
    selectBand(band, selected);
    reportUnderTag(this, kGUISelectedBand + band, selected ? 1.f : 0.f);
}

float EQGraph::normalisedOf(int tag) {
    Plug* p = plug();
    if (p && isParam(tag)) return p->getParameter(tag);
    if (iParameterText* source = parameterTextSource(listener)) return source->parameterValue(tag);
    return 0.f;
}

float EQGraph::normalisedForReal(int tag, double real) {
    Plug* p = plug();
    if (!p) return 0.f;
    return static_cast<float>(std::clamp(p->realToNormalised(tag, real), 0.0, 1.0));
}

Rgb EQGraph::colourOf(int band) const {
    const BandColouring mode = flags2(4, 1) ? BandColouring::ByNumber : BandColouring::ByFrequency;
    return bandColour(mode, band, bands_.bands[band].frequency, 2.0 * view_.fNyquist);
}

void EQGraph::wantIdle() {
    if (idleRegistered_) return;
    if (CFrame* f = getFrame()) {
        f->addIdleView(this);
        idleRegistered_ = true;
    }
}

void EQGraph::showPanelFor(int band) {
    hoverBand_ = band;
    panelOpacity_ = band >= 0 ? 1.f : 0.f;
    fading_ = false;
    setDirty();
}

// ---------------------------------------------------------------------------
// Composition

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

CDIB* EQGraph::compose() {
    cost_ = {};
    plug();
    if (curvesStale_) updateCurves();
    if (backgroundStale_) {
        const double t0 = threadSeconds();
        renderBackground();
        cost_.background = threadSeconds() - t0;
    }
    CDIB* work = workBuffer();
    if (!work) return nullptr;
    CDIB::StateSaver saved(*work);
    work->setOrigin(CPoint());
    work->resetClip();
    work->copyRect(*grid_, CRect(0, 0, getWidth(), getHeight()), CPoint());

    work->setClipRect(CRect(0, 0, view_.width, view_.plotHeight));
    if (analyserOn_) {
        const double t0 = threadSeconds();
        analyserFrame();
        drawAnalyser(*work);
        cost_.analyser = threadSeconds() - t0;
    }
    const double t1 = threadSeconds();
    if (!analyserHidesEq()) {
        drawCurves(*work);
        drawHandles(*work);
    }
    drawReadouts(*work);
    if (rubber_.active) drawRubberBand(*work);
    work->resetClip();
    if (scrollbarOn()) renderScrollBar(*work, view_.plotHeight);
    work->setClipRect(CRect(0, 0, view_.width, view_.plotHeight));
    if (hoverBand_ >= 0 && isBandSelected(hoverBand_) && panelOpacity_ > 0.f && !analyserHidesEq() &&
        isShown(bands_.bands[hoverBand_], primaryView_, secondaryView_)) {
        if (flags1(23, 1)) drawCrosshairs(*work, hoverBand_);
        drawPanel(*work, hoverBand_);
    } else {
        panelBand_ = -1;
        panelAreas_.fill(CRect());
    }
    cost_.drawing = threadSeconds() - t1;
    return work;
}

void EQGraph::draw(CDrawContext* context) {
    compose();
    blitWork(context);
    setDirty(false);
}

// ---------------------------------------------------------------------------
// Idle: the panel fades out, an open wheel edit closes after a pause, and the
// analyser asks for frames.

void EQGraph::onIdle() {
    bool keep = false;
    if (fading_) {
        panelOpacity_ = std::max(0.f, panelOpacity_ - 0.12f);
        if (panelOpacity_ <= 0.f) {
            fading_ = false;
            hoverBand_ = -1;
        } else {
            keep = true;
        }
        setDirty();
    }
    if (wheelTag_ >= 0) {
        if (++wheelIdlePasses_ > 30) endWheelEdit();
        else keep = true;
    }
    if (!keep && idleRegistered_) {
        if (CFrame* f = getFrame()) f->removeIdleView(this);
        idleRegistered_ = false;
    }
}

// ---------------------------------------------------------------------------
// Registration

namespace {

CView* makeEQGraph(const ViewRequest& r) {
    const int font = r.find("font") ? r.bitmapId("font") : 101;
    const int font2 = r.find("font2") ? r.bitmapId("font2") : 102;
    return new EQGraph(r.rect, r.listener, r.tag, font ? font : 101, font2 ? font2 : 102);
}

}  // namespace

void registerEQGraph() { registerViewClass("EQGraph", makeEQGraph); }

}  // namespace hm::gui
