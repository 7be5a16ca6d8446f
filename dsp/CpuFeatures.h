#pragma once
// What the processor offers beyond the x86-64 baseline (SSE2), decided once when
// the library loads. Code compiled for a wider instruction set runs only where
// this says so. Any thread.

namespace hm::dsp {

bool processorHasAvx2();

}  // namespace hm::dsp
