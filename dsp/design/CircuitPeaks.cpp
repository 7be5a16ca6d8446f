// Circuit peaks: the transfer functions of two hardware peaking bands, solved
// symbolically from their component values with the gain and Q pots in place
// (pot positions from the band's gain and Q). Written in the prototype variable:
// both are unity at DC and at high frequencies, boosting or cutting around w = 1.
#include "dsp/design/CircuitControls.h"
#include "dsp/design/PrototypeParts.h"

namespace hm::dsp::design {

// "4kg": a 22k boost/cut pot across a series resonant network whose damping comes
// from the Q pot (f, the Q pot's share of 10k) and a gyrator-style gain term g.
AnalogSection peak4kg(double gainDb, double q)
{
    const double pq = qPotPosition(q);
    const double pg = gainPotPosition(gainDb);
    const double f = (1.0 - pq) * 10.0;
    const double g = ((10.0 - f) * 4.0 * f + (f + 16.5) * 100.0 + 39.75) / ((10.0 - f + 16.5) * 100.0);
    const double h = pg * 22000.0;   // boost side of the gain pot
    const double l = (1.0 - pg) * 22000.0;  // cut side
    const double k = 1.0 / 22000.0;

    AnalogSection s;
    s.n2 = s.d2 = g * (h * l + 4.84e8) * 22000.0 * k * k;
    const double o = l * g * h;
    const double F = (f + 2.2) * 5.11 / 13.662 - 1.0;
    const double Fp = 2.0 * (F * g + F + g) + 1.0;
    s.n1 = (o + (2.0 * 22000.0 * g + h * Fp - l) * 22000.0) * k;
    s.d1 = ((2.0 * 22000.0 * g + l * Fp - h) * 22000.0 + o) * k;
    s.n0 = s.d0 = 22000.0 * g;
    return s;
}

// "250": the coefficients as polynomials in the gain pot resistance f (50k) and
// the Q pot resistance g (5k), factored around their roots.
AnalogSection peak250(double gainDb, double q)
{
    const double d = gainPotPosition(gainDb);
    const double e = qPotPosition(q);
    const double f = (1.0 - d) * 50000.0;
    const double g = (1.0 - e) * 5000.0;

    const double H = 6.117274999999999e-15 * f * f * (g - 307539.8241346352) * (g + 50312.647818383404);
    const double L = 3.0586374999999997e-10 * f;
    const double M = H - 6.1780299999999995e-6 * (g - 617020.6419680648) * (g + 17266.246149332663) -
                     L * (g - 167265.47963533862) * (g + 91397.45424821785);
    const double D = L * (g - 471777.10036520683) * (g + 33190.77311982369) - H +
                     6.1780299999999995e-6 * (g - 201426.43940344805) * (g + 50611.18761606602);
    const double O = 5.569567864335611e-14 * f * f * (g - 482433.69489674416) * (g + 948.0311656340177);
    const double P = 2.7847839321678058e-9 * f;

    AnalogSection s;
    s.n2 = s.n0 = -M;
    s.d2 = s.d0 = D;
    s.n1 = -(O - P * (g - 121710.15494018616) * (g + 728.1238879906888) -
             0.00005624880489044235 * (g - 1174186.3776707358) * (g + 1002.5354231803408));
    s.d1 = 0.00005624880489044235 * (g - 281725.7563422302) * (g + 938.4065425976552) - O +
           P * (g - 842969.2897443678) * (g + 979.9933343428124);
    return s;
}

}  // namespace hm::dsp::design
