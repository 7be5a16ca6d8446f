#pragma once
// PlugBase: the generic half of an instance. Parameter store with conversions
// and display, programs and A/B slots with their write-through rule, undo
// entries of edit gestures, pin properties and vendor-specific requests.
// The equaliser itself (Plug) refines conversions, display and processing.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/AuWrappableInterface.h"
#include "core/HostCalls.h"
#include "core/params/HostText.h"
#include "core/params/ParamFormat.h"
#include "core/params/ParamTable.h"
#include "core/params/ParamValues.h"
#include "core/vst/AudioEffectX.h"

namespace hm {

struct UndoEntry {
    int index;
    float value;  // normalised value before the change
    // Part of the same undo step as the entry before it (a gesture that moved
    // several parameters at once is undone and redone as one).
    bool joined = false;
};

struct Program {
    char name[24];
    ParamValues values;
    int bandOrder[kNumBands];  // editor band order; first entry -1 while unset
};

class PlugBase : public vst::AudioEffectX, public AuWrappableInterface {
public:
    explicit PlugBase(vst::HostCallback host);
    ~PlugBase() override;

    // --- VST operations -------------------------------------------------
    // Any thread (hosts automate from the audio thread).
    void setParameter(vst::VstInt32 index, float value) override;
    float getParameter(vst::VstInt32 index) override;
    // UI thread (the editor): a change the host's automation records.
    void setParameterAutomated(vst::VstInt32 index, float value) override;
    // UI thread.
    void setSampleRate(float sampleRate) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(vst::VstInt32 category, vst::VstInt32 index, char* text) override;
    void getParameterName(vst::VstInt32 index, char* text) override;
    void getParameterLabel(vst::VstInt32 index, char* text) override;
    void getParameterDisplay(vst::VstInt32 index, char* text) override;
    // A text the host's generic control took from getParameterDisplay (with or
    // without the label's unit) sets the parameter to the value it names.
    bool string2parameter(vst::VstInt32 index, char* text) override;
    bool getInputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
    bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
    // UI thread, while suspended: 1..8 channels, as many in as out; the
    // processing takes the new count at the next resume.
    bool setSpeakerArrangement(vst::VstSpeakerArrangement* in, vst::VstSpeakerArrangement* out) override;
    vst::VstInt32 getPlugCategory() override { return vst::kPlugCategEffect; }
    vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) override;
    // Audio thread.
    void process(float** inputs, float** outputs, vst::VstInt32 frames) override;
    void processReplacing(float** inputs, float** outputs, vst::VstInt32 frames) override;
    void processDoubleReplacing(double** inputs, double** outputs, vst::VstInt32 frames) override;

    // UI thread (the editor's idle; the timer does it too): makes the host calls
    // that threads which may not call the host have queued (core/HostCalls.h).
    void deliverHostReports();

    // --- Operations of the parameter store ---------------------------------
    virtual void setProgramNameAt(const char* name, int index);
    virtual double realToNormalised(int index, double real);
    virtual double normalisedToReal(int index, double normalised);
    virtual double getParameterReal(int index);
    virtual void formatParameter(int index, char* text, int flags);
    virtual void formatParameterValue(int index, float normalised, char* text, int flags);
    virtual int getParameterStepCount(int index);
    virtual int getParameterStepSize(int index);
    virtual bool isParameterSwitch(int index);
    virtual void selectABSlot(int slot);
    virtual void storeABSlot(int slot);
    virtual int getCurrentABSlot() { return currentAB_.load(std::memory_order_relaxed); }
    virtual void setABParameterIndex(int index) { abParamIndex_ = index; }
    virtual void onTimer() {}
    virtual bool undo();
    virtual bool redo();
    virtual bool canUndo() const { return !undo_.empty(); }
    virtual bool canRedo() const { return !redo_.empty(); }
    virtual void clearUndo();
    // Gestures begun between these two calls form one undo step (nestable; UI thread).
    void beginUndoStep();
    void endUndoStep();
    virtual float getChannelLevel(int /*channel*/) { return 0.0f; }
    virtual float getSecondChannelLevel(int /*channel*/) { return -1.0f; }
    virtual bool getClipFlag() { return false; }
    virtual void setClipFlag(bool /*flag*/) {}
    virtual bool hasChannelLevels() { return false; }
    virtual void setEditorValue(int value) { editorValue_ = value; }
    virtual void updateProcessing(bool /*force*/) {}
    virtual void processDouble(double** inputs, double** outputs, int frames) = 0;
    virtual void processFloat(float** inputs, float** outputs, int frames) = 0;

    float getParameterDefault(int index) override;

