#pragma once
// AudioEffectX: the VST 2.x extensions of the published plug-in base class.
// Maps the extended opcodes onto virtual operations with the published
// default answers; derived classes override what they support.
#include "core/vst/AudioEffect.h"

namespace vst {

struct VstSpeakerArrangement;

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(HostCallback host, VstInt32 numPrograms, VstInt32 numParams)
        : AudioEffect(host, numPrograms, numParams) {}

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // Audio thread.
    virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }

    // UI thread.
    virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
    virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) { return false; }
    virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) { return false; }
    virtual VstInt32 getPlugCategory() { return kPlugCategUnknown; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*in*/, VstSpeakerArrangement* /*out*/) {
        return false;
    }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) {
        if (in) *in = nullptr;
        if (out) *out = nullptr;
        return false;
    }
    virtual bool setBypass(bool /*onOff*/) { return false; }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
        return 0;
    }
    virtual VstInt32 canDo(char* /*text*/) { return 0; }
    virtual VstInt32 getTailSize() { return 0; }
    virtual VstInt32 getVstVersion() { return 2400; }
    virtual VstInt32 getCurrentMidiProgram(VstInt32 /*channel*/, void* /*program*/) { return -1; }
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }
    virtual VstInt32 startProcess() { return 0; }
    virtual VstInt32 stopProcess() { return 0; }

    // Host calls.
    bool ioChanged() { return callHost(audioMasterIOChanged) != 0; }
    bool updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
    bool getHostVendorString(char* text) {
        if (text) *text = 0;
        return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
    }
    void wantEvents() { callHost(audioMasterWantMidi, 0, 1); }
};

}  // namespace vst
