#pragma once
// Complex FFT on interleaved (re, im) doubles, unnormalised in both directions.
// The forward kernel is e^{-2 pi j kn/N}, the inverse e^{+2 pi j kn/N}; whoever needs
// 1/N applies it. Sizes are powers of two.
//
// Method: radix-2^2 (radix-4 butterflies whose two middle outputs are exchanged, so
// the result is in plain bit-reversed order like a radix-2 transform), decimation in
// frequency for natural -> bit-reversed, decimation in time for bit-reversed ->
// natural. Stages whose span exceeds kBlock run across the whole array; below that
// each kBlock-sized piece is finished while it sits in the first-level cache.
//
// Convolution never needs natural order in the frequency domain, so the convolver
// uses the scrambled pair (forwardScrambled, inverseScrambled) and skips the
// bit-reversal permutation. The stage and block pieces are public so that one
// transform can be spread over many calls.
//
// Tables (twiddles per span, bit-reversal indices) grow in prepare(), which
// allocates; every transform call is const and allocation-free, so one prepared
// object may serve several threads at once.
#include <cstddef>
#include <vector>

namespace hm::dsp {

class Fft {
public:
    static constexpr std::size_t kBlock = 1024;  // complex points finished in cache

    Fft() = default;
    explicit Fft(std::size_t n) { prepare(n); }

    // Makes transforms of up to n points possible (n rounded up to a power of two).
    // Allocates; call off the audio thread.
    void prepare(std::size_t n);
    std::size_t capacity() const { return capacity_; }

    // Natural order in and out. n must be a power of two <= capacity().
    void forward(double* data, std::size_t n) const;
    void inverse(double* data, std::size_t n) const;

    // Natural in, bit-reversed out (forward) and bit-reversed in, natural out (inverse).
    void forwardScrambled(double* data, std::size_t n) const;
    void inverseScrambled(double* data, std::size_t n) const;

    void bitReverse(double* data, std::size_t n) const;

    // Pieces of a scrambled transform of n points, for spreading the work.
    // A decimation-in-frequency transform is: stages of span n, n/4, ... while the
    // span exceeds blockSpan(n), then every block of blockSpan(n) points.
    // The decimation-in-time one is the same list run backwards.
    static std::size_t blockSpan(std::size_t n);
    // Radix-4 butterflies [begin, end) of the n/4 in one stage of the given span.
    void difStage(double* data, std::size_t span, std::size_t begin, std::size_t end, bool inverse) const;
    void ditStage(double* data, std::size_t span, std::size_t begin, std::size_t end, bool inverse) const;
    // All stages of one block of n points (n <= the largest block, any power of two).
    void difBlock(double* block, std::size_t n, bool inverse) const;
    void ditBlock(double* block, std::size_t n, bool inverse) const;

private:
    template <bool Inv> void difStageT(double* d, std::size_t span, std::size_t b, std::size_t e) const;
    template <bool Inv> void ditStageT(double* d, std::size_t span, std::size_t b, std::size_t e) const;
    template <bool Inv> void difBlockT(double* d, std::size_t n) const;
    template <bool Inv> void ditBlockT(double* d, std::size_t n) const;
    template <bool Inv> void difAll(double* d, std::size_t n) const;
    template <bool Inv> void ditAll(double* d, std::size_t n) const;

    std::size_t capacity_ = 0;
    int capacityBits_ = 0;
    // Twiddles of span m start at twOffset_[log2 m]. Spans up to kTripleSpan hold
    // (w^k, w^2k, w^3k) per k < m/4; larger spans hold w^k only and derive the others.
    std::vector<double> twiddles_;
    std::vector<std::size_t> twOffset_;
    std::vector<unsigned> bitrev_;  // for capacity_ points
    bool avx2_ = false;             // four-lane stages where the processor has them
    bool forcePortable_ = false;

public:
    // Tests compare the four-lane stages with the portable ones.
    void usePortableStages(bool portable);
};

}  // namespace hm::dsp
