#include "core/SampleLoops.h"

#include "core/SampleBlocks.h"
#include "dsp/CpuFeatures.h"

namespace hm {

#if defined(__x86_64__) || defined(__i386__)
extern const SampleLoops kSampleLoopsAvx2;  // SampleLoopsAvx2.cpp
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

const SampleLoops& sampleLoops() {
    const SampleLoops* wide = avx2SampleLoops();
    return wide ? *wide : kBaseline;
}

}  // namespace hm
