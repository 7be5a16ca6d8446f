#include "core/params/ParamTable.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/params/Conversion.h"

namespace hm {
namespace {

struct Spec {
    const char* name;
    const char* label;
    int kind;
    float minimum, maximum, defaultValue;
};

constexpr Spec kGlobalSpecs[kNumGlobals] = {
    {"Bypass", "On/Off", kKindSwitch, 0, 1, 0},
    {"Gain", "dB", kKindLinear, -36, 36, 0},
    {"Scale", "dB", kKindLinear, -36, 36, 18},
    {"Shift", "%", kKindLog, 50, 200, 100},
    {"Mode", "IIR/FIR", kKindInteger, 0, 1, 0},
    {"Parallel", "Off,Peaks,Shelves", kKindInteger, 0, 2, 0},
    {"A/B", "", kKindInteger, 0, 7, 0},
    {"IRLength", "Samples", kKindInteger, 0, 8, 3},
    {"IRWindow", "", kKindInteger, 0, 15, 10},
    {"IRWindowParam", "", kKindLinear, 0, 1, 0.5f},
    {"IRPhase", "", kKindInteger, 0, 7, 4},
    {"IRPad", "", kKindInteger, 0, 3, 0},
    {"D+Len", "Samples", kKindInteger, 0, 6, 0},
    {"MS State", "", kKindInteger, 0, 15, 8},
};

struct FieldSpec {
    const char* suffix;
    const char* label;
    int kind;
    float minimum, maximum, defaultValue;
};

constexpr FieldSpec kChannelSpecs[kParamsPerChannel] = {
    {"Level", "Level", kKindCube, 0, 8, 1},
    {"Phase", "Norm/Inv", kKindSwitch, 0, 1, 0},
    {"Mute", "Off/On", kKindSwitch, 0, 1, 0},
    {"Solo", "Off/On", kKindSwitch, 0, 1, 0},
};

// Q's minimum and default are the single-precision values nearest 0.1 and 0.707.
constexpr FieldSpec kBandSpecs[kParamsPerBand] = {
    {"State", "Off/Byp/On", kKindInteger, 0, 2, 0},
    {"Groups", "", kKindInteger, 0, 255, 255},
    {"Type", "Peak/HPF/LSh/HSh/LPF/Notch", kKindInteger, 1, 6, 1},
    {"Subtype", "", kKindInteger, 1, 32, 1},
    {"Gain", "dB", kKindLinear, -1, 1, 0},
    {"Frequency", "Hz", kKindLog, 10, 22000, 80},
    {"Q", "Q", kKindLog, 0.1f, 50, 0.707f},
    {"Shift", "%", kKindLinear, -100, 100, 0},
    {"Slope", "dB", kKindSteps6, 6, 48, 18},
    {"Phase", "%", kKindLinear, -100, 100, 0},
};

void fill(ParamRecord& r, const char* name, const char* label, int kind, float lo, float hi, float def) {
    std::memset(&r, 0, sizeof(r));
    std::snprintf(r.name, sizeof(r.name), "%s", name);
    std::snprintf(r.label, sizeof(r.label), "%s", label);
    r.kind = kind;
    r.minimum = lo;
    r.maximum = hi;
    r.value = def;
    r.normalised = static_cast<float>(realToNormalisedBase(kind, lo, hi, def));
}

ParamTable buildTable() {
    ParamTable t{};
    for (int i = 0; i < kNumGlobals; ++i) {
        const Spec& s = kGlobalSpecs[i];
        fill(t[i], s.name, s.label, s.kind, s.minimum, s.maximum, s.defaultValue);
    }
    char name[32];
    for (int c = 0; c < kMaxChannels; ++c) {
        for (int f = 0; f < kParamsPerChannel; ++f) {
            const FieldSpec& s = kChannelSpecs[f];
            std::snprintf(name, sizeof(name), "Channel %d %s", c + 1, s.suffix);
            fill(t[channelParam(c, f)], name, s.label, s.kind, s.minimum, s.maximum, s.defaultValue);
        }
    }
    for (int b = 0; b < kNumBands; ++b) {
        for (int f = 0; f < kParamsPerBand; ++f) {
            const FieldSpec& s = kBandSpecs[f];
            std::snprintf(name, sizeof(name), "Band%d %s", b + 1, s.suffix);
            fill(t[bandParam(b, f)], name, s.label, s.kind, s.minimum, s.maximum, s.defaultValue);
        }
    }
    return t;
}

}  // namespace

const ParamTable& staticParamTable() {
    static const ParamTable table = buildTable();
    return table;
}

bool isDspPartParam(int index) {
    switch (index) {
        case kMode:
        case kIRLength:
        case kIRWindow:
        case kIRWindowParam:
        case kIRPhase:
        case kIRPad:
        case kDPlusLen: return true;
        default: return false;
    }
}

double staticRealOf(int index, double normalised) {
    if (!isParam(index)) return 0.0;
    const ParamRecord& r = staticParamTable()[index];
    return normalisedToRealBase(r.kind, r.minimum, r.maximum, normalised);
}

float staticNormalisedOf(int index, double real) {
    if (!isParam(index)) return 0.0f;
    const ParamRecord& r = staticParamTable()[index];
    return static_cast<float>(realToNormalisedBase(r.kind, r.minimum, r.maximum, real));
}

}  // namespace hm
