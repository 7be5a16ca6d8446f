#include "dsp/BankResponse.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "dsp/DF1Cascade.h"
#include "dsp/DigitalResponse.h"
#include "dsp/PrototypeResponse.h"

namespace hm::dsp {

void BankResponse::add(const DF1Cascade& filter)
{
    // Disabled and typeless bands run as unity.
    if (filter.getDisabled() || filter.getType() == kTypeNone) return;
    BankBand b;
    b.prototypeCount = filter.getPrototypeCount();
    if (b.prototypeCount < 1 || b.prototypeCount > kMaxSections) b.prototypeCount = 1;
    std::memcpy(b.prototype, filter.getPrototype(), sizeof(AnalogSection) * static_cast<std::size_t>(b.prototypeCount));
    b.sections = filter.getCoefficients(&b.coeffs[0][0]);
    b.parallel = filter.getParallel() != 0;
    b.identity = filter.getIdentity() != 0;
    b.phase = filter.getPhase();
    bands.push_back(b);
}

void BankResponse::analogue(int band, double df, int count, double* magnitude, double* phase) const
{
    const BankBand& b = bands[static_cast<std::size_t>(band)];
    for (int i = 0; i < count; ++i) {
        const double f = df * i;
        magnitude[i] = analogMagnitude(b.prototype, b.prototypeCount, f);
        phase[i] = analogPhase(b.prototype, b.prototypeCount, f);
    }
}

void BankResponse::digital(int band, double df, int count, double* response) const
{
    const BankBand& b = bands[static_cast<std::size_t>(band)];
    if (b.parallel && b.identity) {
        // A parallel band designed to unity runs as silence (H - 1 = 0).
        std::memset(response, 0, sizeof(double) * 2 * static_cast<std::size_t>(count));
        return;
    }
    const double toRadians = 2.0 * std::numbers::pi / sampleRate;
    for (int i = 0; i < count; ++i)
        cascadeResponse(b.coeffs, b.sections, toRadians * df * i, &response[2 * i], &response[2 * i + 1]);
}

}  // namespace hm::dsp
