#include "gui/views/PhaseGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/Plug.h"
#include "core/params/ParamIds.h"
#include "gui/editor/BandColour.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/ParameterText.h"
#include "gui/views/RangeBar.h"

namespace hm::gui {

using namespace graph;

namespace {

constexpr Rgb kBackground = 0x141414;  // grey 20
constexpr Rgb kDegreeLine = 0x404040;  // (64, 64, 64)
constexpr Rgb kLabel = 0xB4B4B4;

int gridGrey(int background) {
    static constexpr int kGrey[] = {0, 48, 64, 96};  // "Background": Off, Dim, Med, Bright
    return kGrey[std::clamp(background, 0, 3)];
}

int whole(double v) { return static_cast<int>(std::lround(v)); }

// FNV-1a over the bytes of what the curves are made from.
struct Hash {
    std::uint64_t h = 1469598103934665603ull;
    template <class T>
    void add(const T& v) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T));
        for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
    }
};

}  // namespace

PhaseGraph::PhaseGraph(const CRect& rect, CControlListener* l, int t, int fontId, int font2Id)
    : nIdleControl(rect, l, t), plug_(instanceOf(l)) {
    if (fontId > 0) font_ = StripFont(fontId);
    if (font2Id > 0) font2_ = StripFont(font2Id);
    const double rate = plug_ && plug_->getSampleRate() > 0.f ? plug_->getSampleRate() : 44100.0;
    view_.fNyquist = rate * 0.5;
    view_.fMax = view_.fNyquist;
    layoutColumns();
}

PhaseGraph::~PhaseGraph() = default;

void PhaseGraph::layoutColumns() {
    view_.width = std::max(1, size.width());
    view_.plotHeight = std::max(1, size.height() - rangebar::kHeight);
    applyViewRules(view_);
    columns_.resize(static_cast<std::size_t>(view_.width));
    for (int x = 0; x < view_.width; ++x) columns_[static_cast<std::size_t>(x)] = frequencyOfX(view_, x);
    stale_ = true;
    setDirty(true);
}

double PhaseGraph::columnFrequency(int x) const {
    return x >= 0 && x < static_cast<int>(columns_.size()) ? columns_[static_cast<std::size_t>(x)] : 0.0;
}

float PhaseGraph::totalPhase(int x) const {
    return x >= 0 && x < static_cast<int>(curves_.total.size()) ? curves_.total[static_cast<std::size_t>(x)] : 0.f;
}

void PhaseGraph::setView(int view) {
    if (view == channelView_) return;
    channelView_ = view;
    stale_ = true;
    setDirty(true);
}

void PhaseGraph::setSelection(std::uint64_t bands) {
    if (bands == selected_) return;
    selected_ = bands;
    setDirty(true);
}

void PhaseGraph::setFreePhase(bool) {
    // The instance's own kMode and kIRPhase decide; this only asks for a fresh look.
    stale_ = true;
    setDirty(true);
}

std::uint64_t PhaseGraph::signature() const {
    Hash h;
    if (!plug_) return h.h;
    for (int index : {kMode, kParallel, kIRPhase, kScale, kFShift}) h.add(plug_->getParameter(index));
    for (int i = bandParam(0, 0); i < kNumParams; ++i) h.add(plug_->getParameter(i));
    h.add(plug_->getSampleRate());
    h.add(plug_->frequencyMultiplier());
    const prefs::EditorPreferences& p = plug_->editorPreferenceTree();
    for (const char* name : {"Display", "Handles", "Band Colours", "Frequency Labels", "Background"})
        h.add(p.getUIPreference("Graph", name));
    return h.h;
}

void PhaseGraph::refresh() {
    if (!plug_) return;
    const std::uint64_t now = signature();
    if (!stale_ && now == signature_) return;
    signature_ = now;
    stale_ = false;
    const double nyquist = plug_->getSampleRate() > 0.f ? plug_->getSampleRate() * 0.5 : 22050.0;
    if (nyquist != view_.fNyquist) {
        const bool whole = view_.fMax >= view_.fNyquist;
        view_.fNyquist = nyquist;
        if (whole) view_.fMax = nyquist;
        layoutColumns();
        stale_ = false;
    }
    recompute();
    setDirty(true);
}

