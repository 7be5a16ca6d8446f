#pragma once
// The block processor's loops over every sample, chosen for the processor: the
// baseline ones (SampleBlocks.h, SSE2 at most) or the same loops on 256-bit
// (SampleLoopsAvx2.cpp) or 512-bit vectors (SampleLoopsAvx512.cpp) where it has
// AVX2 or AVX-512F. All give exactly the same samples: each output is its own
// sample's, with the same operations.
namespace hm {

struct SampleLoops {
    // out[i] = in[i] as a double, or 0 where it is not finite.
    void (*loadFiniteFloat)(const float* in, double* out, int n);
    void (*loadFiniteDouble)(const double* in, double* out, int n);
    // out[i] = in[i] rounded to float.
    void (*storeFloat)(const double* in, float* out, int n);
    // True when no sample is infinite or NaN.
    bool (*allFinite)(const double* x, int n);
    // a, b <- a + b, a - b; and a, b <- (a + b) * 0.5, (a - b) * 0.5.
    void (*midSideEncode)(double* a, double* b, int n);
    void (*midSideDecode)(double* a, double* b, int n);
};

const SampleLoops& baselineSampleLoops();
// Null where the processor (or the build) has no AVX2, or no AVX-512F.
const SampleLoops* avx2SampleLoops();
const SampleLoops* avx512SampleLoops();
// The widest of those. Any thread.
const SampleLoops& sampleLoops();

}  // namespace hm
