// The filter bank's design side: settings, recalculation and response queries.
#include "dsp/EQBank.h"

#include "dsp/fir/Window.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>

#include "dsp/BankAudioSide.h"
#include "dsp/DigitalResponse.h"
#include "dsp/PrototypeResponse.h"
#include "dsp/design/ParallelSum.h"

namespace hm::dsp {

EQBank::EQBank()
    : window(8192, 1.0),
      published(std::make_unique<BankSnapshot>()),
      fir(std::make_unique<FirWorker>()),
      audio(std::make_unique<AudioSide>()) {
    firWindow.windowParam = compensationWindow.windowParam = mapWindowParam(10, 0.5f);
    setSampleRate(44100.0f);
    setChannelCount(2);
}

EQBank::~EQBank() { setChannelCount(0); }

EQ* EQBank::getFilter(int band, int channel) const {
    if (band < 0 || band >= bandCount || channel < 0 || channel >= channelCount) return nullptr;
    return filterAt(band, channel);
}

void EQBank::setChannelCount(int n) {
    if (n < 0 || n > kBankMaxChannels || n == channelCount) return;
    filters.clear();
    impulses.clear();
    channelCount = n;
    if (n == 0) return;
    filters.reserve(static_cast<std::size_t>(bandCount * n));
    for (int i = 0; i < bandCount * n; ++i) {
        auto f = std::make_unique<VerdanseEQ>();
        f->setUnity(true);
        f->setSampleRate(sampleRate);  // new objects start at the bank's rate, not the default
        filters.push_back(std::move(f));
    }
    for (int c = 0; c < n; ++c) impulses.push_back(std::make_unique<double[]>(static_cast<std::size_t>(irLength)));
    impulseSerial = 0;
    // The audio side starts the new grid from clean filter memories.
    published->resetSerial++;
    requireFreshStages();
    publishPending = true;
    firDirty = true;
}

void EQBank::requireFreshStages() {
    ++freshLong;
    ++freshCompensation;
}

int EQBank::runningLatency() const { return mode >= kModeFullMinimum ? fir->installedLatency(freshLong) : 0; }

bool EQBank::recoverStages() {
    if (!stageFault.exchange(false, std::memory_order_acq_rel)) return false;
    requireFreshStages();
    firDirty = true;
    publishPending = true;
    recalc(true);
    return true;
}

void EQBank::setSampleRate(float hz) {
    if (!(hz > 0.0f) || !std::isfinite(hz)) return;
    sampleRate = hz;
    for (auto& f : filters) f->setSampleRate(hz);
    // Filter memories and convolver histories start afresh at the next block.
    published->resetSerial++;
    requireFreshStages();
    publishPending = true;
    firDirty = true;
}

void EQBank::setMode(int m) {
    // A stage that sat idle while another mode ran holds input of long ago.
    if (m >= 2 && mode < 2) ++freshLong;
    if (m == 1 && mode != 1) ++freshCompensation;
    modeChanged = m != mode;
    mode = m;
    firActive = m != 0;
    recalc(true);
}

void EQBank::setParallelMode(int m) {
    parallelMode = m != 0;
    parallelSetting = m;
    for (int b = 0; b < bandCount; ++b) {
        for (int c = 0; c < channelCount; ++c) {
            VerdanseEQ* f = filterAt(b, c);
            bool p = summedInParallel(m, f->getType());
            if (f->getDisabled() || f->getIdentity()) p = false;
            f->setParallel(p ? 1 : 0);
        }
    }
}

bool EQBank::setLinked(bool value) {
    const unsigned char next = value && channelCount == 2;
    if (next != linked) firDirty = true;
    linked = next;
    return linked != 0;
}

template <typename Fn>
void EQBank::forChannels(int band, int mask, Fn&& fn) {
    if (band < 0 || band >= bandCount) return;
    for (int c = 0; c < channelCount; ++c)
        if (mask == -1 || ((mask >> c) & 1)) fn(*filterAt(band, c));
}

void EQBank::setDisabled(int v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setDisabled(v); }); }
void EQBank::setType(int v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setType(v); }); }
void EQBank::setSubtype(int v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setSubtype(v); }); }
void EQBank::setFrequency(float v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setFrequency(v); }); }
void EQBank::setSlope(int v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setSlope(v); }); }
void EQBank::setGain(float v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setGain(v); }); }
void EQBank::setQ(float v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setQ(v); }); }
void EQBank::setShift(float v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setShift(v); }); }
void EQBank::setPhase(float v, int b, int m) { forChannels(b, m, [v](VerdanseEQ& f) { f.setPhase(v); }); }