void PhaseGraph::recompute() {
    readBands(*plug_, bands_);
    const bool fir = whole(plug_->getParameterReal(kMode)) == 1;
    const int phaseMode = whole(plug_->getParameterReal(kIRPhase));
    linear_ = fir && phaseMode == 0;
    free_ = fir && phaseMode == 4;
    if (linear_) {
        // A linear-phase FIR has none: the stored phase is zero everywhere.
        curves_.bands.clear();
        curves_.total.assign(columns_.size(), 0.f);
        return;
    }
    phase::computePhaseCurves(bands_, channelView_, free_, columns_, curves_);
}

Rgb PhaseGraph::colourOf(int band) const {
    const int mode = plug_ ? plug_->editorPreferenceTree().getUIPreference("Graph", "Band Colours") : 0;
    const double rate = plug_ && plug_->getSampleRate() > 0.f ? plug_->getSampleRate() : 44100.0;
    return bandColour(mode == 1 ? BandColouring::ByNumber : BandColouring::ByFrequency, band,
                      bands_.bands[band].frequency, rate);
}

std::vector<PhaseGraph::Handle> PhaseGraph::handles() const {
    std::vector<Handle> out;
    const float H = static_cast<float>(view_.plotHeight);
    for (int b = 0; b < kGraphBands; ++b) {
        const GraphBand& g = bands_.bands[b];
        if (g.state == 0 || !inView(g, channelView_)) continue;
        float turns = 0.f;
        if (!linear_) {
            auto it = std::find_if(curves_.bands.begin(), curves_.bands.end(),
                                   [b](const phase::BandCurve& c) { return c.band == b; });
            turns = it != curves_.bands.end() ? it->centre : phase::bandPhaseAt(bands_, b, free_, g.settings.frequency);
        }
        out.push_back({b, static_cast<float>(handleX(view_, g.frequency)), (turns + 0.5f) * H, g.state == 2});
    }
    return out;
}

int PhaseGraph::hitBand(const CPoint& local) const {
    int best = -1;
    float bestDistance = static_cast<float>(kHitDistanceSquared);
    for (const Handle& h : handles()) {
        const float dx = h.x - static_cast<float>(local.x), dy = h.y - static_cast<float>(local.y);
        const float d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = h.band;
        }
    }
    return best;
}

int PhaseGraph::tagUnderPoint(const CPoint& where) {
    const CRect r = getFrameRect();
    const int band = hitBand(CPoint(where.x - r.left, where.y - r.top));
    return band >= 0 ? bandParam(band, kBandPhase) : -1;
}

void PhaseGraph::draw(CDrawContext* context) {
    joinIdle();
    refresh();
    CDIB::StateSaver saved(*context);
    CRect clip = context->getClipRect();
    clip.bound(size);
    context->setClipRect(clip);
    const int left = size.left, top = size.top;
    context->fillRect(CRect(left, top, size.right, top + view_.plotHeight), kBackground);
    drawGrid(*context, left, top);
    drawCurves(*context, left, top);
    drawHandles(*context, left, top);
    if (drag_ == Drag::kRubber) {
        CRect r(std::min(start_.x, last_.x), std::min(start_.y, last_.y), std::max(start_.x, last_.x) + 1,
                std::max(start_.y, last_.y) + 1);
        r.offset(left, top);
        context->fillRect(r, 0xFFFFFF, 0.12f);
        context->frameRect(r, 0xFFFFFF);
    }
    const ScrollThumb t = scrollThumb(view_);
    rangebar::draw(*context, CRect(left, top + view_.plotHeight, size.right, size.bottom), t.x1, t.x2);
    setDirty(false);
}

void PhaseGraph::drawGrid(CDIB& d, int left, int top) const {
    const int W = view_.width, H = view_.plotHeight;
    const prefs::EditorPreferences* prefs = plug_ ? &plug_->editorPreferenceTree() : nullptr;
    const int background = prefs ? prefs->getUIPreference("Graph", "Background") : 2;
    const bool labels125 = prefs && prefs->getUIPreference("Graph", "Frequency Labels") == 1;
    const std::vector<GridLine> lines = frequencyGrid(view_, labels125);
    if (background != 0) {
        const int g = gridGrey(background);
        for (const GridLine& line : lines) {
            const float x = static_cast<float>(left) + static_cast<float>(std::floor(xOfFrequency(view_, line.hz))) + 0.5f;
            d.drawLine(x, static_cast<float>(top), x, static_cast<float>(top + H), makeRgb(g, g, g),
                       line.tenth ? 0.5f : 1.f, 0.5f);
        }
    }
    if (font_.valid()) {
        const std::vector<int> at = placeFrequencyLabels(view_, lines, [this](const std::string& t) { return font_.measure(t); });
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (at[i] >= 0) font_.draw(d, left + at[i], top + H - 11, lines[i].label, 0xFFFFFF);
    }
    const StripFont& labels = font2_.valid() ? font2_ : font_;
    for (int i = 0; i < kDegreeLines; ++i) {
        const int y = top + static_cast<int>(dbLineY(view_, i, kDegreeLines));
        d.fillRect(CRect(left, y, left + W, y + 1), kDegreeLine);
        if (i + 1 == kDegreeLines || !labels.valid()) continue;
        char text[16];
        std::snprintf(text, sizeof text, "%2.0fdeg", i * 60.0 - 180.0);
        labels.draw(d, left + W - 4 - labels.measure(text), top + dbLabelTop(view_, i, kDegreeLines), text, kLabel);
    }
}

