#include "dsp/CpuFeatures.h"

namespace hm::dsp {
namespace {

bool probeAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();  // this may run before the run-time library's own constructors
    return __builtin_cpu_supports("avx2");  // also checks the system saves the registers
#else
    return false;
#endif
}

// At load time, so no caller (the audio thread among them) meets a first-use guard.
const bool gAvx2 = probeAvx2();

}  // namespace

bool processorHasAvx2() { return gAvx2; }

}  // namespace hm::dsp
