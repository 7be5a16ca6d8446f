#include "core/SampleLoops.h"

#include "core/SampleBlocks.h"
#include "dsp/CpuFeatures.h"

namespace hm {

#if defined(__x86_64__) || defined(__i386__)
extern const SampleLoops kSampleLoopsAvx2;    // SampleLoopsAvx2.cpp
extern const SampleLoops kSampleLoopsAvx512;  // SampleLoopsAvx512.cpp
#endif

namespace {

void loadFiniteFloat(const float* in, double* out, int n) { loadFinite(in, out, n); }
void loadFiniteDouble(const double* in, double* out, int n) { loadFinite(in, out, n); }

const SampleLoops kBaseline = {loadFiniteFloat, loadFiniteDouble, storeFloat, allFinite, midSideEncode, midSideDecode};

}  // namespace

const SampleLoops& baselineSampleLoops() { return kBaseline; }

const SampleLoops* avx2SampleLoops() {
#if defined(__x86_64__) || defined(__i386__)
    return dsp::processorHasAvx2() ? &kSampleLoopsAvx2 : nullptr;
#else
    return nullptr;
#endif
}

const SampleLoops* avx512SampleLoops() {
#if defined(__x86_64__) || defined(__i386__)
    return dsp::processorHasAvx512() ? &kSampleLoopsAvx512 : nullptr;
#else
    return nullptr;
#endif
}

const SampleLoops& sampleLoops() {
    if (const SampleLoops* widest = avx512SampleLoops()) return *widest;
    const SampleLoops* wide = avx2SampleLoops();
    return wide ? *wide : kBaseline;
}

}  // namespace hm