void PhaseGraph::drawCurves(CDIB& d, int left, int top) const {
    const float H = static_cast<float>(view_.plotHeight);
    const float x0 = static_cast<float>(left), y0 = static_cast<float>(top);
    if (linear_) {
        d.drawLine(x0, y0 + H * 0.5f, x0 + static_cast<float>(view_.width), y0 + H * 0.5f, 0xFFFFFF, 1.f, 2.f);
        return;
    }
    const int display = plug_ ? plug_->editorPreferenceTree().getUIPreference("Graph", "Display") : 0;
    const bool showBands = display == 0 || display == 2, showTotal = display == 0 || display == 1;
    if (showBands) {
        for (const phase::BandCurve& c : curves_.bands) {
            const Rgb colour = colourOf(c.band);
            for (std::size_t x = 0; x < c.turns.size(); ++x) {
                const float y = y0 + (c.turns[x] + 0.5f) * H;
                const float cx = x0 + static_cast<float>(x);
                d.drawLine(cx - 0.5f, y, cx + 0.5f, y, colour, 0.5f, 1.f);
            }
        }
    }
    if (!showTotal) return;
    for (std::size_t x = 1; x < curves_.total.size(); ++x) {
        const float a = curves_.total[x - 1], b = curves_.total[x];
        // Where the phase wraps from one edge to the other the curve jumps.
        if (std::fabs(b - a) > 0.5f) continue;
        d.drawLine(x0 + static_cast<float>(x) - 1.f, y0 + (a + 0.5f) * H, x0 + static_cast<float>(x), y0 + (b + 0.5f) * H,
                   0xFFFFFF, 1.f, 2.f);
    }
}

void PhaseGraph::drawHandles(CDIB& d, int left, int top) const {
    if (!plug_ || plug_->editorPreferenceTree().getUIPreference("Graph", "Handles") == 0) return;
    for (const Handle& h : handles()) {
        const bool big = isSelected(h.band) || h.band == dragBand_;
        const float r = big ? 6.f : 4.f;
        const float opacity = h.active ? 1.f : 0.5f;
        const float cx = static_cast<float>(left) + h.x, cy = static_cast<float>(top) + h.y;
        d.fillCircle(cx, cy, r + 1.f, 0x000000, 0.6f * opacity);
        d.fillCircle(cx, cy, r, colourOf(h.band), opacity);
    }
}

void PhaseGraph::select(int band, bool on) {
    if (band < 0 || band >= kGraphBands || isSelected(band) == on) return;
    selected_ = on ? (selected_ | (1ull << band)) : (selected_ & ~(1ull << band));
    setDirty(true);
    reportUnderTag(this, kGUISelectedBand + band, on ? 1.f : 0.f);
}

void PhaseGraph::rubberTo(const CPoint& local) {
    last_ = local;
    const CRect r(std::min(start_.x, local.x), std::min(start_.y, local.y), std::max(start_.x, local.x) + 1,
                  std::max(start_.y, local.y) + 1);
    for (const Handle& h : handles()) {
        const bool inside = r.pointInside(CPoint(static_cast<int>(std::floor(h.x)), static_cast<int>(std::floor(h.y))));
        select(h.band, inside || ((rubberBase_ >> h.band) & 1u));
    }
    setDirty(true);
}

