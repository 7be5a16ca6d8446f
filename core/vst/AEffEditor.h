#pragma once
// Base of every editor an effect can attach: the editor opcodes of the VST 2.4
// interface arrive here. The defaults describe an editor with no window.
#include "core/vst/VstAbi.h"

namespace vst {

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect_(effect) {}
    virtual ~AEffEditor() = default;

    // UI thread, all of them.
    virtual bool getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow_ = parentWindow;
        return false;
    }
    virtual void close() { systemWindow_ = nullptr; }
    virtual bool isOpen() const { return systemWindow_ != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifier*/) { return false; }
    virtual bool onKeyUp(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifier*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    // Vendor-specific requests the effect does not answer itself.
    virtual VstIntPtr vendorSpecific(VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
        return 0;
    }

    // Any thread: a parameter or editor-tag value the instance forwards for display.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

    AudioEffect* getEffect() const { return effect_; }

protected:
    AudioEffect* effect_;
    void* systemWindow_ = nullptr;
};

}  // namespace vst
