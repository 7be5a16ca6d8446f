#pragma once
// What the processor offers beyond the x86-64 baseline (SSE2), decided once when
// the library loads. Code compiled for a wider instruction set runs only where
// this says so. Any thread.
#include <cstdint>

namespace hm::dsp {

bool processorHasAvx2();
// AVX-512 Foundation, with the system saving the opmask registers and all 512
// bits of the 32 vector registers on a context switch.
bool processorHasAvx512();

// The AVX-512 decision from the raw words: CPUID leaf 1's ECX (OSXSAVE, bit 27),
// leaf 7's EBX (AVX512F, bit 16) and XCR0, the state the system has enabled
// (bits 1, 2: SSE and AVX halves; 5, 6, 7: opmask, upper ZMM halves, ZMM16..31).
bool avx512Usable(std::uint32_t leaf1Ecx, std::uint32_t leaf7Ebx, std::uint64_t xcr0);

}  // namespace hm::dsp
