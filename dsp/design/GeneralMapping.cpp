// General magnitude-matched mapping of one analogue second-order section.
//
// With the section normalised by d2 and written in p = s/w0 (w0 = sqrt(D0)):
//   H(p) = (N2 p^2 + sqrt(q N2) zz p + q) / (p^2 + zp p + 1),  q = N0/D0,
// the digital section is the bilinear image of
//   (Gn p^2 + sqrt(q Gn) zz p + q) / (p^2 + zp p + 1),  p = jOmega, Omega = tan(w/2)/W,
// i.e. the high-frequency gain N2 is replaced by the analogue gain at Nyquist Gn, so
// DC and Nyquist are exact. W is a prewarp at a reference ratio o (the geometric
// middle between the zero and pole frequencies, at most 1, or a gentler one when
// that serves the audio band better), and the dampings zp, zz
// are refitted so that |H_digital|^2 = |H_analogue|^2 at a few reference frequencies;
// that condition is linear in zp^2 and zz^2 and is solved by least squares.
// Sections that cut (q < N2) are designed as their inverse (zeros become poles), so
// the fit always works on a boost and the inverse stays minimum-phase.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "dsp/DigitalResponse.h"
#include "dsp/PrototypeResponse.h"
#include "dsp/design/BiquadForms.h"

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Shape {
    double q, n2, gn, zp, zz, fr;  // zz normalised by sqrt(q n2)
};

double analogueSquared(const Shape& s, double x)
{
    const double x2 = x * x;
    const double zn = std::sqrt(std::fabs(s.q * s.n2)) * s.zz;
    const double nr = s.q - s.n2 * x2, dr = 1.0 - x2;
    return (nr * nr + zn * zn * x2) / (dr * dr + s.zp * s.zp * x2);
}

// The digital section for one prewarp ratio o; with refit, the dampings are refitted
// by least squares at the reference ratios inside the audio band.
Biquad forPrewarp(Shape s, double o, double zeroRatio, double midRatio, double edge, double fs, bool refit)
{
    const double W = std::tan(kPi * o * s.fr / fs) / o;
    const double refs[6] = {zeroRatio, midRatio, 1.0, 0.5,
                            edge > 2.5 ? 0.0 : 0.4 * edge, edge > 2.5 ? 0.0 : 0.8 * edge};
    double m11 = 0.0, m12 = 0.0, m22 = 0.0, r1 = 0.0, r2 = 0.0;
    for (double x : refs) {
        if (x == 0.0 || x >= edge * 0.998) continue;
        const double T = analogueSquared(s, x);
        const double om = std::tan(kPi * x * s.fr / fs) / W;
        const double om2 = om * om;
        // T om^2 zp^2 - q Gn om^2 zz^2 = (q - Gn om^2)^2 - T (1 - om^2)^2
        const double c1 = T * om2, c2 = -s.q * s.gn * om2;
        const double e1 = s.q - s.gn * om2, e2 = 1.0 - om2;
        const double rhs = e1 * e1 - T * e2 * e2;
        m11 += c1 * c1;
        m12 += c1 * c2;
        m22 += c2 * c2;
        r1 += c1 * rhs;
        r2 += c2 * rhs;
    }
    const double det = m11 * m22 - m12 * m12;
    if (refit && std::fabs(det) > 1e-12 * std::max(1.0, m11 * m22)) {
        const double u = (r1 * m22 - r2 * m12) / det;
        const double v = (m11 * r2 - m12 * r1) / det;
        if (u != 0.0 && std::isfinite(u) && (v != 0.0 || s.zz == 0.0) && std::isfinite(v)) {
            s.zp = std::sqrt(std::fabs(u));
            s.zz = std::sqrt(std::fabs(v));
        }
    }

    const double W2 = W * W;
    const double F = W2 + W * s.zp + 1.0;
    const double E = std::sqrt(std::fabs(s.q * s.gn)) * s.zz * W;
    const double G = W2 * s.q;
    return {(G + E + s.gn) / F, 2.0 * (G - s.gn) / F, (G + s.gn - E) / F, 2.0 * (W2 - 1.0) / F,
            (W2 + 1.0 - W * s.zp) / F};
}