void EQBank::recalc(bool force) {
    if (!force) return;
    bool dirty = modeChanged != 0;
    for (const auto& f : filters) dirty = dirty || f->isDirty();
    const bool firWanted = firActive && mode >= 1 && (dirty || firDirty);
    if (!dirty && !publishPending && !firWanted) return;

    // The FIR modes design the recursive filters too: their prototypes and their
    // unity flags (which decide the parallel routing) are what the FIR is built from,
    // and the recursive bands are current when the mode goes back to IIR.
    if (dirty) {
        designBands();
        if (parallelMode) {
            // Routing depends on whether a band's design is unity. A band that just
            // left (or reached) unity joins (or leaves) the parallel sum now rather
            // than at some later update that may never come.
            setParallelMode(parallelSetting);
            bool rerouted = false;
            for (const auto& f : filters) rerouted = rerouted || f->isDirty();
            if (rerouted) designBands();
        }
    }
    modeChanged = 0;
    if (firWanted) {
        if (firBuildsHeld)
            firDirty = true;  // posted by the next recalc without the hold
        else
            postFirBuild();
    }
    ++recalcs;
    publish();
}

void EQBank::postFirBuild() {
    FirRequest r;
    r.mode = mode;
    const bool compensation = mode == 1;
    r.length = compensation ? compensationLength : irLength;
    r.padFactor = padFactor;
    r.sampleRate = sampleRate;
    const WindowRecord& w = compensation ? compensationWindow : firWindow;
    r.windowType = w.windowType;
    r.windowParam = w.windowParam;
    r.channels = channelCount;
    r.linked = linked != 0;
    r.generation = compensation ? freshCompensation : freshLong;
    const int built = linked ? 1 : channelCount;
    r.sources.resize(static_cast<std::size_t>(built));
    for (int c = 0; c < built; ++c) {
        BankResponse& src = r.sources[static_cast<std::size_t>(c)];
        src.sampleRate = sampleRate;
        for (int b = 0; b < bandCount; ++b) src.add(*filterAt(b, c));
    }
    fir->post(std::move(r));
    if (!compensation) fillDisplayWindow(firWindow, mode, window.data(), irLength);
    firDirty = false;
}

void EQBank::designBands() {
    for (int b = 0; b < bandCount; ++b) {
        const VerdanseEQ* designed = nullptr;
        for (int c = 0; c < channelCount; ++c) {
            VerdanseEQ* f = filterAt(b, c);
            if (f->getDisabled()) {
                f->design();          // glides to unity
                f->buildPrototype();  // settles the dirty mark, so idle bands cost nothing next time
            } else if (!designed) {
                // Each band is designed once; its other channels share the design.
                f->design();
                designed = f;
            } else {
                f->buildPrototype();  // keeps the prototype current and clears the dirty mark
                f->adoptDesign(*designed);
            }
        }
    }
}

void EQBank::publish() {
    BankSnapshot& p = *published;
    for (int c = 0; c < channelCount; ++c) {
        for (int b = 0; b < bandCount; ++b) {
            const VerdanseEQ* f = filterAt(b, c);
            // The audio side runs H for every band and takes the dry signal off a
            // parallel one (a unity H adds nothing).
            BandCoefficients next;
            next.sections = f->getWholeCoefficients(next.coeffs);
            next.identity = f->getIdentity();
            next.parallel = f->getParallel();
            BandCoefficients& e = p.entries[c][b];
            const bool same = e.sections == next.sections && e.identity == next.identity &&
                              e.parallel == next.parallel &&
                              std::memcmp(e.coeffs, next.coeffs, sizeof(double) * kBiquadCoefficients *
                                                                     static_cast<std::size_t>(next.sections)) == 0;
            if (!same || publishPending) {
                next.generation = e.generation + 1;
                e = next;
            }
        }
    }
    p.mode = mode;
    p.freshLong = freshLong;
    p.freshCompensation = freshCompensation;
    p.channels = channelCount;
    p.parallelMode = parallelMode;
    p.firActive = firActive;
    p.linked = linked;
    p.serial++;
    // Only the rows of the channels in use travel: the audio side reads no others,
    // and a channel-count change republishes every row with a new generation.
    BankSnapshot& back = handover.back();
    std::memcpy(static_cast<void*>(&back), &p, offsetof(BankSnapshot, entries));
    std::memcpy(static_cast<void*>(back.entries), p.entries, sizeof p.entries[0] * static_cast<std::size_t>(channelCount));
    handover.publish();
    publishPending = false;
}

const double* EQBank::getImpulse(int channel) const {
    if (!firActive || channelCount == 0 || impulses.empty()) return nullptr;
    fir->takeImpulses(impulseSerial, irLength, impulses);
    const int c = linked ? 0 : ((channel % channelCount) + channelCount) % channelCount;
    return impulses[static_cast<std::size_t>(c)].get();
}

std::uint64_t EQBank::getImpulseSerial() const {
    if (!firActive || channelCount == 0 || impulses.empty()) return 0;
    fir->takeImpulses(impulseSerial, irLength, impulses);
    return impulseSerial;
}

