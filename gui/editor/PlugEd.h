#pragma once
// PlugEd: the equaliser's editor. The listener of every control and the only
// path between the views and the instance (Plug): value changes become
// automated parameter changes (extended to the selected bands and linked
// channel pairs), parameter values from the instance are stored and shown in
// the next idle pass, and the editor's own tags (panels, presets, A/B, undo,
// setup) are handled here. The work is split over PlugEd*.cpp by job.
//
// Threads: setParameter may come from any thread (the audio thread included)
// and only stores a value and a bit; everything else runs on the host's
// user-interface thread.
#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/params/ParamIds.h"
#include "gui/editor/EditorViews.h"
#include "gui/editor/GraphFlags.h"
#include "gui/editor/PresetLibrary.h"
#include "gui/editor/VGEditor.h"
#include "gui/editor/WindowSize.h"
#include "gui/views/ParameterText.h"
#include "platform/FileChooser.h"

namespace hm {
class Plug;
}

namespace hm::gui {

class COptionMenu;
class EditorPanel;

// Indices and tags the editor keeps a value for: parameters, GUI tags, selection tags.
constexpr int kEditorValueSlots = kGUISelectedBand + kNumBands;

// Parameters whose controls are menus: they show and report the item index.
constexpr bool isMenuParameter(int index) {
    return index == kParallel || index == kIRLength || index == kIRWindow || index == kIRPhase || index == kIRPad ||
           index == kDPlusLen;
}

class PlugEd : public VGEditor, public iParameterText {
public:
    explicit PlugEd(Plug* plug);
    ~PlugEd() override;

    // --- host side (UI thread unless said otherwise) ---
    // Any thread, lock-free: stores the value and marks it for the next idle pass.
    void setParameter(vst::VstInt32 index, float value) override;
    // The size the window has, or will have when it opens with the current preferences.
    bool getRect(vst::ERect** rect) override;
    vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) override;

    // --- operations the instance calls ---
    // The instance read its global preferences: A/B toggle mode and modifier roles.
    void readGlobalPreferences();

    // --- listener ---
    void valueChanged(CControl* control) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;
    int getTagUnderPoint(const CPoint& where) override;
    // Keys no field took: Delete and Backspace switch the selected bands off.
    bool onFrameKeyDown(const KeyCode& key) override;

    // iParameterText: what value controls show and what typing into them does
    // (note names, the "k" notation, units, dB for levels, the instance name).
    std::string parameterText(int tag, float normalised, bool noteNames) override;
    bool setParameterFromText(int tag, std::string_view text, bool noteMode) override;
    std::string textRefusal() override { return refusal_; }
    float parameterValue(int tag) override;

    // The colour of a band's type button and curve ("Band Colours" preference;
    // by frequency it follows the band's displayed frequency). UI thread.
    Rgb bandColourOf(int band) const;

    // --- state for tests and tools ---
    std::uint32_t selectedBands() const { return selectedBands_; }
    std::uint32_t explicitSelection() const { return explicitSelection_; }
    int layoutFlags() const { return layoutFlags_; }
    int uiSize() const { return uiSize_; }
    int appliedUiSize() const { return appliedUiSize_; }
    WindowSize currentWindowSize() const;
    int refreshRate() const { return refreshRate_; }
    bool panelOpen(int tag) const;
    // The value last shown for an index or tag (NaN when none).
    float shownValue(int index) const;
    // One idle pass now, as if the refresh period had come round (tests, snapshots).
    void forceIdlePass();
    int idlePasses() const { return idlePasses_; }
    // Values distributed in the idle passes so far (coalescing is visible here).
    long distributedCount(int index) const;
    const std::string& noticeText() const { return notice_; }
    // A file dialog (chooser process or path entry) waits for its answer.
    bool fileDialogOpen() const { return chooserTag_ >= 0; }
    const std::string& channelCountText() const { return channelCountText_; }
    // The setup window's status line: the channel count and the latency in force.
    const std::string& statusText() const { return statusText_; }
    const PresetList* shownPresetList() const { return shownList_.get(); }
    int presetIndex() const { return presetIndex_; }
    // The menu of presets as built last (null while the window is closed).
    COptionMenu* presetMenu() const;