double levelErrorAt(const Shape& s, const Biquad& bq, double hz, double fs)
{
    const double a = std::sqrt(analogueSquared(s, hz / s.fr));
    const double w = 2.0 * kPi * hz / fs;
    const double c1 = std::cos(w), s1 = std::sin(w), c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
    const double nr = bq.b0 * c2 + bq.b1 * c1 + bq.b2, ni = bq.b0 * s2 + bq.b1 * s1;
    const double dr = c2 + bq.a1 * c1 + bq.a2, di = s2 + bq.a1 * s1;
    const double d = std::sqrt((nr * nr + ni * ni) / (dr * dr + di * di));
    const double e = std::fabs(20.0 * std::log10(a / d));
    return std::isfinite(e) ? e : 1e9;
}

// Largest level difference in dB between the biquad and the analogue shape over the
// audio band (20 Hz to 0.45 fs), including the pole and zero frequencies and their
// close neighbours, where a sharp resonance would slip between log-spaced points.
double levelError(const Shape& s, const Biquad& bq, double fs, double zeroRatio)
{
    double worst = 0.0;
    for (int i = 0; i < 24; ++i)
        worst = std::max(worst, levelErrorAt(s, bq, 20.0 * std::pow(0.45 * fs / 20.0, i / 23.0), fs));
    for (double centre : {s.fr, s.fr * zeroRatio})
        for (double r : {0.98, 0.995, 1.0, 1.005, 1.02})
            if (centre > 0.0 && centre * r < 0.45 * fs) worst = std::max(worst, levelErrorAt(s, bq, centre * r, fs));
    return worst;
}

}  // namespace

Biquad generalSection(const AnalogSection& a, double fs, bool& inverted)
{
    inverted = false;
    const double N2 = a.n2, N1 = a.n1, N0 = a.n0, D1 = a.d1, D0 = a.d0;
    if (!(D0 > 0.0) || !std::isfinite(D0)) return {N2, 0.0, 0.0, 0.0, 0.0};

    const double w0 = std::sqrt(D0);
    Shape s{N0 / D0, N2, 0.0, D1 / w0, N1 / w0, w0 / (2.0 * kPi)};
    const double g = fs / (2.0 * s.fr);
    const double h = s.q - g * g * s.n2;
    s.gn = std::sqrt(((g * s.zz) * (g * s.zz) + h * h) / ((g * s.zp) * (g * s.zp) + (1.0 - g * g) * (1.0 - g * g)));
    const double qn = std::fabs(s.q * s.n2);
    s.zz = qn > 0.0 ? s.zz / std::sqrt(qn) : 0.0;

    const bool hasRefs = s.q > 0.0 && s.n2 > 0.0;
    if (!hasRefs && s.fr > fs / 2.0) return firstOrderShelf(s.fr / 2.0, s.n2, s.q, fs);

    if (s.q < s.n2 && s.q != 0.0) {
        const double ratio = std::sqrt(std::fabs(s.q / s.n2));
        s.fr *= ratio;
        s.q = 1.0 / s.q;
        s.n2 = 1.0 / s.n2;
        s.gn = 1.0 / s.gn;
        std::swap(s.zp, s.zz);
        inverted = true;
    }

    // Reference ratios: the zero frequency and the middle between zero and pole.
    double zeroRatio = 0.0, midRatio = 0.0;
    if (s.q > 0.0 && s.n2 > 0.0) {
        zeroRatio = std::sqrt(s.q / s.n2);
        midRatio = std::sqrt(zeroRatio);
    }
    const double edge = fs / (2.0 * s.fr);
    double o = midRatio != 0.0 ? midRatio : 1.0;
    o = std::min({o, 1.0, edge * 0.98});

    // The prewarp at o is exact there but, for sections whose frequencies lie near
    // or above Nyquist, compresses the rest of the audio band; two gentler prewarps
    // compete with it. The least-squares dampings can also be worse than the
    // analogue ones when the reference equations are nearly dependent. Every
    // combination is built and the one with the smallest level error is kept.
    const double candidates[3] = {o, std::min(o, 0.5), std::min(o, 0.05)};
    Biquad best{};
    double bestError = 0.0;
    bool first = true;
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && candidates[i] == candidates[i - 1]) continue;
        for (bool refit : {true, false}) {
            const Biquad bq = forPrewarp(s, candidates[i], zeroRatio, midRatio, edge, fs, refit);
            const double err = levelError(s, bq, fs, zeroRatio);
            if (first || err < bestError) {
                best = bq;
                bestError = err;
                first = false;
            }
        }
    }
    return best;
}

