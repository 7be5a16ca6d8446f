// Temporary stand-in until the instance exists: no host gets an effect yet.
#include "core/vst/VstAbi.h"
vst::AEffect* createEffectInstance(vst::HostCallback) { return nullptr; }