    // Renders the editor of the instance's current state into memory and copies
    // the picture out: width × height 0xAARRGGBB pixels (opaque). Opens a
    // window-less editor when none is open and closes it again.
    // wizard: the setup wizard's picture instead of the equaliser's.
    bool renderSnapshot(std::vector<std::uint32_t>& pixels, int& width, int& height, bool wizard = false);

    // Tick source of the refresh limit, in milliseconds (tests may replace it).
    void setClockForTesting(std::uint64_t (*clock)()) { clock_ = clock; }

    // Every tag's current value to its controls, converted as distribution does.
    void refreshAll() override;

protected:
    bool buildFrame() override;
    void frameClosing() override;
    void idlePass() override;
    bool storedValue(int tag, float& value) const override;

private:
    // A view the relayout places, with its rectangle from the layout text.
    struct LayoutRect {
        CView* view;
        CRect original;
        int tag;
    };
    // One entry of the preset menu: a program, or a preset of a list.
    struct PresetEntry {
        COptionMenu* menu;
        int index;    // entry index in that menu
        int program;  // >= 0: a program
        std::shared_ptr<PresetList> list;
        int listIndex;
    };

    // PlugEd.cpp
    void showTag(int tag, float value);  // records and shows an editor tag's value
    void offerFirstRunSetup();            // the wizard, once, when there is no default bank
    void showIfChanged(int tag, float value);  // the same, skipped when the value is shown already
    void findViews();
    void forgetViews();
    void dropViews();
    void selectProgram(int program);
    void readSessionState();
    bool buildViews();
    int instancePosition(const std::string& name) const;

    // PlugEdIdle.cpp
    void runIdle(bool force);
    void distribute(int index, float value);
    void slidePanels();
    void rebuildStrips();
    void takeStripOrder();  // stripOrder_ from the instance's store for the current program
    void rebuildMeters();
    void afterBuildKeepValues();
    void sendMeters();
    void pollChooser();

    // PlugEdLayout.cpp
    void applyUiSize();
    void showStatusText();
    void relayout();
    void applyPreferences();
    void applyControlPreferences(int labelMode);
    void rememberLayoutRects();
    void tellHostSize();
    int meterSectionWidth() const;
    int stripsHeight() const;
    void placePanels();
    CRect slidingPanelRect(int tag, const CRect& original, int windowWidth, int graphHeight) const;

    // PlugEdBands.cpp
    void bandChanged(CControl* control, int tag, float value);
    void channelChanged(int tag, float value);
    int linkedChannelPartner(int tag) const;  // the linked pair's other parameter, or -1
    void editOthers(int tag, bool begin);
    std::uint32_t linkedBands(int band) const;  // the bands an edit of `band` carries over to
    void takeLinkSnapshot(int field);
    void bandPressed(int band);
    bool deleteSelectedBands();  // one undo step; false when nothing was selected
    void setSelection(std::uint32_t bands, std::uint32_t explicitBands);
    void selectionTag(int band, float value);
    void sendAutomated(int index, float normalised);
    bool beginGesture(int index);  // false when the gesture is open already
    void endGesture(int index);
    void endAllGestures();  // the window goes: whatever was begun is ended

    // PlugEdTags.cpp
    bool guiTagChanged(CControl* control, int tag, float value);
    void toggleSetup();
    void scaleChanged(float value, bool linked);
    void shiftChanged(float value, bool linked);
    void stereoModeChanged(int item);
    void wizardCompleted();

