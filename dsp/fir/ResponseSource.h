#pragma once
// What the FIR builders need to know about one channel's band set, and nothing
// more: the bank answers these from its filter objects; tests answer them from
// analytic responses. Evaluation is over a uniform grid f_i = i * df Hz, i < count.
namespace hm::dsp {

class ResponseSource {
public:
    virtual ~ResponseSource() = default;

    virtual int bandCount() const = 0;
    // The band is summed in parallel (its running filter holds H - 1).
    virtual bool isParallel(int band) const = 0;
    // The band's phase setting 0..1, the share of its phase kept by the "Free" mode.
    virtual double phaseAmount(int band) const = 0;

    // The band's analogue prototype: magnitude and phase (the sum of its sections'
    // phases, so not wrapped to one turn). A disabled band answers 1 and 0.
    virtual void analogue(int band, double df, int count, double* magnitude, double* phase) const = 0;
    // The band's designed digital sections as they run, complex, interleaved
    // (re, im): the full response of a series band, H - 1 of a parallel one.
    // A disabled band answers 1 (series) or 0 (parallel).
    virtual void digital(int band, double df, int count, double* response) const = 0;
};

}  // namespace hm::dsp
