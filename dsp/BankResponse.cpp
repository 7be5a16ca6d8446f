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

bool BankResponse::sameAs(const BankResponse& other) const
{
    if (sampleRate != other.sampleRate || bands.size() != other.bands.size()) return false;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const BankBand& a = bands[i];
        const BankBand& b = other.bands[i];
        if (a.prototypeCount != b.prototypeCount || a.sections != b.sections || a.parallel != b.parallel ||
            a.identity != b.identity || a.phase != b.phase)
            return false;
        for (int k = 0; k < a.prototypeCount; ++k) {
            const AnalogSection& x = a.prototype[k];
            const AnalogSection& y = b.prototype[k];
            if (x.n2 != y.n2 || x.n1 != y.n1 || x.n0 != y.n0 || x.d2 != y.d2 || x.d1 != y.d1 || x.d0 != y.d0) return false;
        }
        for (int k = 0; k < a.sections; ++k)
            for (int j = 0; j < kBiquadCoefficients; ++j)
                if (a.coeffs[k][j] != b.coeffs[k][j]) return false;
    }
    return true;
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
