// Console shelves modelled from their circuits: the "4kg" and "110" high and low
// shelves. The high shelves are one second-order section; the low shelves are
// fourth-order circuits split into two sections by the quartic factoring.
#include <cmath>

#include "dsp/design/CircuitControls.h"
#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// "4kg" high shelf: the frequency pot (47k, 1.5..16 kHz) and the gain pot (22k)
// in a bridged network, in radians per second of the real circuit. Outside the
// pot's range the response is shifted by x instead.
AnalogSection highShelf4kg(double gainDb, double hz)
{
    const double g = (1.0 - gainPotPosition(gainDb)) * 22000.0;
    const double x = hz < 1500.0 ? hz / 1500.0 : (hz > 16000.0 ? hz / 16000.0 : 1.0);
    const double l = std::clamp((hz - 1500.0) / 14500.0, 0.0, 1.0);
    const double m = (1.0 - l) * 47000.0;

    AnalogSection s;
    s.n0 = s.d0 = 22000.0;
    s.n1 = s.d1 = 0.0005874 * m - 2.67e-8 * (g - 26053.23885414697) * (g + 4053.2388541469713);
    const double r = 3.2237768999999995e-16 * g;
    const double t = 3.5644499999999997e-16 * m;
    s.n2 = m * m * (7.84179e-12 - r) -
           1.7109359999999999e-12 * (g - 22397.02704921691) * (g + 5009.593679412309) -
           t * (g - 22658.487027073348) * (g + 9612.293645205176);
    s.d2 = m * m * (r + 7.494808200000001e-13) -
           1.7109359999999999e-12 * (g - 27009.593679412304) * (g + 397.0270492169061) -
           t * (g - 31612.293645205176) * (g + 658.4870270733459);
    substituteScaled(s, kTwoPi * hz / x);
    return s;
}

// "4kg" low shelf: frequency pot (47k + 2.2k, 30..450 Hz) and gain pot. The two
// quartics are written in the reciprocal variable (constant term first), so each
// factor y^2 + p y + q becomes the section s^2 + (p/q) s + 1/q.
int lowShelf4kg(double gainDb, double hz, AnalogSection out[kMaxSections])
{
    const double g = (1.0 - gainPotPosition(gainDb)) * 22000.0;
    const double x = hz < 30.0 ? hz / 30.0 : (hz > 450.0 ? hz / 450.0 : 1.0);
    const double l = std::clamp((hz - 30.0) / 420.0, 0.0, 1.0);
    const double o = (1.0 - l) * 47000.0 + 2200.0;

    const double g2 = g * g;
    const double M = 4.006383e-9 * g2;
    const double R = g2 * (1.943096e-15 * o + 9.301788000000001e-9);
    const double T = g2 * 2.8245000000000003e-23 * (o + 3226.9054001520954) * (o + 159716263.26985207);
    const double U = o + 134.49592158457483;
    const double V = o + 104405.79415746297;
    const double c1 = 1.58791486e-13 * (o + 20.37180647106227) * (o + 3129.2811793319675) +
                      g * V * U * 1.4417752800000001e-18 - g2 * V * U * 6.553524000000001e-23;
    const double c0 = g * o * (9.515446600000001e-23 * o + 9.515446600000001e-18) +
                      o * (9.5630238e-18 * o + 4.7577222e-15) -
                      g2 * o * (4.3252030000000004e-27 * o + 4.325203000000001e-22);

    const double num[5] = {
        0.0000881404 * g + 9.70747 - M,
        g * (2.920631200000001e-11 * o - 0.000663765) + 4.6945799e-6 * o + 21.655349 - R,
        g * 6.213900000000003e-19 * (o - 524058022.96267337) * (o - 983.458414631138) +
            6.8437636e-14 * (o + 99.69372658171919) * (o + 153411320.0110686) - T,
        c1, c0};
    const double den[5] = {
        0.000088140426 * g + 9.7074665 - M,
        g * (5.628991199999997e-11 * o + 0.0010730436960000001) + 4.3966603e-6 * o + 2.55045308 - R,
        g * 6.213900000000003e-19 * (o + 611.0146720671299) * (o + 843497375.7569202) +
            6.8437636e-14 * (o + 909.059867865598) * (o + 16824135.27684768) - T,
        c1, c0};

    double p1, q1, p2, q2, r1, t1, r2, t2;
    if (!factorQuartic(num, &p1, &q1, &p2, &q2) || !factorQuartic(den, &r1, &t1, &r2, &t2)) return 0;
    out[0] = secondOrder(1.0, p2 / q2, 1.0 / q2, 1.0, r1 / t1, 1.0 / t1);
    out[1] = secondOrder(1.0, p1 / q1, 1.0 / q1, 1.0, r2 / t2, 1.0 / t2);
    const double c = kTwoPi * hz / x;
    substituteScaled(out[0], c);
    substituteScaled(out[1], c);
    return 2;
}

