#include "dsp/design/DigitalMapper.h"

#include <algorithm>
#include <cmath>

#include "dsp/PrototypeResponse.h"
#include "dsp/design/BiquadForms.h"
#include "dsp/design/ParallelSum.h"

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kUnityGainDb = 0.01;  // below this a peak or shelf is inaudible
constexpr double kMaxCentre = 0.4999;   // highest peaking centre, as a fraction of fs

double hzOf(double radiansSquared) { return std::sqrt(radiansSquared) / (2.0 * kPi); }

Biquad scaleNumerator(Biquad bq, double k)
{
    bq.b0 *= k;
    bq.b1 *= k;
    bq.b2 *= k;
    return bq;
}

bool finiteAndStable(const Biquad& bq)
{
    const bool finite = std::isfinite(bq.b0) && std::isfinite(bq.b1) && std::isfinite(bq.b2) &&
                        std::isfinite(bq.a1) && std::isfinite(bq.a2);
    return finite && std::fabs(bq.a2) < 1.0 && std::fabs(bq.a1) < 1.0 + bq.a2;
}

void fitTargetFrom(FitWorkspace& ws, const AnalogSection& section, bool reciprocal)
{
    for (int j = 0; j < kFitPoints; ++j) {
        double m = analogMagnitude(&section, 1, ws.fitOmega[j] * ws.fitRate);
        if (reciprocal) m = m > 1e-30 ? 1.0 / m : 1e30;
        ws.fitTarget[j] = static_cast<double>(static_cast<float>(m));
    }
}

// A section whose natural frequency lies below the fit grid's lowest point: the
// grid sees only its skirt, and a fit would trade the resonance it cannot see for
// gains it can. Its mapping is accurate there in any case (far below Nyquist).
bool belowFitGrid(const AnalogSection& s)
{
    const double naturalHz = (s.d0 != 0.0 ? std::sqrt(std::fabs(s.d0)) : std::fabs(s.d1)) / (2.0 * kPi);
    return naturalHz < kFitLowestHz;
}

// A resonance the fit grid cannot resolve (narrower than its spacing, below 0.45 fs):
// its direct mapping places it at its own frequency with its own width and height,
// and a fit, seeing one point of it at most, would chase the skirts instead, often
// drawing the poles onto the unit circle, tens of dB above the analogue peak. Only
// the poles count: a cut is fitted as the boost it inverts, whose poles are the
// cut's zeros, and there the fit's shaping of the shoulders near Nyquist is worth
// more than the depth of a dip. A general section (a "Kes" shelf, the halves of a
// "Butterworth" peak) is remapped with its poles as they are, and its zeros fitted.
bool sharpInBand(const MappedSection& m, const AnalogSection& s, double fs)
{
    if (m.kind != SectionClass::HighPass && m.kind != SectionClass::LowPass && m.kind != SectionClass::BandPass &&
        m.kind != SectionClass::Peak && m.kind != SectionClass::General)
        return false;
    return s.d0 > 0.0 && s.d1 != 0.0 &&
           sharpResonanceInBand(std::sqrt(s.d0) / (2.0 * kPi), std::sqrt(s.d0) / std::fabs(s.d1), fs);
}

bool sameSection(const AnalogSection& a, const AnalogSection& b)
{
    return a.n2 == b.n2 && a.n1 == b.n1 && a.n0 == b.n0 && a.d2 == b.d2 && a.d1 == b.d1 && a.d0 == b.d0;
}

}  // namespace

AnalogSection toRadiansPerSecond(const AnalogSection& s)
{
    const double w = 2.0 * kPi;
    return {s.n2, s.n1 * w, s.n0 * w * w, s.d2, s.d1 * w, s.d0 * w * w};
}

