#pragma once
// Plug: the equaliser instance. Owns the filter bank, the channel model, MIDI
// transposition, AutoListen, meter and analyser feeds and the editor, and
// joins the process-wide instance registry and timer.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/BlockProcessor.h"
#include "core/DesignGate.h"
#include "core/PlugBaseJSON.h"
#include "dsp/EQBank.h"
#include "prefs/EditorPreferences.h"
#include "platform/ProcessTimer.h"

namespace hm {

// Preference values the instance copies in from the global store.
struct InstancePreferences {
    int fftUpdateRate = 20;      // FIR rebuilds per second: 10, 20 or 40
    float clipThreshold = 1.0f;  // linear
    int autoListenGain = 0;      // "Correct", "+12dB", "0dB"
    int autoListenQ = 0;         // "Actual Q", "12"
    bool autoListenIgnoresQ = false;
    bool autoListenDisabled = false;
    bool midiDisabled = false;
    int soloMode = 0;  // "Select", "Mute"
    bool abAutomationAll = true;
    int abToggle = 1;  // "Last 2", "Visited", "Nonempty"
};

// Preference values the instance copies in from the editor preference tree.
struct EditorPreferenceValues {
    NumberFormat numberFormat = NumberFormat::Precise;
    int ballistics = 0;  // "Digital", "PPM", "VU", "BBC"
    bool showTrueQ = false;
    int bendRangeItem = 2;
};

// The editor's own state that travels in documents as `settings`; the instance
// keeps it on the editor's behalf so that it survives while no editor exists.
struct EditorSessionState {
    int lastAB = 0;
    bool analyserState = false;
    bool prePost = false;  // meters measure the input
    int analyserType = 0;
    int analyserSourceChn1 = 0;
    int analyserSourceChn2 = 1;
    std::string analyserSourceInst1;  // empty: this instance
    std::string analyserSourceInst2;
};

class Plug : public PlugBaseJSON {
public:
    explicit Plug(vst::HostCallback host);
    // 1..8 channels in and out (the effect record fixes 2; tests and tools use others).
    Plug(vst::HostCallback host, int channels);
    ~Plug() override;

    // --- VST operations ---------------------------------------------------
    void resume() override;                                         // UI thread
    void setParameter(vst::VstInt32 index, float value) override;  // any thread
    void setParameterAutomated(vst::VstInt32 index, float value) override;
    void setProgram(vst::VstInt32 program) override;  // UI thread
    bool beginEdit(vst::VstInt32 index) override;     // UI thread (editor gestures)
    bool endEdit(vst::VstInt32 index) override;
    bool setBypass(bool onOff) override;
    vst::VstInt32 processEvents(vst::VstEvents* events) override;  // audio thread
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::VstInt32 getVendorVersion() override { return 1; }
    vst::VstInt32 canDo(char* text) override;

    // --- Parameter store refinements ----------------------------------------
    double realToNormalised(int index, double real) override;
    double normalisedToReal(int index, double normalised) override;
    void formatParameterValue(int index, float normalised, char* text, int flags) override;
    bool isParameterSwitch(int index) override;
    void selectABSlot(int slot) override;
    void onTimer() override;
    void updateProcessing(bool force) override;
    void processDouble(double** inputs, double** outputs, int frames) override;
    void processFloat(float** inputs, float** outputs, int frames) override;

    // --- Operations for the editor and the processing entry ---------------------
    int getNumOutputs() const { return cEffect_.numOutputs; }
    void loadPreferences();
    void loadEditorPreferences();
    bool armAutoListen(bool on);
    bool isAuditioning() const { return auditionedBand_.load(std::memory_order_relaxed) >= 0; }
    int auditionedBand() const { return auditionedBand_.load(std::memory_order_relaxed); }
    int bandFieldOf(int index) const { return hm::bandFieldOf(index); }
    int bandOf(int index) const { return hm::bandOf(index); }
    double frequencyMultiplier() const { return midiMultiplier_.load(std::memory_order_relaxed); }
    double bendRangeOctaves() const { return bendRangeOctaves_.load(std::memory_order_relaxed); }
    std::string instanceName() const;  // any thread
    void setInstanceName(const char* name);
    const InstancePreferences& preferences() const { return prefs_; }
    const EditorPreferenceValues& editorPreferences() const { return editorPrefs_; }
    // Brings the effect record's initial delay in line with what the bank runs and
    // tells the host when it changed. Never on the audio thread.
    void reportLatency();