    // --- Accessors -------------------------------------------------------
    const ParamRecord& paramRecord(int index) const { return table_[isParam(index) ? index : 0]; }
    int editorValue() const { return editorValue_; }
    bool isLoadInProgress() const { return loadInProgress_.load(std::memory_order_relaxed); }
    std::uint64_t processedSamples() const { return processedSamples_.load(std::memory_order_relaxed); }
    const char* hostVendor() const { return hostVendor_; }
    const Program& program(int index) const { return programs_[index < 0 || index >= kNumPrograms ? 0 : index]; }
    const ParamValues& abSlot(int slot) const { return abSlots_[slot < 0 || slot >= kNumABSlots ? 0 : slot]; }
    const std::vector<UndoEntry>& undoEntries() const { return undo_; }

    // Whether the editor wheel hook should be installed (false for hosts that
    // forward the wheel themselves). Process-wide.
    static bool wheelHookEnabled();
    // Whether this instance has processed audio yet (any thread).
    bool hasProcessed() const { return processed_.load(std::memory_order_relaxed); }

protected:
    // What the host texts of parameter `index` depend on: its band's Type and the MS State.
    virtual HostTextContext hostTextContext(int index);
    // Marks a program, slot or state load for its lifetime; loads may nest.
    class LoadScope {
    public:
        explicit LoadScope(PlugBase& plug) : plug_(plug), previous_(plug.loadInProgress_.exchange(true)) {}
        ~LoadScope() { plug_.loadInProgress_.store(previous_); }
        LoadScope(const LoadScope&) = delete;
        LoadScope& operator=(const LoadScope&) = delete;

    private:
        PlugBase& plug_;
        bool previous_;
    };

    // Marks a program or state restore for its lifetime; restores may nest. The
    // outermost tells the host once that every value may have changed.
    class RestoreScope {
    public:
        explicit RestoreScope(PlugBase& plug) : plug_(plug) { plug.restoring_.fetch_add(1); }
        ~RestoreScope() {
            if (plug_.restoring_.fetch_sub(1) == 1) plug_.reportRestoredState();
        }
        RestoreScope(const RestoreScope&) = delete;
        RestoreScope& operator=(const RestoreScope&) = delete;

    private:
        PlugBase& plug_;
    };

    // Host calls, by the thread policy of core/HostCalls.h: made at once where
    // that allows, else queued for the timer or the editor's idle.
    bool hostCallsQueued() const { return !threads_.mayCallHost(); }
    bool reportEdit(vst::VstInt32 opcode, int index, float value = 0.0f);  // one of begin, automate, end
    void reportChange(int index, float value);                              // begin, automate, end
    void reportLatencyChange();                 // IOChanged
    void reportRestoredState();                 // UpdateDisplay (not while the host cannot know us)
    // The host learns of the instance when the constructor returns; restores before
    // that need no report.
    void hostKnowsInstance() { hostKnows_.store(true, std::memory_order_release); }
    void countProcessed(int frames);

    // Forwards an index and value to the editor, when there is one (any thread).
    void forwardToEditor(int index, float value);
    // Records the value a gesture starts from (the undo list is the UI thread's).
    void pushUndo(int index, float value);
    // Drops the most recent entry of `index` when the gesture changed nothing.
    void dropUnchangedUndo(int index, float current);
    bool moveHistoryEntry(std::vector<UndoEntry>& from, std::vector<UndoEntry>& to);
    // Loads a stored value set into the live table (programs and slots).
    void loadValues(const ParamValues& values, bool tellHost, bool skipEditorForAB);

    ParamTable table_;          // names, labels, ranges and kinds; values below
    ParamValues normalised_;    // live host values
    std::atomic<float> real_[kNumParams];  // base-converted real values
    Program programs_[kNumPrograms];
    ParamValues abSlots_[kNumABSlots];
    std::atomic<int> currentAB_{0};
    int abParamIndex_ = -1;
    std::atomic<bool> loadInProgress_{false};
    std::atomic<int> restoring_{0};
    std::atomic<bool> hostKnows_{false};
    std::atomic<bool> abAutomationAll_{true};  // "A/B Automation": "All"
    unsigned char editFlags_[kNumParams] = {};
    std::vector<UndoEntry> undo_;
    std::vector<UndoEntry> redo_;
    int undoStepDepth_ = 0;
    std::size_t undoStepBase_ = 0;  // undo entries before the open step
    std::atomic<std::uint64_t> processedSamples_{0};
    std::atomic<bool> processed_{false};
    // Output of the accumulating call before it is added (audio thread).
    static constexpr int kAccumulateChannels = 8;
    static constexpr int kAccumulateFrames = 1024;
    std::unique_ptr<float[]> accumulate_ =
        std::make_unique<float[]>(static_cast<std::size_t>(kAccumulateChannels) * kAccumulateFrames);
    ThreadRoles threads_;
    std::shared_ptr<HostReports> reports_;
    NumberFormat numberFormat_ = NumberFormat::Precise;
    char hostVendor_[256] = {};
    int editorValue_ = -1;
};

}  // namespace hm