MappedSection mapSection(const AnalogSection& a, int bandType, double bandGainDb, double fs)
{
    const double N2 = a.n2, N1 = a.n1, N0 = a.n0, D1 = a.d1, D0 = a.d0;
    MappedSection m;

    if (N0 == 0.0 && D0 == 0.0 && D1 == 0.0) {
        m.kind = SectionClass::Gain;
        m.biquad = {N2, 0.0, 0.0, 0.0, 0.0};
        m.method = -1;
        m.clearsUnity = N2 != 1.0;
        return m;
    }
    if (N0 == 0.0 && D0 == 0.0) {
        m.kind = SectionClass::FirstOrder;
        m.biquad = firstOrderShelf(std::fabs(D1) / (2.0 * kPi), N2, N1 / D1, fs);
        m.method = 0;
        m.clearsUnity = true;
        return m;
    }
    // The peaking design places its centre on the unit circle; a resonance above
    // Nyquist (a sharpened peak or a notch pushed up by the frequency shift) only
    // tilts the audio band and goes to the general mapping instead.
    const double centreHz = hzOf(D0);
    const bool centreInBand = centreHz < kMaxCentre * fs;
    const double peakRatio = N2 != 0.0 && D1 != 0.0 ? N1 / (N2 * D1) : 0.0;
    // Equal gains at DC and at high frequencies make a peak. In radians per second a
    // section at 20 kHz has D0 near 1.6e10, where N0 and N2 D0 built by different
    // products (a pass filter's distributed gain) differ by rounding alone; the
    // comparison allows that too.
    const double dcMismatch = std::fabs(N0 - N2 * D0);
    if ((dcMismatch < 1e-5 || dcMismatch < 1e-12 * std::fabs(N2 * D0)) && N1 * D1 > 0.0 && std::fabs(N2) > 1e-5 && peakRatio > 0.0 &&
        centreInBand) {
        const double gainDb = 20.0 * std::log10(peakRatio);
        const double q = std::sqrt(D0) / std::sqrt(D1 * N1 / N2);
        m.kind = SectionClass::Peak;
        m.biquad = scaleNumerator(peakingBiquad(gainDb, hzOf(D0), q, fs), N2);
        // A cut is refined as the boost it inverts: the fit weighs magnitudes
        // linearly, which near a dip would leave the error in decibels several
        // times that of the mirrored boost.
        m.inverted = gainDb < 0.0;
        if (m.inverted) m.biquad = invertBiquad(m.biquad);
        const bool audible = std::fabs(gainDb) > kUnityGainDb;
        m.method = audible ? 2 : -1;
        m.clearsUnity = audible;
        return m;
    }
    if (N2 == 0.0 && N0 == 0.0) {
        // Designed as a band-pass in its own right with the analogue level at Nyquist:
        // a peaking design minus 1 leaves G1 - 1 there, and |1 + H| - 1 is nearly
        // |H|^2 / 2 where the band-pass H lags by 90 degrees, so a wide band's upper
        // skirt fell tens of dB short.
        m.kind = SectionClass::BandPass;
        const double centre = std::min(centreHz, kMaxCentre * fs);
        m.biquad = bandPassBiquad(N1 / D1, centre, std::sqrt(D0) / D1, fs);
        m.method = 0;
        m.clearsUnity = true;
        return m;
    }
    if (N1 == 0.0 && N2 != 0.0 && N0 != 0.0 && centreInBand) {
        m.kind = SectionClass::Notch;
        m.biquad = scaleNumerator(peakingBiquad(-120.0, hzOf(D0), 1000.0 * std::sqrt(D0) / D1, fs), N2);
        m.method = 0;
        m.clearsUnity = true;
        return m;
    }
    if (N2 == 0.0 && N1 == 0.0) {
        m.kind = SectionClass::LowPass;
        m.biquad = scaleNumerator(resonantLowPass(hzOf(D0), std::sqrt(D0) / D1, fs), N0 / D0);
        m.method = 1;
        m.clearsUnity = true;
        return m;
    }
    if (N0 == 0.0 && N1 == 0.0) {
        m.kind = SectionClass::HighPass;
        m.biquad = scaleNumerator(resonantHighPass(hzOf(D0), std::sqrt(D0) / D1, fs), N2);
        m.method = 4;
        m.clearsUnity = true;
        return m;
    }
    m.kind = SectionClass::General;
    m.biquad = generalSection(a, fs, m.inverted);
    m.method = 3;
    const bool shelf = bandType == kTypeLowShelf || bandType == kTypeHighShelf;
    m.clearsUnity = !(shelf && std::fabs(bandGainDb) <= kUnityGainDb);
    return m;
}

