#include "gui/views/PhaseCurves.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "dsp/PrototypeResponse.h"
#include "dsp/design/ParallelSum.h"
#include "dsp/design/Prototype.h"

namespace hm::gui::phase {

namespace {

using Complex = std::complex<double>;

struct Prototype {
    dsp::AnalogSection sections[dsp::kMaxSections];
    int count = 0;
    double rho = 1.0;  // phase scale
    bool parallel = false;

    Prototype(const graph::BandSet& set, int band, bool freePhase) {
        const graph::GraphBand& g = set.bands[band];
        dsp::BandSettings s = g.settings;
        s.disabled = false;
        count = dsp::prototypeFor(s, sections);
        parallel = dsp::summedInParallel(set.parallelMode, s.type);
        if (freePhase && !parallel) rho = std::isfinite(s.phase) ? s.phase : 0.0;
    }

    // H at f (Hz), its phase scaled by rho: |H|·e^{jρ·arg H} with arg H the
    // unwrapped sum of the section phases.
    Complex at(double hz) const {
        const double m = dsp::analogMagnitude(sections, count, hz);
        const double a = dsp::analogPhase(sections, count, hz) * rho;
        return std::polar(m, a);
    }
};

float turns(Complex h) { return static_cast<float>(std::atan2(h.imag(), h.real()) / (2.0 * std::numbers::pi)); }

}  // namespace

void computePhaseCurves(const graph::BandSet& set, int view, bool freePhase, const std::vector<double>& hz,
                        PhaseCurves& out) {
    const std::size_t n = hz.size();
    out.total.assign(n, 0.f);
    out.bands.clear();
    std::vector<Complex> series(n, Complex(1.0, 0.0)), sum(n, Complex(1.0, 0.0));
    for (int b = 0; b < graph::kGraphBands; ++b) {
        const graph::GraphBand& g = set.bands[b];
        if (g.state != 2 || !graph::inView(g, view)) continue;
        const Prototype p(set, b, freePhase);
        BandCurve curve;
        curve.band = b;
        curve.turns.resize(n);
        for (std::size_t x = 0; x < n; ++x) {
            const Complex h = p.at(hz[x]);
            curve.turns[x] = turns(h);
            if (p.parallel) sum[x] += h - 1.0;
            else series[x] *= h;
        }
        curve.centre = turns(p.at(g.settings.frequency));
        out.bands.push_back(std::move(curve));
    }
    for (std::size_t x = 0; x < n; ++x) out.total[x] = turns(series[x] * sum[x]);
}

float bandPhaseAt(const graph::BandSet& set, int band, bool freePhase, double hz) {
    if (band < 0 || band >= graph::kGraphBands) return 0.f;
    return turns(Prototype(set, band, freePhase).at(hz));
}

}  // namespace hm::gui::phase
