#include "core/params/Conversion.h"

#include <cmath>

namespace hm {
namespace {

double clampTo(double v, double lo, double hi) {
    if (std::isnan(v)) return lo;
    return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace

double realToNormalisedBase(int kind, double lo, double hi, double real) {
    const double v = clampTo(real, lo, hi);
    const double span = hi - lo;
    double x = 0.0;
    switch (kind) {
        case kKindLinear: x = span != 0.0 ? (v - lo) / span : 0.0; break;
        case kKindLog: x = (lo > 0.0 && hi > lo) ? std::log(v / lo) / std::log(hi / lo) : 0.0; break;
        case kKindSquare: x = span != 0.0 ? std::sqrt((v - lo) / span) : 0.0; break;
        case kKindCube: x = span != 0.0 ? std::cbrt((v - lo) / span) : 0.0; break;
        case kKindInteger:
        case kKindSteps6:
        case kKindSteps12: x = (v - lo) / (span + 1.0); break;
        case kKindSwitch: x = span != 0.0 ? (v - lo) / span : 0.0; break;
        case kKindBipolarCube: {
            const double d = span != 0.0 ? 2.0 * (v - lo) / span - 1.0 : 0.0;
            x = std::copysign(std::cbrt(std::fabs(d)), d) * 0.5 + 0.5;
            break;
        }
        case kKindOctaves:
            x = (lo > 0.0 && hi > lo) ? std::floor(std::log(v / lo)) / std::log(hi / lo) : 0.0;
            break;
        default: return 0.0;
    }
    return clampTo(x, 0.0, 1.0);
}

double normalisedToRealBase(int kind, double lo, double hi, double normalised) {
    const double x = clampTo(normalised, 0.0, 1.0);
    const double span = hi - lo;
    double v = 0.0;
    switch (kind) {
        case kKindLinear: v = lo + x * span; break;
        case kKindLog: v = (lo > 0.0 && hi > 0.0) ? lo * std::exp(x * std::log(hi / lo)) : lo; break;
        case kKindSquare: v = lo + x * x * span; break;
        case kKindCube: v = lo + x * x * x * span; break;
        // The small offset keeps the integer round trip exact despite float storage.
        case kKindInteger: v = std::floor(lo + x * (span + 1.0) + 0.00001); break;
        case kKindSteps6: {
            const double n = std::floor(lo + x * (span + 1.0) + 0.5);
            v = n - std::fmod(n, 6.0);
            break;
        }
        case kKindSwitch: v = std::floor(lo + x * span); break;  // on only at exactly 1.0
        case kKindSteps12: {
            const double n = std::floor(lo + x * (span + 1.0));
            v = n - std::fmod(n, 12.0);
            break;
        }
        case kKindBipolarCube: {
            const double w = 2.0 * x - 1.0;
            v = lo + span * (w * w * w * 0.5 + 0.5);
            break;
        }
        case kKindOctaves:
            v = (lo > 0.0 && hi > lo) ? std::floor(std::exp2(std::floor(x * std::log(hi / lo) / std::log(2.0))) * lo)
                                      : lo;
            break;
        default: return 0.0;
    }
    return clampTo(v, lo, hi);
}

}  // namespace hm
