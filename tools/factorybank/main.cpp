// Writes the factory bank: a handful of honestly named starting points.
//
//   harmoniform-factorybank OUT.hmp
//
// Values are given in real units and converted by the instance's own
// conversions, so the bank follows the parameter model wherever it goes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Plug.h"
#include "platform/AtomicFile.h"

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

// Band types and subtypes as the user sees them (1-based).
enum : int { kPeak = 1, kHighPass = 2, kLowShelf = 3, kHighShelf = 4, kLowPass = 5 };
constexpr int kKes = 1, kButterworth = 3;

struct Band {
    int type;
    double frequency, gainDb, q;
    int subtype = kKes;
    int slope = 12;
    int groups = 255;  // all channel groups; group 1 is the top bit
};

struct Preset {
    const char* name;
    std::vector<Band> bands;
    int msState = 8;  // first channel pair as mid/side (the default)
};

class Writer {
public:
    explicit Writer(hm::Plug& plug) : plug_(plug) {}
    void set(int index, double real) {
        plug_.setParameter(index, static_cast<float>(plug_.realToNormalised(index, real)));
    }
    void apply(const Preset& p) {
        set(hm::kMsState, p.msState);
        for (std::size_t b = 0; b < p.bands.size(); ++b) {
            const Band& band = p.bands[b];
            const int i = static_cast<int>(b);
            set(hm::bandParam(i, hm::kBandState), 2);
            set(hm::bandParam(i, hm::kBandGroups), band.groups);
            set(hm::bandParam(i, hm::kBandType), band.type);
            set(hm::bandParam(i, hm::kBandSubtype), band.subtype);
            set(hm::bandParam(i, hm::kBandGain), band.gainDb);
            set(hm::bandParam(i, hm::kBandFrequency), band.frequency);
            set(hm::bandParam(i, hm::kBandQ), band.q);
            set(hm::bandParam(i, hm::kBandSlope), band.slope);
        }
    }

private:
    hm::Plug& plug_;
};

const std::vector<Preset>& presets() {
    static const std::vector<Preset> list = {
        {"Flat", {}},
        {"Low Cut 80 Hz", {{kHighPass, 80, 0, 0.707, kButterworth, 18}}},
        {"Vocal Presence",
         {{kHighPass, 90, 0, 0.707, kButterworth, 12},
          {kPeak, 300, -2.0, 1.0},
          {kPeak, 3200, 2.5, 0.9},
          {kHighShelf, 10000, 2.0, 0.707}}},
        {"Mastering Air", {{kHighShelf, 14000, 1.5, 0.6}, {kLowShelf, 40, 0.5, 0.6}}},
        // Side channel only (group 2): brighter sides, no side below 120 Hz.
        {"Mid/Side Widening",
         {{kHighShelf, 6000, 2.5, 0.707, kKes, 12, 0x40}, {kHighPass, 120, 0, 0.707, kButterworth, 12, 0x40}}},
        {"Kick Punch", {{kPeak, 60, 3.0, 1.2}, {kPeak, 350, -3.5, 1.4}, {kPeak, 4000, 2.0, 1.0}}},
        {"Clear The Mud", {{kPeak, 250, -3.0, 1.4}, {kPeak, 500, -1.5, 1.0}}},
        {"Telephone", {{kHighPass, 400, 0, 0.707, kButterworth, 24}, {kLowPass, 3400, 0, 0.707, kButterworth, 24},
                       {kPeak, 1500, 4.0, 0.8}}},
    };
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: harmoniform-factorybank OUT.hmp\n");
        return 2;
    }
    // Start from built-in defaults, whatever banks this user has.
    ::setenv("XDG_DATA_HOME", "/nonexistent-harmoniform-factory", 1);
    ::setenv("XDG_CONFIG_HOME", "/nonexistent-harmoniform-factory", 1);
    hm::Plug plug(&quietHost);
    Writer writer(plug);
    const auto& list = presets();
    for (std::size_t p = 0; p < list.size(); ++p) {
        plug.setProgram(static_cast<int>(p));
        writer.apply(list[p]);
        plug.setProgramNameAt(list[p].name, static_cast<int>(p));
    }
    plug.setProgram(0);
    // Plain text: readable and diffable; readers accept both forms.
    const std::string text = plug.writeState(false);
    if (!hm::platform::writeFileAtomically(argv[1], text)) {
        std::fprintf(stderr, "harmoniform-factorybank: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
