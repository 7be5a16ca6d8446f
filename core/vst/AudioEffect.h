#pragma once
// AudioEffect: the plug-in side of the VST 2.4 interface as it is published.
// Owns the effect record, stores the host callback and the processing setup,
// and turns the classic dispatcher opcodes into virtual operations. Every
// static trampoline catches whatever escapes an operation so that no exception
// ever crosses into the host.
#include <atomic>
#include <cstdint>
#include <memory>

#include "core/EditorLink.h"
#include "core/vst/AEffEditor.h"
#include "core/vst/VstAbi.h"

namespace vst {

class AudioEffect {
public:
    AudioEffect(HostCallback host, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    AEffect* getAeffect() { return &cEffect_; }
    // The effect record under shared ownership: a host call made on another thread
    // may still hold it after the instance is gone (its object pointer is then null).
    std::shared_ptr<AEffect> effectRecord() const { return record_; }
    AEffEditor* getEditor() const { return editor_; }  // UI thread
    // How threads other than the UI thread reach the editor (setEditor publishes it).
    hm::EditorLink& editorLink() { return editorLink_; }

    // Dispatcher entry (UI thread for most opcodes; see AudioEffectX).
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    // Lifecycle, UI thread.
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float sampleRate) { sampleRate_ = sampleRate; }
    virtual void setBlockSize(VstInt32 blockSize) { blockSize_ = blockSize; }
    float getSampleRate() const { return sampleRate_; }
    VstInt32 getBlockSize() const { return blockSize_; }

    // Parameters: any thread (hosts automate from the audio thread).
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
    virtual void setParameterAutomated(VstInt32 index, float value);

    // Programs, UI thread.
    virtual VstInt32 getProgram() { return currentProgram(); }
    virtual void setProgram(VstInt32 program) { curProgram_.store(program, std::memory_order_relaxed); }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { if (name) *name = 0; }
    virtual void getParameterLabel(VstInt32 /*index*/, char* label) { if (label) *label = 0; }
    virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { if (text) *text = 0; }
    virtual void getParameterName(VstInt32 /*index*/, char* text) { if (text) *text = 0; }
    virtual VstInt32 getChunk(void** data, bool /*isPreset*/) {
        if (data) *data = nullptr;
        return 0;
    }
    virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) { return 0; }

    // Processing, audio thread.
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
    virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/) {}

    // Host calls made by the effect (any thread the host permits for them).
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    HostCallback getHostCallback() const { return host_; }
    // True on a thread that is inside a host callback this library made (a host may
    // call back into an instance from there, e.g. suspend and resume on IOChanged).
    static bool insideHostCall();
    // A host call for an effect record, made (and counted as above) without an instance.
    static VstIntPtr callHostFor(HostCallback host, AEffect* effect, VstInt32 opcode, VstInt32 index = 0,
                                 VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);

    // Program index: read on the audio thread (parameter write-through), set on the UI thread.
    VstInt32 currentProgram() const { return curProgram_.load(std::memory_order_relaxed); }

    // Effect record set-up, used by derived constructors.
    void setUniqueID(VstInt32 id) { cEffect_.uniqueID = id; }
    void setNumInputs(VstInt32 n) { cEffect_.numInputs = n; }
    void setNumOutputs(VstInt32 n) { cEffect_.numOutputs = n; }
    // The host reads the delay on its own thread after audioMasterIOChanged; the
    // instance writes it from whichever thread reports: atomically on our side.
    void setInitialDelay(VstInt32 delay) { std::atomic_ref(cEffect_.initialDelay).store(delay, std::memory_order_release); }
    VstInt32 initialDelay() const { return std::atomic_ref(cEffect_.initialDelay).load(std::memory_order_acquire); }
    void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
    void canDoubleReplacing(bool state = true) { setFlag(effFlagsCanDoubleReplacing, state); }
    void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    void setEditor(AEffEditor* editor);

protected:
    void setFlag(VstInt32 flag, bool state) {
        if (state) cEffect_.flags |= flag;
        else cEffect_.flags &= ~flag;
    }

    HostCallback host_;
    AEffEditor* editor_ = nullptr;  // owned; the UI thread's view of it
    hm::EditorLink editorLink_;     // everybody else's
    float sampleRate_ = 44100.0f;
    VstInt32 blockSize_ = 1024;
    VstInt32 numPrograms_;
    VstInt32 numParams_;
    std::atomic<VstInt32> curProgram_{0};
    std::shared_ptr<AEffect> record_ = std::make_shared<AEffect>();
    AEffect& cEffect_ = *record_;

private:
    static VstIntPtr dispatchEffect(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt);
    static float getParameterEffect(AEffect* e, VstInt32 index);
    static void setParameterEffect(AEffect* e, VstInt32 index, float value);
    static void processEffect(AEffect* e, float** in, float** out, VstInt32 frames);
    static void processReplacingEffect(AEffect* e, float** in, float** out, VstInt32 frames);
    static void processDoubleReplacingEffect(AEffect* e, double** in, double** out, VstInt32 frames);
};

}  // namespace vst
