// Shelves of two further hardware models: the "550" first-order shelf, built from
// its switched resistor and capacitor tables, and the passive "Pultec" shelves
// (boost and cut networks with stepped frequency switches), which are computed in
// radians per second of the real circuit and pre-scaled to the prototype variable.
#include <algorithm>
#include <cmath>

#include "dsp/design/CircuitControls.h"
#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// "Pultec" low shelf: a boost network (capacitor Cb, boost pot H) and a cut
// network (capacitor Cc, cut pot K) acting together; with one of them at zero the
// circuit degenerates to first order.
int pultecLowShelf(double boost, double cut, double hz, AnalogSection out[kMaxSections])
{
    static const double kSwitchHz[] = {20, 30, 60, 100};
    static const double kBoostNf[] = {2200, 1000, 470, 330};
    static const double kCutNf[] = {100, 47, 22, 15};
    const int pos = switchPosition(kSwitchHz, 4, hz);
    const double cb = kBoostNf[pos] * 1e-9;
    const double cc = kCutNf[pos] * 1e-9;

    const double H = std::clamp(boost, 0.0, 1.0) * 10000.0;
    const double K = std::clamp(cut, 0.0, 1.0) * 100000.0;
    const double L = (H * K + 12000.0 * H + 1e7) * 13.1;
    const double R = (cc * K * (3.0 * H + 2500.0) * 4000.0 + cb * H * 1e7) * 13.1;
    const double T = H * K + 12000.0 * H + 1.31e8 + 11000.0 * K;
    const double U = cc * K * (3.0 * H + 32750.0) * 4000.0 + cb * H * 1.31e8 + cb * K * H * 11000.0;

    AnalogSection s;
    if (H * K != 0.0)
        s = secondOrder(cc * cb * H * K * 13.1 * 1e7, R, L, cc * cb * H * K * 1.31e8, U, T);
    else if (H != K)
        s = firstOrder(R, L, U, T);
    else
        return 0;
    // Move the switch position's response to the band frequency.
    const double v = hz / kSwitchHz[pos];
    s.n1 *= v;
    s.d1 *= v;
    s.n0 *= v * v;
    s.d0 *= v * v;
    substituteScaled(s, kTwoPi * hz);
    out[0] = s;
    return 1;
}

// "Pultec" high boost: series LC resonance with the boost pot R1 and the
// bandwidth pot R2; resonance placed at the band frequency.
int pultecHighBoost(double gainDb, double q, double hz, AnalogSection out[kMaxSections])
{
    static const double kSwitchHz[] = {3000, 4000, 5000, 8000, 10000, 12000, 16000};
    static const double kNf[] = {15, 15, 10, 10, 6.8, 6.8, 3.3};
    static const double kMh[] = {175, 100, 90, 65, 35, 23, 19};
    const int pos = switchPosition(kSwitchHz, 7, hz);
    const double a = std::clamp(gainDb / 18.0, 0.0, 1.0);
    const double w = std::clamp((q - 0.4) / 9.6, 0.0, 1.0);
    const double c = kNf[pos] * 1e-9;
    const double r1 = a * 10000.0;
    const double r2 = (1.0 - w) * 2200.0;
    const double lc = c * kMh[pos] * 0.001;
    const double m = 1.0 / (std::sqrt(lc) * kTwoPi * hz);

    AnalogSection s;
    s.n2 = s.d2 = m * m * lc;
    s.n1 = m * (r2 + r1) * c;
    s.d1 = m * c * (r2 + r1 * (1.0 - 3.0 * r1 / 32750.0));
    s.n0 = s.d0 = 1.0;
    substituteScaled(s, kTwoPi * hz);
    out[0] = s;
    return 1;
}

// "Pultec" high cut: first-order RC attenuator with the cut pot split F/G.
int pultecHighCut(double gainDb, double hz, AnalogSection out[kMaxSections])
{
    static const double kSwitchHz[] = {5000, 10000, 20000};
    static const double kNf[] = {197, 94, 47};
    const int pos = switchPosition(kSwitchHz, 3, hz);
    const double a = std::clamp(-gainDb / 18.0, 0.0, 1.0);
    const double c = kNf[pos] * 1e-9;
    const double F = a * 1000.0;
    const double G = (1.0 - a) * 1000.0;
    double n2 = (F * G + 75000.0) * c * 13.1;
    double d2 = c * ((4400.0 * F + 393000.0) * 2.5 + 2.1 * G * F);
    if (std::fabs(n2 - d2) < 1e-6) return 0;
    n2 *= kSwitchHz[pos] / hz;
    d2 *= kSwitchHz[pos] / hz;
    AnalogSection s = firstOrder(n2, 13100.0, d2, 13100.0);
    substituteScaled(s, kTwoPi * hz);
    out[0] = s;
    return 1;
}

}  // namespace

int pultecShelf(bool highShelf, bool cutModel, double gainDb, double q, double shift, double bandHz,
                AnalogSection out[kMaxSections])
{
    if (highShelf) return cutModel ? pultecHighCut(gainDb, bandHz, out) : pultecHighBoost(gainDb, q, bandHz, out);
    const double boost = cutModel ? shift * 0.01 : gainDb / 18.0;
    const double cut = cutModel ? -gainDb / 18.0 : shift * 0.01;
    return pultecLowShelf(boost, cut, bandHz, out);
}

// "550": one pole, one zero; the frequency table gives the capacitor factor k and
// feedback resistor Rf, the gain table the gain resistor Rg; the boost lifts the
// shelf side's numerator term by (Rg/Rf' + 1), the cut the denominator's.
AnalogSection shelf550(bool highShelf, double gainDb, double bandHz)
{
    if (gainDb == 0.0) return unitySection();
    const double d = std::fabs(gainDb);
    const bool cut = gainDb < 0.0;

    static const double kHighHz[] = {5000, 7000, 10000, 12500, 15000};
    static const double kHighK[] = {6.65, 4.85, 3.35, 2.67, 2.2};
    static const double kHighRf[] = {22640, 18580, 13220, 9390, 6650};
    static const double kLowHz[] = {50, 100, 200, 300, 400};
    static const double kLowK[] = {90.5, 43.5, 21.5, 14.7, 10};
    static const double kLowRf[] = {26540, 17230, 12810, 8890, 6340};
    static const double kGainDb[] = {2, 4, 6, 9, 12};
    static const double kRg[] = {6980, 10460, 13780, 18310, 23180};

    const double* rf = highShelf ? kHighRf : kLowRf;
    const double k = interpolateInverseTails(highShelf ? kHighHz : kLowHz, highShelf ? kHighK : kLowK, 5, bandHz);
    double rg, rfp;
    if (d < kGainDb[0]) {
        rg = d * kRg[0] / kGainDb[0];
        rfp = rf[0] * kGainDb[0] / d;
    } else if (d > kGainDb[4]) {
        rg = d * kRg[4] / kGainDb[4];
        rfp = rf[4] * kGainDb[4] / d;
    } else {
        rg = interpolateClamped(kGainDb, kRg, 5, d);
        rfp = interpolateClamped(kGainDb, rf, 5, d);
    }
    const double m = k * kTwoPi * bandHz * (highShelf ? rfp : rg) * 1e-9;
    AnalogSection s = firstOrder(m, 1.0, m, 1.0);
    const double lift = rg / rfp + 1.0;
    if (!cut)
        (highShelf ? s.n2 : s.n1) *= lift;
    else
        (highShelf ? s.d2 : s.d1) *= lift;
    return s;
}

}  // namespace hm::dsp::design