float EQBank::getEffectiveQ(float fallback, int band) const {
    if (band < 0 || band >= bandCount) return fallback;
    for (int c = 0; c < channelCount; ++c)
        if (!filterAt(band, c)->getDisabled()) return filterAt(band, c)->getEffectiveQ();
    return fallback;
}

void EQBank::setWindowType(int type) {
    const int before = firWindow.windowType;
    dsp::setWindowType(firWindow, type);
    if (firWindow.windowType != before) firDirty = true;
}

void EQBank::setWindowParam(float x) {
    const float before = firWindow.windowParam;
    dsp::setWindowParam(firWindow, x);
    if (firWindow.windowParam != before) firDirty = true;
}

void EQBank::setPadFactor(int factor) {
    if (factor != padFactor) firDirty = true;
    padFactor = factor;
}

// A length change needs no wait here: the worker builds a stage of the new length
// and the hand-over frees the old one only after the audio thread let go of it.
void EQBank::setIRLength(int n) {
    if (n == irLength || n < 1) return;
    // The display copies of the new length first: without the memory for them the
    // bank keeps its length (and its stage), and says so.
    std::vector<std::unique_ptr<double[]>> fresh(impulses.size());
    std::vector<double> freshWindow;
    try {
        for (auto& ir : fresh) ir = std::make_unique<double[]>(static_cast<std::size_t>(n));
        freshWindow.assign(static_cast<std::size_t>(n), 1.0);
    } catch (const std::bad_alloc&) {
        lengthFailed = true;
        return;
    }
    lengthFailed = false;
    firActive = 0;
    impulses.swap(fresh);
    impulseSerial = 0;
    window.swap(freshWindow);
    irLength = n;
    // The mode stays: the latency it reports already follows the new length, and
    // firDirty makes the next setMode build the new stage.
    firDirty = true;
}

void EQBank::setCompensationLength(int n) {
    if (n == compensationLength || n < 1) return;
    firActive = 0;
    compensationLength = n;
    firDirty = true;
}

// --- Response queries ----------------------------------------------------------

void EQBank::analogueResponse(float hz, int channel, double& re, double& im) const {
    // Series bands multiply; parallel bands (summed as H - 1) add to the dry path.
    double sRe = 1.0, sIm = 0.0, pRe = 1.0, pIm = 0.0;
    for (int b = 0; b < bandCount; ++b) {
        const VerdanseEQ* f = filterAt(b, channel);
        if (f->getDisabled()) continue;
        const double m = prototypeMagnitude(*f, hz, false);
        const double a = prototypePhase(*f, hz);
        const double hRe = m * std::cos(a), hIm = m * std::sin(a);
        if (f->getParallel()) {
            pRe += hRe - 1.0;
            pIm += hIm;
        } else {
            const double r = sRe * hRe - sIm * hIm;
            sIm = sRe * hIm + sIm * hRe;
            sRe = r;
        }
    }
    re = sRe * pRe - sIm * pIm;
    im = sRe * pIm + sIm * pRe;
}

float EQBank::getAnalogueMagnitude(float hz, int channel) const {
    if (channel < 0 || channel >= channelCount) return 1.0f;
    if (!parallelMode) {
        double m = 1.0;
        for (int b = 0; b < bandCount; ++b) m *= prototypeMagnitude(*filterAt(b, channel), hz, false);
        return static_cast<float>(m);
    }
    double re, im;
    analogueResponse(hz, channel, re, im);
    return static_cast<float>(std::hypot(re, im));
}

float EQBank::getAnaloguePhase(float hz, int channel) const {
    if (channel < 0 || channel >= channelCount) return 0.0f;
    if (!parallelMode) {
        // Summed per band, unwrapped, so steep cascades read as a continuous phase.
        double p = 0.0;
        for (int b = 0; b < bandCount; ++b) p += prototypePhase(*filterAt(b, channel), hz);
        return static_cast<float>(p);
    }
    double re, im;
    analogueResponse(hz, channel, re, im);
    return static_cast<float>(std::atan2(im, re));
}

float EQBank::getDigitalMagnitude(float hz, int channel) const {
    if (channel < 0 || channel >= channelCount) return 1.0f;
    ChannelSum sum;
    for (int b = 0; b < bandCount; ++b) {
        const VerdanseEQ* f = filterAt(b, channel);
        ComplexValue h{1.0, 0.0};
        f->getResponse(hz, &h.re, &h.im);
        sum.add(h, f->getParallel() != 0, f->getIdentity() != 0);
    }
    const ComplexValue total = sum.total();
    return static_cast<float>(std::hypot(total.re, total.im));
}

float EQBank::getMagnitudeRatio(float hz, int channel) const {
    const float analogue = getAnalogueMagnitude(hz, channel);
    const float digital = getDigitalMagnitude(hz, channel);
    if (analogue == digital || digital == 0.0f) return 1.0f;
    return analogue / digital;
}

}  // namespace hm::dsp