    // PlugEdPresets.cpp
    void rebuildPresetMenu();
    void addPresetNodes(COptionMenu* menu, const std::vector<PresetNode>& nodes);
    void rebuildPresetMenuEntryNames();
    void presetMenuChosen(COptionMenu* menu);
    void refreshPresetMenuText();
    void loadPresetEntry(const std::shared_ptr<PresetList>& list, int index);
    void stepPreset(int direction);
    void askForFile(int tag);
    void fileChosen(int tag, const std::string& path);
    void loadBankFile(const std::string& path);
    void loadPresetFile(const std::string& path);
    void loadTextFile(const std::string& path);
    void saveFile(const std::string& path, bool preset);
    void showNotice(const std::string& text);
    void showPanel(EditorPanel* panel);

    Plug* plug_;

    // Values from the instance: written from any thread, read by the idle pass.
    std::atomic<float> paramValues_[kEditorValueSlots];
    std::atomic<std::uint32_t> dirtyParams_[(kEditorValueSlots + 31) / 32];
    float shown_[kEditorValueSlots];  // last distributed (NaN: never)
    std::vector<long> distributedCounts_;

    std::uint32_t selectedBands_ = 0;
    std::uint32_t explicitSelection_ = 0;
    float frequencySnapshot_[kNumBands] = {};
    float frequencyDefaults_[kNumBands] = {};
    std::bitset<kNumParams> editing_;      // parameters inside a gesture the editor began
    std::bitset<kNumParams> hostEditing_;  // ... that the host has heard of (it changed something)
    std::bitset<kNumParams> undoSteps_;    // ... that opened an undo step
    double linkSnapshot_[kNumBands] = {};  // real values where a linked gain or phase move began
    int linkSnapshotField_ = -1;

    bool setupOpen_ = false, presetBoxOpen_ = false, scaleTrayOpen_ = false, wizardOpen_ = false;
    bool firstRunOffered_ = false;  // the wizard was shown for a missing default bank
    int presetBoxTarget_ = -29, presetBoxPos_ = -29;
    int trayTarget_ = -116, trayPos_ = -116;
    int uiSize_ = 2, appliedUiSize_ = 2;
    int layoutFlags_ = 0;
    GraphFlags graphFlags_;
    int meterFlags_ = 0;
    int refreshRate_ = 30;
    std::int64_t refreshTick_ = -1;
    bool rebuildPending_ = false, channelsChanged_ = false, graphDirty_ = false;
    bool presetTextPending_ = false;
    int knownChannels_ = 0;
    int knownProgram_ = -1;
    int knownAB_ = -1;
    std::vector<LayoutRect> layoutRects_;
    std::string channelCountText_;
    std::string statusText_;
    int knownLatency_ = 0;
    int meterBallistics_ = -1;  // the ballistics the meter section was built for
    int stripOrder_[kNumBands];
    int stripCount_ = 0;
    int storedOrder_[kNumBands];  // the instance's stored order as last taken or written
    int idlePasses_ = 0;
    std::string_view builtLayout_;  // the layout text the views came from

    std::shared_ptr<PresetTree> presetTree_;
    std::vector<PresetEntry> presetEntries_;
    std::shared_ptr<PresetList> shownList_;  // null: the program list
    int presetIndex_ = 0;

    platform::FileChooser chooser_;
    int chooserTag_ = -1;
    EditorPanel* panel_ = nullptr;  // message or path entry over the editor
    std::string notice_;
    std::string refusal_;  // why the last typed text was refused

    // Large views of the current tree (not owned).
    iEditorGraph* graph_ = nullptr;
    iEditorPhaseGraph* phaseGraph_ = nullptr;
    iEditorKeyboard* keyboard_ = nullptr;
    iEditorStrips* strips_ = nullptr;
    iEditorMeters* meters_ = nullptr;
    iEditorSetupList* setupList_ = nullptr;
    COptionMenu* presetMenu_ = nullptr;

    std::uint64_t (*clock_)() = nullptr;
    int lastSizeSent_[2] = {0, 0};
};

}  // namespace hm::gui
