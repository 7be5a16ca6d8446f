// The idle pass: sliding panels, rebuilds, distribution of the values the
// instance sent since the last pass, meters and the clip light. Limited to the
// "Refresh Rate" preference; the host may call idle as often as it likes.
#include <algorithm>
#include <cmath>

#include "core/Plug.h"
#include "gui/editor/EditorPanel.h"
#include "gui/editor/PlugEd.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {
namespace {

constexpr int kPresetBoxStep = 10;
constexpr int kTrayStep = 20;

int stepToward(int pos, int target, int step) {
    if (pos < target) return pos + step > target ? target : pos + step;
    if (pos > target) return pos - step < target ? target : pos - step;
    return pos;
}

}  // namespace

void PlugEd::idlePass() { runIdle(false); }

void PlugEd::forceIdlePass() {
    if (!frame_) return;
    runIdle(true);
    frame_->updateDirty();
}

void PlugEd::runIdle(bool force) {
    if (!frame_) return;
    if (uiSize_ != appliedUiSize_) applyUiSize();
    if (!force) {
        const auto period = static_cast<std::int64_t>(static_cast<double>(clock_()) * refreshRate_ * 0.001);
        if (period == refreshTick_) return;
        refreshTick_ = period;
    }
    ++idlePasses_;
    pollChooser();
    if (!frame_) return;

    if (!wizardOpen_) slidePanels();
    if (presetTextPending_) refreshPresetMenuText();

    // The host or a load changed the program or the A/B slot.
    if (plug_->getProgram() != knownProgram_ || plug_->getCurrentABSlot() != knownAB_) selectProgram(plug_->getProgram());
    if (plug_->channelCount() != knownChannels_) {
        knownChannels_ = plug_->channelCount();
        channelsChanged_ = true;
    }

    if (plug_->initialDelay() != knownLatency_) showStatusText();

    const bool buttonHeld = (frame_->getCurrentMouseButtons() & kAnyMouseButton) != 0;
    if (rebuildPending_ && !buttonHeld) {
        rebuildPending_ = false;
        rebuildStrips();
    }
    if (channelsChanged_ && !buttonHeld) {
        channelsChanged_ = false;
        rebuildMeters();
    }

    for (int word = 0; word < static_cast<int>(std::size(dirtyParams_)); ++word) {
        std::uint32_t bits = dirtyParams_[word].exchange(0, std::memory_order_acquire);
        while (bits) {
            const int bit = __builtin_ctz(bits);
            bits &= bits - 1;
            const int index = word * 32 + bit;
            distribute(index, paramValues_[index].load(std::memory_order_relaxed));
            if (!frame_) return;
        }
    }
    if (graphDirty_ && graph_) graph_->recompute();
    graphDirty_ = false;
    // The analyser takes a new frame on every refresh tick while it is on.
    if (graph_ && plug_->sessionState().analyserState) graph_->setAnalyserOn(true);
    sendMeters();
}

void PlugEd::slidePanels() {
    const int box = stepToward(presetBoxPos_, presetBoxTarget_, kPresetBoxStep);
    const int tray = stepToward(trayPos_, trayTarget_, kTrayStep);
    if (box == presetBoxPos_ && tray == trayPos_) return;
    presetBoxPos_ = box;
    trayPos_ = tray;
    placePanels();
}

void PlugEd::placePanels() {
    // Only the two sliding panels move; setViewSize redraws their old and new areas.
    const int graphHeight = currentWindowSize().graphHeight;
    for (const LayoutRect& lr : layoutRects_)
        if (lr.tag == kGUIPresetBox || lr.tag == kGUIScaleTray)
            lr.view->setViewSize(slidingPanelRect(lr.tag, lr.original, frame_->getWidth(), graphHeight), true);
}

void PlugEd::rebuildStrips() {
    if (strips_) {
        // A state or preset load may have replaced the stored order since the
        // editor last took or wrote it: that order wins over the one shown.
        const int* stored = plug_->program(plug_->getProgram()).bandOrder;
        if (!std::equal(stored, stored + kNumBands, storedOrder_)) takeStripOrder();
        stripCount_ = strips_->rebuild(stripOrder_, stripCount_, layoutFlags_);
        for (int i = stripCount_ < 0 ? 0 : stripCount_; i < kNumBands; ++i) stripOrder_[i] = -1;
        plug_->setBandOrder(stripOrder_);
        std::copy(stripOrder_, stripOrder_ + kNumBands, storedOrder_);
        // The strips' controls are new: the lists must know them.
        afterBuildKeepValues();
    }
    for (int i = kFirstBandParam; i < kNumParams; ++i) distribute(i, paramValues_[i].load(std::memory_order_relaxed));
    for (int b = 0; b < kNumBands; ++b) showTag(kGUISelectedBand + b, (selectedBands_ >> b) & 1u ? 1.f : 0.f);
    applyControlPreferences(sliderLabelMode(plug_->editorPreferenceTree().getUIPreference("Misc", "Slider Labels")));
    if (frame_) frame_->invalidateAll();
}

void PlugEd::rebuildMeters() {
    if (meters_) {
        meters_->rebuild(knownChannels_, layoutFlags_);
        afterBuildKeepValues();
    }
    distribute(kGain, paramValues_[kGain].load(std::memory_order_relaxed));
    for (int i = kFirstChannelParam; i < kFirstBandParam; ++i) distribute(i, paramValues_[i].load(std::memory_order_relaxed));
    if (graph_) graph_->refreshGroups();
    relayout();
}

