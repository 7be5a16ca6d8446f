#pragma once
// Analogue prototype records shared by band design, the cascade and the FIR builder.
//
// One section is H(s) = (n2 s^2 + n1 s + n0) / (d2 s^2 + d1 s + d0). A first-order
// section is stored multiplied through by s (n0 = d0 = 0), so (n2 s + n1)/(d2 s + d1)
// is read from the first two coefficients of each half. A pure gain g is
// (g, 0, 0, 1, 0, 0); unity is (1, 0, 0, 1, 0, 0).

namespace hm::dsp {

struct AnalogSection {
    double n2 = 1.0, n1 = 0.0, n0 = 0.0;
    double d2 = 1.0, d1 = 0.0, d0 = 0.0;
};

constexpr int kMaxSections = 4;  // order 8 at most, in both the analogue and digital stores

// Engine band types (the parameter model maps its user-facing numbering onto these).
enum BandType : int {
    kTypeNone = 0,
    kTypeHighPass = 1,
    kTypeLowShelf = 2,
    kTypePeak = 3,
    kTypeNotch = 4,
    kTypeHighShelf = 5,
    kTypeLowPass = 6,
    kTypeBandPass = 7,
    kTypeAllPass = 8,
};

// The settings a band design reads: a plain copy of one filter object's settings.
struct BandSettings {
    int type = kTypeNone;
    int subtype = 0;
    int slope = 2;          // filter order of the pass types
    float frequency = 1000.0f;  // Hz
    float gain = 0.0f;          // dB
    float q = 0.707f;
    float shift = 0.5f;         // the type's extra control
    float phase = 1.0f;
    bool parallel = false;
    bool disabled = true;
};

}  // namespace hm::dsp
