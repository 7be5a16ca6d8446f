#pragma once
// Radix-4 stages of the FFT on four-lane vectors (two complex points per vector,
// butterflies k and k+1 side by side), compiled for AVX2 with FMA and chosen at
// run time when the processor has them. Same numbers, same layout as the portable
// stages in Fft.cpp.
#include <cstddef>

namespace hm::dsp::fftavx2 {

bool supported();

// Butterflies [begin, end) of one stage of the given span; tw is the span's table,
// triple says whether it holds expanded (w, w^2, w^3) or just w.
void difStage(double* d, const double* tw, bool triple, std::size_t span, std::size_t begin, std::size_t end,
              bool inverse);
void ditStage(double* d, const double* tw, bool triple, std::size_t span, std::size_t begin, std::size_t end,
              bool inverse);

// The real split and merge of RealSplit.h for positions [begin, end) of the lower
// half of one octave [s, 2s) (partner of p: 3s - 1 - p), two pairs at a time;
// (end - begin) must be even.
void splitPairs(double* d, const double* tw, std::size_t s, std::size_t begin, std::size_t end);
void mergePairs(double* d, const double* tw, std::size_t s, std::size_t begin, std::size_t end);

}  // namespace hm::dsp::fftavx2
