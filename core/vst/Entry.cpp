// The library's only exported symbols: the VST 2.4 entry point under its two names.
#include "core/vst/VstAbi.h"

vst::AEffect* createEffectInstance(vst::HostCallback host);

extern "C" {

__attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::HostCallback host) {
    return createEffectInstance(host);
}

// Older hosts look the entry point up as "main".
__attribute__((visibility("default"))) vst::AEffect* main_entry(vst::HostCallback host) __asm__("main");
vst::AEffect* main_entry(vst::HostCallback host) { return VSTPluginMain(host); }

}
