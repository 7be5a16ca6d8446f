// The editor's geometry: window size, relayout of the views that depend on
// the window and the layout preferences, and applying the user-interface
// preferences to the views.
#include <algorithm>
#include <cstdio>

#include "core/Plug.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/editor/PlugEd.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/iControl.h"
#include "gui/framework/nControlMouse.h"
#include "gui/layout/ShippedLayout.h"
#include "gui/views/StripLayout.h"

namespace hm::gui {
namespace {

// Where a view goes when the layout preferences hide it.
CRect offWindow(const CRect& r) { return CRect::fromSize(-20000, r.top, r.width(), r.height()); }

int tagOfView(CView* v) {
    if (auto* c = dynamic_cast<CControl*>(v)) return c->getTag();
    if (auto* p = dynamic_cast<iControl*>(v)) return p->getTag();
    return -1;
}

// Fallback size while the meter section is not in the tree.
int fallbackMeterWidth(int channels, int flags) {
    int w = 0;
    if (flags & kLayoutMasterMeters) w += (flags & kLayoutMasterMetersSmall) ? 30 : 56;
    if (flags & kLayoutChannelMeters) w += 18 * channels;
    return w;
}

}  // namespace

void PlugEd::rememberLayoutRects() {
    layoutRects_.clear();
    if (!frame_) return;
    // Only views that the relayout places; they outlive the strip and meter rebuilds.
    static constexpr int kPlaced[] = {kGUIEQGraph, kGUIKeyboard, kGUIMeterFade, kGUIMeterSection, kGUIBox1,
                                      kGUIBox2,    kGUIBox3,     kGUIBox5,      kGUIPresetBox,    kGUIScaleTray,
                                      kGUISetup,   kGUISetupPage, kGUIWizardOpen};
    frame_->forEachDescendant([this](CView* v) {
        const int tag = tagOfView(v);
        bool placed = dynamic_cast<iEditorStrips*>(v) || dynamic_cast<iEditorMeters*>(v);
        for (int t : kPlaced) placed = placed || t == tag;
        if (placed) layoutRects_.push_back({v, v->getViewSize(), tag});
    });
}

int PlugEd::meterSectionWidth() const {
    if (!metersShown(layoutFlags_)) return 0;
    if (meters_) return meters_->preferredWidth(knownChannels_, layoutFlags_);
    return fallbackMeterWidth(knownChannels_, layoutFlags_);
}

int PlugEd::stripsHeight() const {
    if (!(layoutFlags_ & kLayoutStrips)) return 0;
    if (strips_) return strips_->preferredHeight(layoutFlags_);
    return stripAreaHeight(layoutFlags_);
}

void PlugEd::tellHostSize() {
    const int w = windowWidth(), h = windowHeight();
    if (w == lastSizeSent_[0] && h == lastSizeSent_[1]) return;
    lastSizeSent_[0] = w;
    lastSizeSent_[1] = h;
    if (plug_ && !headlessWindow()) plug_->callHost(vst::audioMasterSizeWindow, w, h);
}

void PlugEd::showStatusText() {
    char text[64];
    std::snprintf(text, sizeof text, "This instance has %d channel%s.", knownChannels_, knownChannels_ > 1 ? "s" : "");
    channelCountText_ = text;
    // What the processing costs in delay, as the host is told it: a choice of
    // FIR processing is never silent about it.
    knownLatency_ = plug_->initialDelay();
    char latency[64];
    if (knownLatency_ > 0) std::snprintf(latency, sizeof latency, " Latency: %d samples.", knownLatency_);
    else std::snprintf(latency, sizeof latency, " No latency.");
    statusText_ = channelCountText_ + latency;
    forEachControl(kGUIChannelCount, [this](CControl* c) {
        if (auto* label = dynamic_cast<CTextLabel*>(c)) label->setText(statusText_.c_str());
        else if (auto* edit = dynamic_cast<CTextEdit*>(c)) edit->setText(statusText_.c_str());
    });
}

void PlugEd::applyUiSize() {
    if (uiSize_ == appliedUiSize_ || !frame_) return;
    appliedUiSize_ = uiSize_;
    // A size with a layout text of its own needs its views made again.
    if (layoutTextFor(appliedUiSize_).data() != builtLayout_.data()) {
        dropViews();
        frame_->removeAll(true);
        buildViews();
        rebuildPresetMenu();
        applyPreferences();
        rebuildPending_ = true;
    }
    relayout();
}

void PlugEd::relayout() {
    if (!frame_) return;
    const WindowSize ws = currentWindowSize();
    if (ws.width != frame_->getWidth() || ws.height != frame_->getHeight()) {
        setWindowSize(ws.width, ws.height);
        frame_->setSize(ws.width, ws.height);
    }
    tellHostSize();
    const int W = ws.width, H = ws.height, flags = layoutFlags_;
    const bool besideGraph = metersBesideGraph(flags);
    const int mw = metersShown(flags) ? meterSectionWidth() : 0;
    const int gh = ws.graphHeight;
    const int graphRight = W - (besideGraph ? mw : 0);
    const int keyboard = (flags & kLayoutKeyboard) ? kKeyboardHeight : 0;
    const int stripsTop = kTitleBarHeight + gh + keyboard;
    const int stripsRight = W - (!besideGraph ? mw : 0);
    const bool oneChannel = knownChannels_ == 1;
    const CRect meterRect = besideGraph ? CRect(W - mw, kTitleBarHeight, W, kTitleBarHeight + gh + keyboard)
                                        : CRect(W - mw, stripsTop, W, H);

    for (const LayoutRect& lr : layoutRects_) {
        CView* v = lr.view;
        const CRect o = lr.original;
        CRect r = o;
        if (dynamic_cast<iEditorStrips*>(v)) {
            r = (flags & kLayoutStrips) ? CRect(0, stripsTop, stripsRight, H) : offWindow(o);
        } else if (dynamic_cast<iEditorMeters*>(v) || lr.tag == kGUIMeterSection) {
            r = mw > 0 ? meterRect : offWindow(o);
        } else {
            switch (lr.tag) {
                case kGUIEQGraph:
                    r = (flags & kLayoutGraph) ? CRect(0, kTitleBarHeight, graphRight, kTitleBarHeight + gh)
                                               : offWindow(o);
                    break;
                case kGUIKeyboard:
                    r = keyboard ? CRect::fromSize(0, kTitleBarHeight + gh, graphRight, kKeyboardHeight) : offWindow(o);
                    break;
                case kGUIMeterFade:
                    r = mw > 0 ? CRect(meterRect.left - o.width(), meterRect.top, meterRect.left, meterRect.bottom)
                               : offWindow(o);
                    break;
                case kGUIBox1:
                    r.right = W + o.left - 560 + (oneChannel ? 35 : 0);
                    break;
                case kGUIBox2:
                    r = CRect(W - o.width() + (oneChannel ? 35 : 0), o.top, W, o.bottom);
                    break;
                case kGUIBox5:
                    if (oneChannel) r.offset(-35, 0);
                    break;
                case kGUIBox3:
                    r = CRect(0, o.top, W, o.bottom);
                    break;
                case kGUIPresetBox:
                case kGUIScaleTray: r = slidingPanelRect(lr.tag, o, W, gh); break;
                case kGUISetup:
                    if (v->isTypeOf("nDarken")) r = CRect(0, 0, W, H);
                    else if (dynamic_cast<iControl*>(v) && o.width() > 200)  // the setup window itself
                        r = CRect::fromSize((W - o.width()) / 2, kTitleBarHeight, o.width(), H - kTitleBarHeight);
                    break;
                case kGUISetupPage:
                    r.setHeight(H - 82);
                    break;
                case kGUIWizardOpen:
                    if (dynamic_cast<iControl*>(v)) r = CRect(0, 0, W, H);  // both top pages fill the window
                    break;
                default: break;
            }
        }
        if (!(r == v->getViewSize())) v->setViewSize(r, true);
    }
    if (graph_) graph_->setMetersBeside(besideGraph && mw > 0);

    showStatusText();

    showTag(kGUIScaleTray, (flags & kLayoutScaleTray) ? 0.f : 1.f);
    // The RECALL buttons show which parts a preset load takes, from the start.
    for (int tag : {kGUIPresetEQ, kGUIPresetDSP, kGUIPresetUI})
        showTag(tag, (plug_->presetParts() >> (tag - kGUIPresetEQ)) & 1 ? 1.f : 0.f);
    showTag(kGUIAnalyser, plug_->sessionState().analyserState ? 1.f : 0.f);
    showTag(kGUIPresetMenu, static_cast<float>(plug_->getProgram()));
    showTag(kGUIWizardOpen, wizardOpen_ ? 1.f : 0.f);
    showTag(kGUIABMenu, static_cast<float>(plug_->getCurrentABSlot()));
    for (int b = 0; b < kNumBands; ++b) showTag(kGUISelectedBand + b, (selectedBands_ >> b) & 1u ? 1.f : 0.f);
    showTag(kGUISurround, knownChannels_ == 1 ? 0.f : (knownChannels_ == 2 ? 2.f : 1.f));
    frame_->invalidateAll();
}

CRect PlugEd::slidingPanelRect(int tag, const CRect& original, int windowWidth, int graphHeight) const {
    const int w = original.width(), h = original.height();
    // The preset box is centred and slides down from under the title bar.
    if (tag == kGUIPresetBox) return CRect::fromSize((windowWidth - w) / 2, presetBoxPos_, w, h);
    // The scale tray slides in from the left, centred in the graph above its scroll bar.
    const bool scrollbar = plug_->editorPreferenceTree().getUIPreference("Graph", "Scrollbar") != 0;
    const int area = graphHeight - (scrollbar ? 35 : 16);
    return CRect::fromSize(trayPos_, kTitleBarHeight + (area - h) / 2, w, h);
}

void PlugEd::applyPreferences() {
    const prefs::EditorPreferences& p = plug_->editorPreferenceTree();
    if (graph_) graph_->setAnalyserDecay(analyserDecay(p.getUIPreference("Analyser", "Decay")));
    const int flags = layoutFlagsFrom(p);
    uiSize_ = p.getUIPreference("Layout", "UI Size");  // applied at the next idle pass
    // The master meter's header names the ballistics: a new choice rebuilds the section.
    if (plug_->editorPreferences().ballistics != meterBallistics_) {
        meterBallistics_ = plug_->editorPreferences().ballistics;
        channelsChanged_ = true;
    }
    if (flags != layoutFlags_) {
        layoutFlags_ = flags;
        rebuildPending_ = true;
        relayout();
    }
    if (graph_) graph_->setRange(p.getUIPreference("Graph", "Range"));
    graphFlags_ = packGraphFlags(p);
    if (graph_) {
        graph_->setGraphFlags(graphFlags_.flags1, graphFlags_.flags2);
        graph_->recompute();
    }
    refreshRate_ = refreshRateOf(p.getUIPreference("Misc", "Refresh Rate"));
    const int labelMode = sliderLabelMode(p.getUIPreference("Misc", "Slider Labels"));
    applyControlPreferences(labelMode);
    meterFlags_ = packMeterFlags(p);
    if (meters_) meters_->setMeterFlags(meterFlags_, meterScaleOffsetDb(p.getUIPreference("Meters", "Scale")));
    for (int i = kFirstBandParam; i < kNumParams; ++i) distribute(i, paramValues_[i].load(std::memory_order_relaxed));
    if (frame_) frame_->invalidateAll();
}

void PlugEd::applyControlPreferences(int labelMode) {
    if (!frame_) return;
    const prefs::EditorPreferences& p = plug_->editorPreferenceTree();
    const float wheel = wheelSensitivity(p.getUIPreference("Misc", "MouseWheel Sensitivity"));
    const bool hideMouse = p.getUIPreference("Misc", "Hide Mouse") != 0;
    frame_->forEachDescendant([&](CView* v) {
        if (auto* labels = dynamic_cast<iEditorSliderLabels*>(v)) {
            labels->setLabelMode(labelMode);
            v->setDirty(true);
        }
        if (auto* c = dynamic_cast<CControl*>(v)) {
            // Sliders step in hundredths of the sensitivity, everything else by it.
            c->setWheelInc(v->isTypeOf("CSlider") ? wheel * 0.01f : wheel);
        }
        if (auto* mouse = dynamic_cast<nControlMouse*>(v)) mouse->setMouseHideEnabled(hideMouse);
    });
}

}  // namespace hm::gui
