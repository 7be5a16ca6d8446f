#include "gui/editor/PlugEd.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/EditorFactory.h"
#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "gui/controls/COptionMenu.h"
#include "gui/editor/BandColour.h"
#include "gui/editor/EditorPanel.h"
#include "gui/editor/SnapshotRequest.h"
#include "gui/editor/WindowRequest.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ShippedLayout.h"
#include "gui/views/EQGraph.h"
#include "platform/HeadlessWindow.h"
#include "prefs/GlobalPreferences.h"

namespace hm {

vst::AEffEditor* createPlugEditor(Plug* plug) { return new gui::PlugEd(plug); }

}  // namespace hm

namespace hm::gui {
namespace {

std::uint64_t steadyMilliseconds() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

}  // namespace

PlugEd::PlugEd(Plug* plug) : VGEditor(plug), plug_(plug), distributedCounts_(kEditorValueSlots, 0) {
    for (auto& v : paramValues_) v.store(0.f, std::memory_order_relaxed);
    for (auto& d : dirtyParams_) d.store(0, std::memory_order_relaxed);
    for (float& s : shown_) s = std::numeric_limits<float>::quiet_NaN();
    for (int& b : stripOrder_) b = -1;
    for (int& b : storedOrder_) b = -1;
    clock_ = &steadyMilliseconds;
}

PlugEd::~PlugEd() {
    // The instance is still whole here; the window goes first.
    close();
}

// ---------------------------------------------------------------------------
// Values from the instance

void PlugEd::setParameter(vst::VstInt32 index, float value) {
    if (index < 0 || index >= kEditorValueSlots) return;
    paramValues_[index].store(value, std::memory_order_relaxed);
    // Release: the idle pass that sees the bit also sees the value.
    dirtyParams_[index >> 5].fetch_or(1u << (index & 31), std::memory_order_release);
}

bool PlugEd::storedValue(int tag, float& value) const {
    if (tag < 0 || tag >= kEditorValueSlots) return false;
    value = paramValues_[tag].load(std::memory_order_relaxed);
    return true;
}

float PlugEd::shownValue(int index) const {
    return index >= 0 && index < kEditorValueSlots ? shown_[index] : std::numeric_limits<float>::quiet_NaN();
}

long PlugEd::distributedCount(int index) const {
    return index >= 0 && index < kEditorValueSlots ? distributedCounts_[static_cast<std::size_t>(index)] : 0;
}

void PlugEd::showTag(int tag, float value) {
    if (tag >= 0 && tag < kEditorValueSlots) {
        paramValues_[tag].store(value, std::memory_order_relaxed);
        shown_[tag] = value;
    }
    setTagValue(tag, value);
}

void PlugEd::showIfChanged(int tag, float value) {
    if (tag >= 0 && tag < kEditorValueSlots && shown_[tag] == value) return;
    showTag(tag, value);
}

void PlugEd::offerFirstRunSetup() {
    // Without a default bank of the user's own the first opening starts with the wizard.
    if (firstRunOffered_) return;
    firstRunOffered_ = true;
    if (plug_->firstRunSetupWanted()) wizardOpen_ = true;
}

bool PlugEd::getRect(vst::ERect** rect) {
    if (!isOpen()) {
        offerFirstRunSetup();
        // Hosts size their window before opening the editor: the size the preferences give.
        const prefs::EditorPreferences& tree = plug_->editorPreferenceTree();
        appliedUiSize_ = uiSize_ = tree.getUIPreference("Layout", "UI Size");
        layoutFlags_ = layoutFlagsFrom(tree);
        knownChannels_ = plug_->channelCount();
        const WindowSize size = currentWindowSize();
        setWindowSize(size.width, size.height);
    }
    return VGEditor::getRect(rect);
}

bool PlugEd::panelOpen(int tag) const {
    switch (tag) {
        case kGUISetup: return setupOpen_;
        case kGUIPresetPage: return presetBoxOpen_;
        case kGUIOpenScaleTray: return scaleTrayOpen_;
        case kGUIWizardOpen: return wizardOpen_;
        default: return false;
    }
}

// ---------------------------------------------------------------------------
// Global preferences

void PlugEd::readGlobalPreferences() {
    // The toggle mode itself lives with the instance's A/B commands.
    setProToolsModifiers(prefs::getGlobalPreference("ProTools Opt/Shift") == 1);
}

// ---------------------------------------------------------------------------
// Opening and closing

WindowSize PlugEd::currentWindowSize() const {
    WindowSizeInput in;
    in.uiSize = appliedUiSize_;
    in.layoutFlags = layoutFlags_;
    in.meterSectionWidth = meterSectionWidth();
    in.stripsHeight = stripsHeight();
    in.wizardOpen = wizardOpen_;
    in.setupOpen = setupOpen_;
    return computeWindowSize(in);
}

bool PlugEd::buildFrame() {
    offerFirstRunSetup();
    // Everything the views are made from must be known before they are made.
    prefs::EditorPreferences& tree = plug_->editorPreferenceTree();
    uiSize_ = tree.getUIPreference("Layout", "UI Size");
    appliedUiSize_ = uiSize_;
    layoutFlags_ = layoutFlagsFrom(tree);
    knownChannels_ = plug_->channelCount();
    readGlobalPreferences();
    for (int i = 0; i < kNumParams; ++i) paramValues_[i].store(plug_->getParameter(i), std::memory_order_relaxed);
    const WindowSize size = currentWindowSize();
    setWindowSize(size.width, size.height);
    frame_->setSize(size.width, size.height);
    if (!buildViews()) return false;
    plug_->resetVisitedABSlots();
    selectProgram(plug_->getProgram());
    relayout();
    rebuildPresetMenu();
    applyPreferences();
    rebuildStrips();
    rebuildPending_ = false;
    refreshTick_ = -1;
    return true;
}

bool PlugEd::buildViews() {
    builtLayout_ = layoutTextFor(appliedUiSize_);
    if (!buildFromText(builtLayout_)) return false;
    findViews();
    return true;
}

void PlugEd::refreshAll() {
    // Every tag's current value, converted as distribution converts it.
    std::vector<int> seen;
    for (int i = 0; i < controlCount(); ++i) {
        const int tag = tagAt(i);
        if (tag < 0 || tag >= kEditorValueSlots) continue;
        bool done = false;
        for (int s : seen) done = done || s == tag;
        if (done) continue;
        seen.push_back(tag);
        distribute(tag, paramValues_[tag].load(std::memory_order_relaxed));
    }
}

void PlugEd::findViews() {
    graph_ = findView<iEditorGraph>();
    phaseGraph_ = findView<iEditorPhaseGraph>();
    keyboard_ = findView<iEditorKeyboard>();
    // The keyboard follows the graph's visible range.
    if (auto* graph = dynamic_cast<EQGraph*>(graph_)) graph->setKeyboard(dynamic_cast<iGraphKeyboard*>(keyboard_));
    strips_ = findView<iEditorStrips>();
    meters_ = findView<iEditorMeters>();
    setupList_ = findView<iEditorSetupList>();
    presetMenu_ = dynamic_cast<COptionMenu*>(findControl(kGUIPresetMenu));
    rememberLayoutRects();
}

void PlugEd::dropViews() {
    if (panel_ && frame_) frame_->setModalView(nullptr);
    panel_ = nullptr;
    chooser_.reset();
    chooserTag_ = -1;
    forgetViews();
    presetEntries_.clear();
    clearLists();
}

void PlugEd::forgetViews() {
    graph_ = nullptr;
    phaseGraph_ = nullptr;
    keyboard_ = nullptr;
    strips_ = nullptr;
    meters_ = nullptr;
    setupList_ = nullptr;
    presetMenu_ = nullptr;
    layoutRects_.clear();
}

COptionMenu* PlugEd::presetMenu() const { return presetMenu_; }

void PlugEd::frameClosing() {
    // A drag the window closes on never sees its release: its gestures end here.
    endAllGestures();
    // Views go with the frame; so does everything that points at them.
    dropViews();
    VGEditor::frameClosing();
    presetTree_.reset();
    shownList_.reset();
}

// ---------------------------------------------------------------------------
// Program and slot changes

void PlugEd::selectProgram(int program) {
    knownProgram_ = program;
    knownAB_ = plug_->getCurrentABSlot();
    takeStripOrder();
    if (!shownList_) presetIndex_ = program;
    for (int b = 0; b < kNumBands; ++b) frequencySnapshot_[b] = plug_->getParameter(bandParam(b, kBandFrequency));
    rebuildPending_ = true;
    presetTextPending_ = true;
    showTag(kGUIABMenu, static_cast<float>(knownAB_));
}

void PlugEd::takeStripOrder() {
    const Program& p = plug_->program(plug_->getProgram());
    stripCount_ = 0;
    for (int i = 0; i < kNumBands; ++i) {
        stripOrder_[i] = storedOrder_[i] = p.bandOrder[i];
        if (stripCount_ == i && p.bandOrder[i] >= 0 && p.bandOrder[i] < kNumBands) ++stripCount_;
    }
}

void PlugEd::readSessionState() {
    const EditorSessionState& s = plug_->sessionState();
    if (graph_) {
        graph_->setAnalyserOn(s.analyserState);
        AnalyserSources sources;
        sources.type = s.analyserType;
        sources.channel1 = s.analyserSourceChn1;
        sources.channel2 = s.analyserSourceChn2;
        sources.instance1 = instancePosition(s.analyserSourceInst1);
        sources.instance2 = instancePosition(s.analyserSourceInst2);
        graph_->setAnalyserSources(sources);
    }
    showTag(kGUIAnalyser, s.analyserState ? 1.f : 0.f);
    showTag(kGUIMeterPrePost, s.prePost ? 1.f : 0.f);
    plug_->setMeterPoint(s.prePost);
    showTag(kGUIABMenu, static_cast<float>(plug_->getCurrentABSlot()));
}

int PlugEd::instancePosition(const std::string& name) const {
    // An empty name is this instance.
    int position = 0, found = -1, self = 0;
    forEachInstance([&](Plug& p) {
        if (&p == plug_) self = position;
        if (found < 0 && !name.empty() && name == p.instanceName()) found = position;
        ++position;
    });
    return found >= 0 ? found : self;
}

Rgb PlugEd::bandColourOf(int band) const {
    if (band < 0 || band >= kNumBands) return 0;
    const int mode = plug_->editorPreferenceTree().getUIPreference("Graph", "Band Colours");
    const int freq = bandParam(band, kBandFrequency);
    return bandColour(mode == 1 ? BandColouring::ByNumber : BandColouring::ByFrequency, band,
                      plug_->normalisedToReal(freq, plug_->getParameter(freq)), plug_->getSampleRate());
}

int PlugEd::getTagUnderPoint(const CPoint& where) {
    const int tag = VGEditor::getTagUnderPoint(where);
    // The graphs know which band parameter lies under the pointer.
    if (tag == kGUIEQGraph && graph_) return graph_->tagUnderPoint(where);
    if (tag == kGUIPhaseGraph && phaseGraph_) return phaseGraph_->tagUnderPoint(where);
    return tag;
}

// ---------------------------------------------------------------------------
// Snapshots

bool PlugEd::renderSnapshot(std::vector<std::uint32_t>& pixels, int& width, int& height, bool wizard) {
    const bool wasOpen = isOpen();
    if (!wasOpen && !openHeadless()) return false;
    if (!frame_) return false;
    const bool wizardWas = wizardOpen_;
    if (wizard != wizardOpen_) {
        wizardOpen_ = wizard;
        relayout();
    }
    // Let the panels reach their places and every value show.
    for (int pass = 0; pass < 64; ++pass) {
        forceIdlePass();
        if (presetBoxPos_ == presetBoxTarget_ && trayPos_ == trayTarget_ && !rebuildPending_) break;
    }
    frame_->invalidateAll();
    frame_->updateDirty();
    const CDIB* buffer = frame_->getBackBuffer();
    width = buffer->getWidth();
    height = buffer->getHeight();
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(buffer->pixels()) +
                                                                 static_cast<std::size_t>(y) * buffer->stride());
        for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = row[x] | 0xFF000000u;
    }
    if (wizardOpen_ != wizardWas) {
        wizardOpen_ = wizardWas;
        relayout();
    }
    if (!wasOpen) close();
    return true;
}

vst::VstIntPtr PlugEd::vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float) {
    if (index != kSnapshotIndex || !ptr) return 0;
    if (value == kWindowValue) {
        void* window = frame_ && frame_->getWindow() ? frame_->getWindow()->nativeHandle() : nullptr;
        if (!window) return 0;
        *static_cast<void**>(ptr) = window;
        return 1;
    }
    if (value != kSnapshotValue) return 0;
    auto* request = static_cast<EditorSnapshotRequest*>(ptr);
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    if (!renderSnapshot(pixels, w, h, (request->flags & kSnapshotWizard) != 0)) return 0;
    request->width = w;
    request->height = h;
    if (!request->pixels || request->capacity < static_cast<std::int64_t>(pixels.size())) return 0;
    std::memcpy(request->pixels, pixels.data(), pixels.size() * sizeof(std::uint32_t));
    return 1;
}

}  // namespace hm::gui
