#include "gui/views/BandResponses.h"

#include <cmath>
#include <cstring>

#include "dsp/VerdanseEQ.h"
#include "dsp/design/ParallelSum.h"

namespace hm::gui::graph {
namespace {

bool sameSettings(const dsp::BandSettings& a, const dsp::BandSettings& b) {
    return a.type == b.type && a.subtype == b.subtype && a.slope == b.slope && a.frequency == b.frequency &&
           a.gain == b.gain && a.q == b.q && a.shift == b.shift && a.phase == b.phase;
}

float dbOf(double re, double im) {
    const double p = re * re + im * im;
    return p > 0.0 ? static_cast<float>(10.0 * std::log10(p)) : -200.f;
}

}  // namespace

void queryResponses(const dsp::EQ& filter, const double* hz, int count, double* re, double* im) {
    for (int i = 0; i < count; ++i) filter.getResponse(hz[i], &re[i], &im[i]);
}

struct BandResponses::Band {
    dsp::VerdanseEQ filter;
    dsp::BandSettings settings;
    bool current = false;
    std::vector<double> re, im;
    std::vector<float> db;
    double centreDb = 0.0;
};

BandResponses::BandResponses() {
    for (int b = 0; b < kGraphBands; ++b) bands_.push_back(std::make_unique<Band>());
}

BandResponses::~BandResponses() = default;

void BandResponses::setColumns(std::vector<double> hz) {
    hz_ = std::move(hz);
    for (auto& b : bands_) {
        b->re.assign(hz_.size(), 1.0);
        b->im.assign(hz_.size(), 0.0);
        b->db.assign(hz_.size(), 0.f);
        b->current = false;
    }
}

void BandResponses::invalidate() {
    for (auto& b : bands_) b->current = false;
}

std::uint32_t BandResponses::update(const BandSet& set, std::uint32_t wanted) {
    const bool rateChanged = set.sampleRate != sampleRate_;
    sampleRate_ = set.sampleRate;
    std::uint32_t changed = 0;
    const int n = columns();
    for (int i = 0; i < kGraphBands; ++i) {
        if (!((wanted >> i) & 1u)) continue;
        Band& b = *bands_[static_cast<std::size_t>(i)];
        const dsp::BandSettings& s = set.bands[i].settings;
        if (b.current && !rateChanged && sameSettings(b.settings, s)) continue;
        dsp::VerdanseEQ& f = b.filter;
        if (rateChanged || !b.current) f.setSampleRate(static_cast<float>(sampleRate_));
        f.setType(s.type);
        f.setSubtype(s.subtype);
        f.setSlope(s.slope);
        f.setFrequency(s.frequency);
        f.setGain(s.gain);
        f.setQ(s.q);
        f.setShift(s.shift);
        f.setPhase(s.phase);
        f.setParallel(0);
        f.setDisabled(0);
        f.design();
        queryResponses(f, hz_.data(), n, b.re.data(), b.im.data());
        for (int x = 0; x < n; ++x) b.db[static_cast<std::size_t>(x)] = dbOf(b.re[x], b.im[x]);
        double re = 1.0, im = 0.0;
        f.getResponse(s.frequency, &re, &im);
        b.centreDb = std::max(-120.0, 10.0 * std::log10(std::max(re * re + im * im, 1e-12)));
        b.settings = s;
        b.current = true;
        changed |= 1u << i;
    }
    return changed;
}

const double* BandResponses::re(int band) const { return bands_[static_cast<std::size_t>(band)]->re.data(); }
const double* BandResponses::im(int band) const { return bands_[static_cast<std::size_t>(band)]->im.data(); }
const float* BandResponses::db(int band) const { return bands_[static_cast<std::size_t>(band)]->db.data(); }
double BandResponses::centreDb(int band) const { return bands_[static_cast<std::size_t>(band)]->centreDb; }

void BandResponses::viewTotal(const BandSet& set, int view, float* outDb) const {
    const int n = columns();
    std::vector<const Band*> series, parallel;
    for (int i = 0; i < kGraphBands; ++i) {
        const GraphBand& g = set.bands[i];
        const Band* b = bands_[static_cast<std::size_t>(i)].get();
        if (g.state != 2 || !inView(g, view) || !b->current) continue;
        (dsp::summedInParallel(set.parallelMode, g.settings.type) ? parallel : series).push_back(b);
    }
    for (int x = 0; x < n; ++x) {
        // Series bands multiply as magnitudes; the parallel sum needs the phase.
        double power = 1.0;
        for (const Band* b : series) power *= b->re[x] * b->re[x] + b->im[x] * b->im[x];
        if (!parallel.empty()) {
            double pr = 1.0, pi = 0.0;
            for (const Band* b : parallel) {
                pr += b->re[x] - 1.0;
                pi += b->im[x];
            }
            power *= pr * pr + pi * pi;
        }
        outDb[x] = power > 0.0 ? static_cast<float>(10.0 * std::log10(power)) : -200.f;
    }
}

}  // namespace hm::gui::graph