CascadeDesign mapCascade(const BandSettings& band, const AnalogSection* radians, int count, double fs,
                         FitWorkspace& ws)
{
    CascadeDesign out;
    out.count = count < 1 ? 1 : (count > kMaxSections ? kMaxSections : count);
    prepareFitGrid(ws, fs);

    const bool passType = band.type == kTypeHighPass || band.type == kTypeLowPass;
    if (passType && (band.subtype == 7 || band.subtype == 8)) {
        for (int i = 0; i < out.count; ++i) {
            out.sections[i] = bilinearSection(radians[i], band.frequency, fs);
            if (!finiteAndStable(out.sections[i])) out.sections[i] = Biquad{};
        }
        std::copy(out.sections, out.sections + out.count, out.whole);
        out.unity = false;
        return out;
    }
    // An all-pass band is only its phase: a magnitude mapping, exact in level, put
    // its phase turn up to 2.6 rad off the analogue one.
    const bool allPass = band.type == kTypeAllPass;

    bool unityMark = true;
    // Families like "Kes" and "Critical" repeat one section: its design is reused.
    AnalogSection previous{};
    MappedSection previousMapped;
    bool previousFitted = false, havePrevious = false;
    for (int i = 0; i < out.count; ++i) {
        const AnalogSection& raw = radians[i];
        if (raw.d2 == 0.0 || !std::isfinite(raw.d2)) {
            // No s^2 (or s) term in the denominator: not a realisable section.
            out.sections[i] = Biquad{};
            havePrevious = false;
            continue;
        }
        const AnalogSection s{raw.n2 / raw.d2, raw.n1 / raw.d2, raw.n0 / raw.d2, 1.0, raw.d1 / raw.d2, raw.d0 / raw.d2};
        if (allPass) {
            out.sections[i] = allPassBiquad(s, band.frequency, fs);
            if (!finiteAndStable(out.sections[i])) out.sections[i] = Biquad{};
            unityMark = false;
            havePrevious = false;
            continue;
        }
        MappedSection m = mapSection(s, band.type, band.gain, fs);
        if (m.clearsUnity) unityMark = false;
        // Sharp pass and peak sections keep their direct mapping; near Nyquist the
        // direct mappings give up the resonance's shape for the Nyquist gain, and
        // there the fit still helps. A sharp band-pass or general section keeps its
        // poles and has its zeros fitted, which holds the skirts the matching leaves
        // warped.
        bool sharp = sharpInBand(m, s, fs);
        const bool keepsZerosFitted = m.kind == SectionClass::BandPass || m.kind == SectionClass::General;
        // The general mapping holds a sharp resonance neither in place nor in height
        // (a Q-50 shelf's bump 5 % off and up to 36 dB short).
        if (sharp && m.kind == SectionClass::General) {
            sharp = matchedGeneralSection(s, fs, m.biquad);
            if (sharp) m.inverted = false;
        }
        const bool fitted = !unityMark && m.method >= 0 && !belowFitGrid(s) && !(sharp && !keepsZerosFitted);
        if (havePrevious && fitted == previousFitted && sameSection(s, previous)) {
            m = previousMapped;
            ws.warm[i] = ws.warm[i - 1];
        } else if (fitted) {
            fitTargetFrom(ws, s, m.inverted);
            FitMethod method = fitMethod(m.method);
            // A band-pass and a first-order high-pass have a zero at DC, whose level
            // just above 20 Hz weighs nothing in a fit of linear magnitudes beside
            // a high-frequency gain (+50 dB for a Chebyshev of 50 dB ripple): left
            // free, the fit gave it a floor tens of dB above the analogue level.
            method.keepDcZero = m.kind == SectionClass::BandPass || (m.kind == SectionClass::FirstOrder && s.n1 == 0.0);
            method.keepPoles = sharp;
            fitBiquad(ws, method, m.biquad, &ws.warm[i]);
        }
        previous = s;
        previousMapped = m;
        previousFitted = fitted;
        havePrevious = true;
        Biquad bq = m.biquad;
        if (m.inverted) bq = invertBiquad(bq);
        if (!finiteAndStable(bq)) bq = Biquad{};
        out.sections[i] = bq;
    }
    std::copy(out.sections, out.sections + out.count, out.whole);
    if (band.parallel) {
        // The band adds H - 1 to the dry signal, H being the whole cascade: one
        // section at a time would give the product of the (H_i - 1) instead. When
        // the difference cannot be factored, the band stays in series (close to
        // what was meant) rather than adding something else.
        Biquad difference[kMaxSections];
        if (parallelDifference(out.sections, out.count, difference))
            std::copy(difference, difference + out.count, out.sections);
        else
            out.parallelFailed = true;
    }
    out.unity = unityMark;
    return out;
}

}  // namespace hm::dsp