// "110" high shelf: capacitor pair chosen by the frequency switch, the boost/cut
// pot (22k) solved for the position m whose high-frequency gain is exactly the
// band gain (m = 0.5 is flat).
AnalogSection highShelf110(double gainDb, double hz)
{
    static const double kHz[] = {3300, 4700, 6800, 10000, 15000, 18000};
    static const double kC1[] = {0.068, 0.047, 0.033, 0.022, 0.015, 0.01};
    static const double kC2[] = {0.15, 0.1, 0.068, 0.047, 0.033, 0.025};
    const double c1 = interpolateInverseTails(kHz, kC1, 6, hz) * 0.001;
    const double c2 = interpolateInverseTails(kHz, kC2, 6, hz) * 0.001;

    const double H = std::pow(10.0, gainDb * 0.05);
    const double l = (H - 1.0) * 484.0;
    double m = 0.5;
    if (H != 1.0) {
        const double o = 704.0 * H - 264.0;
        const double c = (1.0 - H) * 0.82 * 32.82 + 220.0;
        m = (o - std::sqrt(std::fmax(o * o - c * 4.0 * l, 0.0))) / (2.0 * l);
    }
    const double r = kTwoPi * hz;
    const double t = r * r * c1 * c2 * 21.84;
    const double u = 22.82 - 22.0 * m;
    const double v = 22.0 * m + 0.82;

    AnalogSection s;
    s.n2 = t * u * (v + 10.0);
    s.n1 = r * ((v * u * 11.5 + 24.0 * u + 516.2976) * c1 + 516.2976 * c2);
    s.n0 = 271.86;
    s.d2 = t * v * (u + 10.0);
    s.d1 = r * (516.2976 * c2 + (v * u * 11.5 + 24.0 * v + 516.2976) * c1);
    s.d0 = 271.86;
    return s;
}

// "110" low shelf: fourth-order network, capacitor by frequency, gain pot split
// into h (cut) and l (boost) parts; DC gain (l + 3.4)/(h + 3.4).
int lowShelf110(double gainDb, double hz, AnalogSection out[kMaxSections])
{
    static const double kHz[] = {33, 56, 95, 160, 270, 460};
    static const double kC[] = {1470, 680, 330, 150, 68, 30};
    const double C = interpolateInverseTails(kHz, kC, 6, hz);
    const double pg = gainPotPosition(gainDb);
    const double h = (1.0 - pg) * 22.0;
    const double l = pg * 22.0;
    const double m = kTwoPi * hz * 1e-6;
    const double o = m * m;

    const double c4 = C * C * (h * l * 2064.0 + 54489.6) * o * o;
    const double c3 = C * (l * h * (C + 68.0) + 164.16 * C + 2323.2) * 43.0 * m * o;
    const double c2 = o * (C * (h * l * 43.0 + 10631.28) + 115.24 * C * C + 32164.0);
    const double num[5] = {c4, c3, c2, m * (C * (9.6 * l + 31.64) + 43.0 * l + 894.2), l + 3.4};
    const double den[5] = {c4, c3, c2, m * (C * (9.6 * h + 31.64) + 43.0 * h + 894.2), h + 3.4};

    double p1, q1, p2, q2, r1, t1, r2, t2;
    if (!factorQuartic(num, &p1, &q1, &p2, &q2) || !factorQuartic(den, &r1, &t1, &r2, &t2)) return 0;
    out[0] = secondOrder(1.0, p1, q1, 1.0, r1, t1);
    out[1] = secondOrder(1.0, p2, q2, 1.0, r2, t2);
    return 2;
}

}  // namespace

int shelf4kg(bool highShelf, double gainDb, double bandHz, AnalogSection out[kMaxSections])
{
    if (!highShelf) return lowShelf4kg(gainDb, bandHz, out);
    out[0] = highShelf4kg(gainDb, bandHz);
    return 1;
}

int shelf110(bool highShelf, double gainDb, double bandHz, AnalogSection out[kMaxSections])
{
    if (!highShelf) return lowShelf110(gainDb, bandHz, out);
    out[0] = highShelf110(gainDb, bandHz);
    return 1;
}

}  // namespace hm::dsp::design