    // --- State, default bank and editor preferences (UI thread) ----------------
    const std::string& bankPath() const { return bankPath_; }
    void loadDefaultBank();
    bool saveDefaultBankIfMissing();
    bool firstRunSetupWanted() const { return firstRunSetupWanted_; }
    // The editor's default commands on "Default Bank.hmp". Each answers whether it
    // changed something (the file, or the editor tree for the restores).
    bool saveAllAsDefault();
    bool savePageAsDefault(const char* page);
    bool restoreAllDefaults();
    bool restorePageDefault(const char* page);
    bool saveStateAsDefault();
    prefs::EditorPreferences& editorPreferenceTree() { return editorTree_; }
    EditorSessionState& sessionState() { return session_; }
    unsigned char channelGroupMask(int group) const { return group >= 0 && group < kMaxChannels ? channelGroups_[group] : 0; }
    bool instanceNameSet() const;

    // --- A/B and program commands of the editor (UI thread) ---------------------
    // Switches to `slot` through the A/B parameter, as a host-visible change.
    void chooseABSlot(int slot);
    // The A/B toggle by the "A/B Toggle" preference; returns the slot switched to.
    int toggleABSlot();
    // Previous (-1) or next (+1) program, staying within 0..19.
    void stepProgram(int direction);
    unsigned char visitedABSlots() const { return abVisited_; }
    // The editor opened: only the current slot counts as visited.
    void resetVisitedABSlots() { abVisited_ = static_cast<unsigned char>(1u << getCurrentABSlot()); }
    // The editor's strip order for the current program (32 entries, -1 after the last).
    void setBandOrder(const int (&order)[kNumBands]);

    // --- Processing, filter bank, meters and analyser (PlugUpdate.cpp, PlugProcess.cpp) ---
    // The design side of the bank is serialised by the update lock: hold it while
    // reading the bank's settings or responses from outside the update.
    std::unique_lock<DesignGate> lockUpdates() { return std::unique_lock(updateMutex_); }
    dsp::EQBank& bank() { return *bank_; }
    int channelCount() const { return channels_.load(std::memory_order_relaxed); }
    const char* getChannelName(int channel) const;
    std::string groupName(int group);  // a copy: the timer's update may rebuild the names
    int groupNameCount();
    // The routing editor's changes (UI thread): a group's channel mask (bit c =
    // channel c), applied to the bands at once; a group's name (groups below the
    // channel count, at most 31 bytes), reported to the editor as
    // kGUIGroupNamesChanged. Out-of-range groups are ignored.
    void setChannelGroupMask(int group, unsigned char mask);
    void setGroupName(int group, const std::string& name);
    void rebuildGroupNames();
    float getChannelLevel(int channel) override;
    float getOutputLevel(int channel);
    bool getClipFlag() override { return processor_->clipFlag(); }
    void setClipFlag(bool flag) override { processor_->setClipFlag(flag); }
    bool hasChannelLevels() override { return true; }
    void setMeterPoint(bool input);
    int readAnalyserHistory(double* out, int count, int source);
    int soloMask() const { return soloMask_.load(std::memory_order_relaxed); }
    bool isUpdateDeferred() const { return updatePending_.load(std::memory_order_acquire); }
    std::uint64_t bankRecalcCount();
    // The FIR length asked for could not be allocated: the previous FIR keeps running
    // (the editor shows it). Not for the audio thread.
    bool firUnavailable();
    double currentOutputGain(int channel) const { return processor_->currentGain(channel); }

    // Replaces the update clock by a fixed time in milliseconds (tests); negative: real clock.
    void setManualClock(double ms) { manualClockMs_.store(ms, std::memory_order_relaxed); }
    // For tests that tick by hand as well (onTimer): the shared timer leaves this
    // instance alone from now on, so nothing designs at a moment of its choosing.
    // Not for the audio thread.
    void leaveSharedTimer();

protected:
    void writeDocument(cJSON* document, bool isPreset) override;
    void readDocument(const cJSON* document, bool isPreset) override;
    bool carriesState(const cJSON* document, bool isPreset) const override;
    HostTextContext hostTextContext(int index) override;

private:
    void writeSettings(cJSON* document, bool bankMembers);
    void readSettings(const cJSON* settings, bool isPreset);
    void readRouting(const cJSON* routing);

private:
    void readGlobalPreferences();  // the global store into prefs_ (updateMutex_ held)
    void applyBallistics();        // meter coefficients into the draft settings (updateMutex_ held)
    double updateClockMs() const;
    // The update reads the table without virtual dispatch: it also runs on the timer
    // thread while the instance may be under construction or destruction.
    double paramReal(int index) { return PlugBase::getParameterReal(index); }
    // Where an update runs: on a thread that may wait and allocate (the UI thread,
    // the timer), or on the audio thread at the start of a processing call, live or
    // in an offline render (which may wait for FIR builds).
    enum class UpdateSite { Designer, LiveAudio, OfflineAudio };
    void runUpdate(bool force, UpdateSite site = UpdateSite::Designer);  // holds updateMutex_
    // Audio thread, before a stretch of samples: the changes made so far take effect
    // from its first sample.
    void catchUp(bool offline);
    // Audio thread: the host renders offline (faster or slower than real time).
    bool hostRendersOffline();
    template <typename T>
    void processCall(T** inputs, T** outputs, int frames);
    // MIDI events of the coming processing call, applied at their frames.
    void applyMidiEvent(int status, int data1, int data2);
    void pushBands(int channels, bool auditioning, int audition, int& auditionMask);
    int pushChannels(int channels, bool auditioning, int auditionMask);

