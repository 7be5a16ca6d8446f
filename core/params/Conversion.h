#pragma once
// The conversion kinds between a host-normalised value (0..1) and a parameter's
// real value. Integer kinds divide by (hi - lo + 1): a parameter with k values
// uses the normalised values 0, 1/k, ..., (k-1)/k, and 1.0 reaches hi through the
// final clamp. Non-finite input converts like the nearest bound would (NaN -> lo).

namespace hm {

enum ConversionKind : int {
    kKindLinear = 0,
    kKindLog = 1,
    kKindSquare = 2,
    kKindCube = 3,
    kKindInteger = 4,
    kKindSteps6 = 5,
    kKindSwitch = 6,
    kKindSteps12 = 7,
    kKindBipolarCube = 8,
    kKindOctaves = 9,
};

double realToNormalisedBase(int kind, double lo, double hi, double real);
double normalisedToRealBase(int kind, double lo, double hi, double normalised);

}  // namespace hm
