#include "core/BankAnalogue.h"

#include <algorithm>
#include <cmath>

#include "core/BandMapping.h"
#include "core/params/ParamIds.h"
#include "dsp/AnalogSection.h"
#include "dsp/PrototypeResponse.h"
#include "dsp/design/Prototype.h"

namespace hm {
namespace {

int whole(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

bool analogueResponseDb(const RealValues& realValue, const std::vector<double>& hz, std::vector<double>& db,
                        int channel) {
    db.clear();
    if (whole(realValue(kParallel)) != 0 || channel < 0 || channel >= kMaxChannels) return false;
    const double scale = realValue(kScale);
    const double shift = realValue(kFShift) * 0.01;

    struct Band {
        dsp::AnalogSection sections[dsp::kMaxSections];
        int count = 0;
    };
    std::vector<Band> bands;
    for (int b = 0; b < kNumBands; ++b) {
        const auto real = [&](int field) { return realValue(bandParam(b, field)); };
        if (whole(real(kBandState)) != 2) continue;
        if (!((whole(real(kBandGroups)) >> (7 - channel)) & 1)) continue;  // group g + 1 is bit 7 - g
        double fields[kParamsPerBand];
        for (int f = 0; f < kParamsPerBand; ++f) fields[f] = real(f);
        const dsp::BandSettings s = engineBandSettings(fields, scale, shift);
        Band band;
        band.count = dsp::prototypeFor(s, band.sections);
        if (band.count < 1) return false;
        bands.push_back(band);
    }
    const double level = realValue(channelParam(channel, kChannelLevel));
    const double offsetDb = realValue(kGain) + (level > 0.0 ? 20.0 * std::log10(level) : -300.0);
    for (double f : hz) {
        double magnitude = 1.0;
        for (const Band& band : bands) magnitude *= dsp::analogMagnitude(band.sections, band.count, f);
        db.push_back(20.0 * std::log10(std::max(magnitude, 1e-15)) + offsetDb);
    }
    return true;
}

}  // namespace hm