namespace {

// Matched zeros (into the unit circle), the level at w0 (radians per sample)
// matched: exact where the zeros lie well inside the band.
bool withMatchedZeros(const AnalogSection& a, double w0, double a1, double a2, double fs, Biquad& out)
{
    const double N2 = a.n2, N1 = a.n1, N0 = a.n0;
    if (!(N2 != 0.0) || !(N0 / N2 > 0.0)) return false;
    const double wz = std::sqrt(N0 / N2);
    double c1 = -2.0 * std::cos(wz / fs), c2 = 1.0;  // no damping: on the unit circle
    if (N1 != 0.0) matchedPoles(wz / fs, wz * std::fabs(N2) / std::fabs(N1), c1, c2);
    const double digital = biquadMagnitude(Biquad{1.0, c1, c2, a1, a2}, w0);
    const double k = analogMagnitude(&a, 1, w0 * fs) / digital;
    if (!(digital > 0.0) || !std::isfinite(k)) return false;
    out = {k, k * c1, k * c2, a1, a2};
    return true;
}

// The numerator from the analogue levels at DC, at Nyquist and at w0: for zeros
// near or above Nyquist, which matched zeros would fold back into the band. With
// b1 and b0 + b2 set by DC and Nyquist, |N(w0)| fixes b0 - b2 (taken >= 0, which
// keeps the zeros inside the unit circle).
Biquad withLevelZeros(const AnalogSection& a, double w0, double a1, double a2, double fs)
{
    const double atDc = std::fabs(a.n0 / a.d0) * (1.0 + a1 + a2);
    const double atNyquist = analogMagnitude(&a, 1, kPi * fs) * (1.0 - a1 + a2);
    const double b1 = 0.5 * (atDc - atNyquist), sum = 0.5 * (atDc + atNyquist);
    const double dr = std::cos(2.0 * w0) + a1 * std::cos(w0) + a2, di = std::sin(2.0 * w0) + a1 * std::sin(w0);
    const double level = analogMagnitude(&a, 1, w0 * fs) * std::sqrt(dr * dr + di * di);
    const double real = sum * std::cos(w0) + b1, sw = std::sin(w0);
    const double diff = sw > 0.0 ? std::sqrt(std::max(0.0, level * level - real * real)) / sw : 0.0;
    return {0.5 * (sum + diff), b1, 0.5 * (sum - diff), a1, a2};
}

}  // namespace

bool matchedGeneralSection(const AnalogSection& a, double fs, Biquad& out)
{
    const double D1 = a.d1, D0 = a.d0;
    if (!(D0 > 0.0) || !(D1 != 0.0)) return false;
    const double w0 = std::sqrt(D0);
    double a1, a2;
    matchedPoles(w0 / fs, w0 / std::fabs(D1), a1, a2);
    Biquad best = withLevelZeros(a, w0 / fs, a1, a2, fs);
    Biquad matched;
    if (withMatchedZeros(a, w0 / fs, a1, a2, fs, matched)) {
        // Levels within 60 dB of the level at the poles, the poles' frequency among
        // the points (the section in Hz for the measure).
        const double f = 2.0 * kPi;
        const AnalogSection hz{a.n2, a.n1 / f, a.n0 / (f * f), 1.0, a.d1 / f, a.d0 / (f * f)};
        const double fr = w0 / f, floor = analogMagnitude(&hz, 1, fr) * 1e-3;
        if (worstLevelErrorDb(matched, hz, floor, fs, fr) < worstLevelErrorDb(best, hz, floor, fs, fr)) best = matched;
    }
    if (!std::isfinite(best.b0) || !std::isfinite(best.b1) || !std::isfinite(best.b2)) return false;
    out = best;
    return true;
}

}  // namespace hm::dsp