    // The shared timer calls this hook rather than a base of the instance, so a tick
    // never reads the instance's dynamic type while it is being built or torn down.
    // Host calls the tick makes are queued and follow it (core/HostCalls.h).
    struct TimerHook final : platform::TimerClient {
        explicit TimerHook(Plug& p) : plug(p) {}
        void onTimerTick() override {
            TickScope tick;
            plug.Plug::onTimer();
        }
        Plug& plug;
    } timerHook_{*this};
    std::atomic<double> manualClockMs_{-1.0};
    std::atomic<bool> midiDisabled_{false};  // the preference, as the audio thread reads it
    std::unique_ptr<dsp::EQBank> bank_ = std::make_unique<dsp::EQBank>();
    std::unique_ptr<BlockProcessor> processor_ = std::make_unique<BlockProcessor>(*bank_);
    std::atomic<bool> deferredForce_{false};
    std::atomic<bool> groupNamesChanged_{false};
    std::atomic<int> channels_{2};  // processing channels since the last resume
    int groupNameCount_ = 0;
    std::atomic<int> msMask_{-1};  // stored mid/side mask (bit-reversed kMsState)
    std::atomic<int> soloMask_{0};
    int lastBucket_ = -1;
    // What the last update pushed into the bank (updateMutex_ held).
    struct PushContext {
        double scale, fshift;
        int channels, audition, autoListenGain, autoListenQ;
        unsigned char groups[kMaxChannels];
    };
    PushContext pushedContext_{};
    double pushedFields_[kNumBands][kParamsPerBand] = {};
    bool pushedValid_ = false;
    std::uint64_t samplesAtReset_ = 0;
    std::chrono::steady_clock::time_point clockStart_ = std::chrono::steady_clock::now();

private:
    void applyMidiMultiplier(double multiplier);
    bool isAuditionParam(int index) const;

    InstancePreferences prefs_;
    EditorPreferenceValues editorPrefs_;

    // MIDI events queued by processEvents for the next processing call (audio thread).
    struct QueuedMidi {
        int frame;
        unsigned char status, data1, data2;
    };
    static constexpr int kMidiQueue = 512;
    QueuedMidi midiQueue_[kMidiQueue] = {};
    int midiQueued_ = 0;
    // Processing calls so far: the timer leaves waiting changes to the audio thread
    // while calls keep coming.
    std::atomic<std::uint64_t> processCalls_{0};
    std::atomic<std::uint64_t> callsAtLastTick_{0};  // the timer's (tests tick by hand too)
    // Work a live audio thread may not do (post a FIR build, allocate a FIR length):
    // the timer completes it.
    std::atomic<bool> timerOwed_{false};
    int lastOwedBucket_ = -1;  // FIR-rate bucket of the timer's last owed update (updateMutex_ held)

    // MIDI transposition (written on the audio thread, read by conversions anywhere).
    double noteFactor_ = 1.0;
    double bendFactor_ = 1.0;
    std::atomic<double> bendRangeOctaves_{1.0};  // set on the UI thread, read by MIDI
    std::atomic<double> midiMultiplier_{1.0};

    std::atomic<int> auditionedBand_{-1};
    std::atomic<bool> autoListenArmed_{false};

    unsigned char channelGroups_[kMaxChannels] = {};
    std::string groupNames_[kMaxChannels];
    char instanceName_[32] = {};  // written and read under the instance registry's lock
    bool instanceNameSet_ = false;

    prefs::EditorPreferences editorTree_;
    EditorSessionState session_;
    unsigned char abVisited_ = 0;  // slots visited since the editor opened (bit per slot)
    std::string bankPath_;
    bool firstRunSetupWanted_ = false;

    // Serialises updates and timer work between the host's UI thread, the timer
    // thread and the audio thread (which only tries it while live).
    DesignGate updateMutex_;
    std::atomic<bool> updatePending_{false};
};

}  // namespace hm
