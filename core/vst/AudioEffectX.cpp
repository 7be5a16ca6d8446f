#include "core/vst/AudioEffectX.h"

namespace vst {

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effProcessEvents: return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
        case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter: return string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
        case effGetProgramNameIndexed:
            return ptr ? (getProgramNameIndexed(static_cast<VstInt32>(value), index, static_cast<char*>(ptr)) ? 1 : 0)
                       : 0;
        case effGetInputProperties:
            return ptr ? (getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0) : 0;
        case effGetOutputProperties:
            return ptr ? (getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0) : 0;
        case effGetPlugCategory: return getPlugCategory();
        case effSetSpeakerArrangement:
            return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                         static_cast<VstSpeakerArrangement*>(ptr))
                       ? 1
                       : 0;
        case effGetSpeakerArrangement:
            return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                         static_cast<VstSpeakerArrangement**>(ptr))
                       ? 1
                       : 0;
        case effSetBypass: return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName: return ptr ? (getEffectName(static_cast<char*>(ptr)) ? 1 : 0) : 0;
        case effGetVendorString: return ptr ? (getVendorString(static_cast<char*>(ptr)) ? 1 : 0) : 0;
        case effGetProductString: return ptr ? (getProductString(static_cast<char*>(ptr)) ? 1 : 0) : 0;
        case effGetVendorVersion: return getVendorVersion();
        case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
        case effCanDo: return ptr ? canDo(static_cast<char*>(ptr)) : 0;
        case effGetTailSize: return getTailSize();
        case effGetVstVersion: return getVstVersion();
        case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, ptr);
        case effSetTotalSampleToProcess: return setTotalSampleToProcess(static_cast<VstInt32>(value));
        case effStartProcess: return startProcess();
        case effStopProcess: return stopProcess();
        case effEditKeyDown:
            return editor_ ? (editor_->onKeyDown(index, static_cast<VstInt32>(value), static_cast<VstInt32>(opt)) ? 1 : 0)
                           : 0;
        case effEditKeyUp:
            return editor_ ? (editor_->onKeyUp(index, static_cast<VstInt32>(value), static_cast<VstInt32>(opt)) ? 1 : 0)
                           : 0;
        case effSetEditKnobMode:
            return editor_ ? (editor_->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0) : 0;
        default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

}  // namespace vst