void PlugEd::afterBuildKeepValues() {
    // Collect again (new controls), then show every tag's value.
    clearLists();
    if (frame_) collectControls(frame_);
    refreshAll();
}

void PlugEd::sendMeters() {
    const int channels = knownChannels_;
    float master[2] = {0.f, 0.f};
    for (int c = 0; c < channels && c < kMaxChannels; ++c) {
        const float out = plug_->getOutputLevel(c);
        float& m = master[channels == 1 ? 0 : (c & 1)];
        if (out > m) m = out;
        showIfChanged(kGUIChannel1Meter + c, plug_->getChannelLevel(c));
    }
    if (channels == 1) master[1] = master[0];
    // Meters redraw only when their level moved.
    showIfChanged(kGUIMasterMeter1, master[0]);
    showIfChanged(kGUIMasterMeter2, master[1]);
    if (plug_->getClipFlag() && shown_[kGUIClip] == 0.f) showTag(kGUIClip, 1.f);
    if (std::isnan(shown_[kGUIClip])) shown_[kGUIClip] = 0.f;
}

void PlugEd::distribute(int index, float v) {
    if (index < 0 || index >= kEditorValueSlots || !std::isfinite(v)) return;
    const float old = shown_[index];
    shown_[index] = v;
    ++distributedCounts_[static_cast<std::size_t>(index)];
    const int band = bandOf(index), field = bandFieldOf(index);
    if (band >= 0 || index == kScale || index == kFShift) graphDirty_ = true;

    // What the controls of this index take.
    float shownValue = v;
    if (isMenuParameter(index)) shownValue = static_cast<float>(plug_->normalisedToReal(index, v));
    if (field == kBandSubtype) shownValue = static_cast<float>(plug_->normalisedToReal(index, v)) - 1.f;
    if (field == kBandGroups) shownValue = static_cast<float>(plug_->normalisedToReal(index, v));
    setTagValue(index, shownValue);

    if (band >= 0) {
        const auto real = [&](float n) { return plug_->normalisedToReal(index, n); };
        if (field == kBandState) {
            const bool wasOn = !std::isnan(old) && real(old) != 0.0;
            if (wasOn != (real(v) != 0.0)) rebuildPending_ = true;
        }
        if ((field == kBandType || field == kBandSubtype) && old != v) rebuildPending_ = true;
        // The type button's colour follows the band's frequency.
        if (field == kBandFrequency) forEachControl(bandParam(band, kBandType), [](CControl* c) { c->setDirty(true); });
        return;
    }
    switch (index) {
        case kMode:
        case kIRPhase: {
            if (index == kMode) showTag(kGUIProcessMode, static_cast<float>(plug_->normalisedToReal(kMode, v)));
            const bool freeFir = plug_->getParameterReal(kMode) == 1.0 && plug_->getParameterReal(kIRPhase) == 4.0;
            if (phaseGraph_) phaseGraph_->setFreePhase(freeFir);
            break;
        }
        case kMsState: {
            // Pair k is mid/side while bit (3 - k) is set; item 0 of the menus is "Mid/Side".
            const int ms = static_cast<int>(plug_->normalisedToReal(kMsState, v));
            for (int pair = 0; pair < 4; ++pair) showTag(kGUIUseMS1 + pair, (ms >> (3 - pair)) & 1 ? 0.f : 1.f);
            if (layoutFlags_ & kLayoutStripGroups) rebuildPending_ = true;
            break;
        }
        case kGUIGroupNamesChanged:
            rebuildPending_ = true;
            if (graph_) graph_->refreshGroups();
            relayout();
            break;
        case kGUIInstancesChanged:
            if (graph_) graph_->instancesChanged();
            break;
        case kGUIUIPrefsChange:
            // A state load brought editor settings and preferences.
            readSessionState();
            applyPreferences();
            if (frame_)
                frame_->forEachDescendant([](CView* v) {
                    if (auto* page = dynamic_cast<iEditorPreferencePage*>(v)) page->refreshFromStore();
                });
            break;
        case kGUIPrefsChange:
            readGlobalPreferences();
            break;
        default: break;
    }
}

void PlugEd::pollChooser() {
    if (panel_ && panel_->answer() != EditorPanel::Answer::Pending) {
        const bool accepted = panel_->answer() == EditorPanel::Answer::Accepted;
        const bool pathEntry = panel_->kind() == EditorPanel::Kind::PathEntry;
        const std::string path = panel_->text();
        frame_->setModalView(nullptr);
        panel_ = nullptr;
        const int tag = chooserTag_;
        if (pathEntry) chooserTag_ = -1;
        if (pathEntry && accepted && !path.empty()) fileChosen(tag, path);
        return;
    }
    if (chooserTag_ < 0 || panel_) return;
    switch (chooser_.poll()) {
        case platform::ChooserState::Chosen: {
            const int tag = chooserTag_;
            chooserTag_ = -1;
            const std::string path = chooser_.path();
            chooser_.reset();
            fileChosen(tag, path);
            break;
        }
        case platform::ChooserState::Cancelled:
            chooserTag_ = -1;
            chooser_.reset();
            break;
        case platform::ChooserState::Failed:
            chooserTag_ = -1;
            chooser_.reset();
            showNotice("The file dialog could not be shown.");
            break;
        default: break;
    }
}

}  // namespace hm::gui
