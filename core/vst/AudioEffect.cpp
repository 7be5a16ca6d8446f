#include "core/vst/AudioEffect.h"

#include <cstring>

namespace vst {
namespace {

AudioEffect* instanceOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

thread_local int tHostCallDepth = 0;

}  // namespace

AudioEffect::AudioEffect(HostCallback host, VstInt32 numPrograms, VstInt32 numParams)
    : host_(host), numPrograms_(numPrograms), numParams_(numParams) {
    std::memset(&cEffect_, 0, sizeof(cEffect_));
    cEffect_.magic = kEffectMagic;
    cEffect_.dispatcher = &AudioEffect::dispatchEffect;
    cEffect_.process = &AudioEffect::processEffect;
    cEffect_.setParameter = &AudioEffect::setParameterEffect;
    cEffect_.getParameter = &AudioEffect::getParameterEffect;
    cEffect_.numPrograms = numPrograms;
    cEffect_.numParams = numParams;
    cEffect_.numInputs = 1;
    cEffect_.numOutputs = 2;
    cEffect_.ioRatio = 1.0f;
    cEffect_.object = this;
    cEffect_.uniqueID = fourCC('N', 'o', 'E', 'f');
    cEffect_.version = 1;
    cEffect_.processReplacing = &AudioEffect::processReplacingEffect;
    cEffect_.processDoubleReplacing = &AudioEffect::processDoubleReplacingEffect;
}

AudioEffect::~AudioEffect() {
    editorLink_.retire();
    delete editor_;
    // A host call still under way elsewhere keeps the record; calls through it now reach nothing.
    cEffect_.object = nullptr;
}

void AudioEffect::setEditor(AEffEditor* editor) {
    // Nobody forwards to the old editor any more before it goes.
    editorLink_.retire();
    if (editor_ != editor) delete editor_;
    editor_ = editor;
    editorLink_.publish(editor);
    setFlag(effFlagsHasEditor, editor != nullptr);
}

bool AudioEffect::insideHostCall() { return tHostCallDepth > 0; }

VstIntPtr AudioEffect::callHostFor(HostCallback host, AEffect* effect, VstInt32 opcode, VstInt32 index,
                                   VstIntPtr value, void* ptr, float opt) {
    if (!host) return 0;
    struct Nesting {
        Nesting() { ++tHostCallDepth; }
        ~Nesting() { --tHostCallDepth; }
    } nesting;
    return host(effect, opcode, index, value, ptr, opt);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return callHostFor(host_, &cEffect_, opcode, index, value, ptr, opt);
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

bool AudioEffect::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool AudioEffect::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

// The deprecated accumulating call is answered like the replacing one.
void AudioEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processReplacing(inputs, outputs, sampleFrames);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen: open(); return 0;
        case effClose: close(); return 0;
        case effSetProgram:
            if (value >= 0 && value < numPrograms_) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName: if (ptr) setProgramName(static_cast<char*>(ptr)); return 0;
        case effGetProgramName: if (ptr) getProgramName(static_cast<char*>(ptr)); return 0;
        case effGetParamLabel: if (ptr) getParameterLabel(index, static_cast<char*>(ptr)); return 0;
        case effGetParamDisplay: if (ptr) getParameterDisplay(index, static_cast<char*>(ptr)); return 0;
        case effGetParamName: if (ptr) getParameterName(index, static_cast<char*>(ptr)); return 0;
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
        case effMainsChanged:
            if (value) resume();
            else suspend();
            return 0;
        case effEditGetRect:
            if (editor_) return editor_->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
            if (ptr) *static_cast<ERect**>(ptr) = nullptr;
            return 0;
        case effEditOpen: return editor_ ? (editor_->open(ptr) ? 1 : 0) : 0;
        case effEditClose: if (editor_) editor_->close(); return 0;
        case effEditIdle: if (editor_) editor_->idle(); return 0;
        case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
        default: return 0;
    }
}

VstIntPtr AudioEffect::dispatchEffect(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt) {
    AudioEffect* self = instanceOf(e);
    if (!self) return 0;
    try {
        VstIntPtr result = self->dispatcher(opcode, index, value, ptr, opt);
        // The host releases the instance with effClose; nothing may touch it afterwards.
        if (opcode == effClose) delete self;
        return result;
    } catch (...) {
        return 0;
    }
}

float AudioEffect::getParameterEffect(AEffect* e, VstInt32 index) {
    AudioEffect* self = instanceOf(e);
    if (!self) return 0.0f;
    try {
        return self->getParameter(index);
    } catch (...) {
        return 0.0f;
    }
}

void AudioEffect::setParameterEffect(AEffect* e, VstInt32 index, float value) {
    AudioEffect* self = instanceOf(e);
    if (!self) return;
    try {
        self->setParameter(index, value);
    } catch (...) {
    }
}

void AudioEffect::processEffect(AEffect* e, float** in, float** out, VstInt32 frames) {
    AudioEffect* self = instanceOf(e);
    if (!self) return;
    try {
        self->process(in, out, frames);
    } catch (...) {
    }
}

void AudioEffect::processReplacingEffect(AEffect* e, float** in, float** out, VstInt32 frames) {
    AudioEffect* self = instanceOf(e);
    if (!self) return;
    try {
        self->processReplacing(in, out, frames);
    } catch (...) {
    }
}

void AudioEffect::processDoubleReplacingEffect(AEffect* e, double** in, double** out, VstInt32 frames) {
    AudioEffect* self = instanceOf(e);
    if (!self) return;
    try {
        self->processDoubleReplacing(in, out, frames);
    } catch (...) {
    }
}

}  // namespace vst