CMouseEventResult PhaseGraph::onMouseDown(CPoint& where, const int& buttons) {
    if (drag_ == Drag::kRubber) return kMouseEventHandled;
    if (!size.pointInside(where) || !plug_) return kMouseEventNotHandled;
    refresh();
    const CPoint local(where.x - size.left, where.y - size.top);
    if (local.y >= view_.plotHeight) {
        if (buttons & (kRButton | kApple)) {
            resetScroll(view_);
            layoutColumns();
            return kMouseEventHandled;
        }
        if (!(buttons & kLButton)) return kMouseEventNotHandled;
        barPart_ = scrollPartAt(view_, local.x);
        if (barPart_ == ScrollPart::kNone) return kMouseEventHandled;
        drag_ = Drag::kBar;
        dragScroll(view_, barPart_, local.x);
        layoutColumns();
        return kMouseEventHandled;
    }
    if (!(buttons & kLButton) && !isAction(buttons)) return kMouseEventNotHandled;
    start_ = last_ = local;
    moved_ = false;
    const int band = hitBand(local);
    if (band < 0) {
        drag_ = Drag::kRubber;
        rubberBase_ = (buttons & kShift) ? selected_ : 0;
        rubberTo(local);
        return kMouseEventHandled;
    }
    const int phaseTag = bandParam(band, kBandPhase), freqTag = bandParam(band, kBandFrequency);
    if (isReset(buttons)) {
        beginEditUnderTag(this, phaseTag);
        reportUnderTag(this, phaseTag, 0.5f);
        endEditUnderTag(this, phaseTag);
        return kMouseEventHandled;
    }
    fine_ = isFine(buttons);
    if (!fine_)
        for (int b = 0; b < kGraphBands; ++b)
            if (b != band) select(b, false);
    drag_ = Drag::kBand;
    dragBand_ = band;
    startPhase_ = plug_->getParameter(phaseTag);
    grabDx_ = handleX(view_, bands_.bands[band].frequency) - local.x;
    beginEditUnderTag(this, freqTag);
    beginEditUnderTag(this, phaseTag);
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult PhaseGraph::onMouseMoved(CPoint& where, const int& buttons) {
    if (drag_ == Drag::kNone) return kMouseEventNotHandled;
    const CPoint local(where.x - size.left, where.y - size.top);
    switch (drag_) {
        case Drag::kBar:
            dragScroll(view_, barPart_, local.x);
            layoutColumns();
            break;
        case Drag::kRubber: rubberTo(local); break;
        case Drag::kBand: {
            if (local == last_) break;
            last_ = local;
            moved_ = moved_ || !(local == start_);
            const double scale = isFine(buttons) ? 0.1 : 1.0;
            const int b = dragBand_;
            const double x = start_.x + (local.x - start_.x) * scale + grabDx_;
            const double hz = std::clamp(frequencyOfX(view_, x), view_.fMin, view_.fMax);
            const int freqTag = bandParam(b, kBandFrequency), phaseTag = bandParam(b, kBandPhase);
            reportUnderTag(this, freqTag,
                           std::clamp(static_cast<float>(plug_->realToNormalised(freqTag, hz)), 0.f, 1.f));
            const double dy = (start_.y - local.y) * scale / std::max(1, view_.plotHeight);
            reportUnderTag(this, phaseTag, std::clamp(static_cast<float>(startPhase_ + dy), 0.f, 1.f));
            stale_ = true;
            setDirty(true);
            break;
        }
        case Drag::kNone: break;
    }
    return kMouseEventHandled;
}

CMouseEventResult PhaseGraph::onMouseUp(CPoint&, const int&) {
    if (drag_ == Drag::kBand) {
        const int b = dragBand_;
        endEditUnderTag(this, bandParam(b, kBandPhase));
        endEditUnderTag(this, bandParam(b, kBandFrequency));
        if (!moved_) select(b, !isSelected(b));
        else select(b, true);
        dragBand_ = -1;
    }
    drag_ = Drag::kNone;
    setDirty(true);
    return kMouseEventHandled;
}

void PhaseGraph::onIdle() {
    if (!plug_ || !isVisibleInTree()) return;
    if (stale_ || signature() != signature_) setDirty(true);
}

void PhaseGraph::setViewSize(const CRect& rect, bool invalidate) {
    nIdleControl::setViewSize(rect, invalidate);
    layoutColumns();
}

bool PhaseGraph::isTypeOf(const char* className) const {
    return std::strcmp(className, "PhaseGraph") == 0 || nIdleControl::isTypeOf(className);
}

namespace {
CView* makePhaseGraph(const ViewRequest& r) {
    return new PhaseGraph(r.rect, r.listener, r.tag, r.integer("font"), r.integer("font2"));
}
}  // namespace

void registerPhaseGraph() { registerViewClass("PhaseGraph", makePhaseGraph); }

}  // namespace hm::gui
