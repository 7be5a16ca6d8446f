#include "dsp/design/BiquadForms.h"

#include "dsp/design/MagnitudeFit.h"
#include "dsp/DigitalResponse.h"
#include "dsp/PrototypeResponse.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace hm::dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The highest digital frequency a prewarp may land on: tan() stays finite and the
// bilinear poles stay clear of z = -1.
constexpr double kMaxPrewarpAngle = 0.98 * kPi;

double sqrtOrZero(double v) { return v > 0.0 ? std::sqrt(v) : 0.0; }

}  // namespace

double worstLevelErrorDb(const Biquad& bq, const AnalogSection& analogue, double floor, double fs, double extraHz)
{
    constexpr int kPoints = 24;
    double worst = 0.0;
    for (int i = 0; i <= kPoints; ++i) {
        if (i == kPoints && !(extraHz > 0.0)) break;
        const double hz = i == kPoints ? extraHz : 20.0 * std::pow(0.45 * fs / 20.0, i / (kPoints - 1.0));
        const double a = analogMagnitude(&analogue, 1, hz);
        if (a < floor) continue;
        const double e = std::fabs(20.0 * std::log10(a / biquadMagnitude(bq, 2.0 * kPi * hz / fs)));
        worst = std::max(worst, std::isfinite(e) ? e : 1e9);
    }
    return worst;
}

void matchedPoles(double w0, double q, double& a1, double& a2)
{
    const double sigma = -w0 / (2.0 * q);
    const double disc = 1.0 - 1.0 / (4.0 * q * q);
    if (disc >= 0.0) {
        const double r = std::exp(sigma);
        a1 = -2.0 * r * std::cos(w0 * std::sqrt(disc));
        a2 = r * r;
        return;
    }
    // Two real poles, sigma (1 -+ sqrt(1 - 4 q^2)).
    const double spread = std::sqrt(1.0 - 4.0 * q * q);
    const double p1 = std::exp(sigma * (1.0 - spread)), p2 = std::exp(sigma * (1.0 + spread));
    a1 = -(p1 + p2);
    a2 = p1 * p2;
}

// Digital parametric equaliser with prescribed Nyquist gain (Orfanidis, 1997), with
// reference gain 1 and the bandwidth gain GB^2 = G. In the tan-domain Omega =
// tan(w/2) the filter is (G1 s^2 + B s + W^2)/(s^2 + A s + W^2); W^2 places the
// centre, and A, B follow from |H|^2 = G^2 at the centre and |H|^2 = GB^2 at the
// lower edge of the analogue band.
Biquad peakingBiquad(double gainDb, double f0, double q, double fs)
{
    const double w0 = 2.0 * kPi * f0 / fs;
    const double g = std::pow(10.0, gainDb / 20.0);
    const double G = std::max(g, 1.0 / g) + 1e-10;
    const double G2 = G * G;
    const double GB2 = G;

    const double o = std::sqrt(1.0 / (4.0 * q * q) + 1.0);
    const double te = std::tan(w0 * (o - 1.0 / (2.0 * q)) / 2.0);
    const double t1 = te * te;  // squared tan of the lower band edge
    const double tw = std::tan(w0 / 2.0);
    const double W0 = tw * tw;

    const double v = std::sqrt((GB2 - 1.0) / (G2 - GB2));
    const double e = (w0 / q) * v;
    const double w = kPi * kPi - w0 * w0;
    const double G1 = std::sqrt((w * w + G2 * e * e * kPi * kPi) / (w * w + e * e * kPi * kPi));

    const double D = G2 - G1 * G1;
    const double E = std::sqrt(std::max(0.0, D * (G2 - 1.0)));
    const double W2 = std::fabs(D) <= 1e-10 ? W0 : std::sqrt(std::max(0.0, D / (G2 - 1.0))) * W0;

    const double H = ((G2 - G1) - E) * 2.0 * W2;
    const double lo = t1 - W2, lg = G1 * t1 - W2;
    const double I = (lo * lo * GB2 - lg * lg + H * t1) / (t1 * (G2 - GB2));
    const double K = sqrtOrZero(I);
    const double L = sqrtOrZero(G2 * I - H);

    const double M = L + G1 + W2;
    const double N = K + W2 + 1.0;
    const double O = -2.0 * (G1 - W2);
    const double P = -2.0 * (1.0 - W2);
    if (g >= 1.0) return {M / N, O / N, (W2 + G1 - L) / N, P / N, (W2 + 1.0 - K) / N};
    return {N / M, P / M, (1.0 - K + W2) / M, O / M, (G1 + W2 - L) / M};
}

// Tan-domain design (C = tan(w/2)) matched to the analogue low-pass at DC, at
// Nyquist (gain t) and at the resonance peak C, whose squared gain is also hit at
// C/sqrt(t).
Biquad resonantLowPass(double f0, double q, double fs)
{
    constexpr double kTwoPiSq = 19.739208802178716;   // 2 pi^2
    constexpr double kFourPiSq = 39.47841760435743;   // 4 pi^2
    const double w0 = 2.0 * kPi * f0 / fs;
    const double q2 = q * q;
    const double o = w0 * w0 * q2;
    const double g = 2.0 - kTwoPiSq / (w0 * w0);
    const double h = std::sqrt(kFourPiSq / o + g * g);
    double t = 2.0 / h;
    if (std::fabs(1.0 - t) < 1e-6) t = 2.0 / h - 1e-6;

    double C = 0.0;
    double B = 0.0;
    if (q >= std::sqrt(0.5)) {
        B = std::fabs(std::tan(w0 * std::sqrt(1.0 - 1.0 / (2.0 * q2)) / 2.0));
        if (B > 1e6) B = 1e6;
    }
    if (B >= 1e-6) {
        const double ratio = (4.0 * q2 * q2 - (4.0 * q2 - 1.0) * t * t) / (4.0 * q2 * q2 - (4.0 * q2 - 1.0));
        C = B * std::pow(ratio, 0.25);
    } else {
        // No resonance peak above DC (Q at or below 1/sqrt 2, including a Butterworth
        // Q that rounds a hair above it): a reference frequency near the corner.
        // A zero reference would put both poles on z = 1.
        const double inner = std::sqrt((1.0 - 4.0 * q2) / (q2 * q2) + 4.0 / t) + 2.0 - 1.0 / q2;
        C = std::tan(w0 * std::sqrt(inner / 2.0) / 2.0);
        C = std::min(C, w0 * std::pow(1.0 - t * t, 0.25) / 2.0);
    }

    const double wa = 2.0 * std::atan(C);
    const double ra = 1.0 - wa * wa / (w0 * w0);
    const double Ga = 1.0 / std::sqrt(wa * wa / o + ra * ra);
    const double wb = 2.0 * std::atan(C / std::sqrt(t));
    const double rb = 1.0 - wb * wb / (w0 * w0);
    const double Kb = 1.0 / (wb * wb / o + rb * rb);

    const double M = Ga * Ga - Kb;
    const double tm = (t - 1.0) * (t - 1.0);
    double Nn = std::sqrt(t * M / (tm * (t + Kb)));
    double Pp = std::sqrt(t * t * M / (tm * (t + Ga * Ga) * Kb));
    if (!(std::fabs(Nn) >= 1e-6)) Nn = 1e-6;
    if (!(std::fabs(Pp) >= 1e-6)) Pp = 1e-6;

    const double H = C * std::sqrt(t) / Pp;
    const double I = C / Nn;
    const double Q2 = C * C;
    const double R = I + Q2 + 1.0;
    return {(t + Q2 + H) / R, 2.0 * (Q2 - t) / R, (t + Q2 - H) / R, 2.0 * (Q2 - 1.0) / R, (Q2 - I + 1.0) / R};
}

namespace {

// The high-pass biquad for one tan-domain scale W: k s^2/(s^2 + C s + 1) with
// s = jOmega, Omega = tan(w/2)/W; C is the least-squares damping over the
// reference frequencies (relative to f0) that lie inside the audio band.
Biquad highPassForScale(double W, double k, double u, double q, double w0, double f0, double fs,
                        const double* refs, int n, bool refit)
{
    double sxx = 0.0, sxy = 0.0;
    for (int i = 0; i < n; ++i) {
        const double x = refs[i];
        if (x * f0 >= 0.499 * fs) continue;
        const double x2 = x * x;
        const double target = x2 * x2 / ((1.0 - x2) * (1.0 - x2) + x2 * u);
        const double om = std::tan(x * w0 / 2.0) / W;
        const double om2 = om * om;
        // |H|^2 = k^2 om^4 / ((1 - om^2)^2 + C^2 om^2) = target, linear in C^2
        const double a = om2;
        const double b = k * k * om2 * om2 / target - (1.0 - om2) * (1.0 - om2);
        sxx += a * a;
        sxy += a * b;
    }
    double C = 1.0 / q;
    if (refit && sxx > 0.0) {
        const double c2 = sxy / sxx;
        if (c2 != 0.0 && std::isfinite(c2)) C = std::sqrt(std::fabs(c2));
    }
    const double W2 = W * W;
    const double F = W2 + W * C + 1.0;
    return {k / F, -2.0 * k / F, k / F, 2.0 * (W2 - 1.0) / F, (W2 + 1.0 - W * C) / F};
}

// The high-pass with its poles matched (z = e^(sT)) and its double zero at DC,
// scaled to the analogue level at the peak ratio t.
Biquad sharpHighPass(double w0, double q, double t, double u)
{
    double a1, a2;
    matchedPoles(w0, q, a1, a2);
    const double w = t * w0;
    const double c1 = std::cos(w), s1 = std::sin(w), c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
    const double nr = c2 - 2.0 * c1 + 1.0, ni = s2 - 2.0 * s1;
    const double dr = c2 + a1 * c1 + a2, di = s2 + a1 * s1;
    const double digital = std::sqrt((nr * nr + ni * ni) / (dr * dr + di * di));
    const double t2 = t * t;
    const double analogue = t2 / std::sqrt((1.0 - t2) * (1.0 - t2) + t2 * u);
    const double k = analogue / digital;
    return {k, -2.0 * k, k, a1, a2};
}

}  // namespace

// Bilinear image of k s^2/(s^2 + C s + 1): exact at Nyquist (gain k). The scale W
// normally prewarps the analogue peak (or the corner) onto its digital frequency.
// For corners near or above Nyquist that prewarp lands close to pi and compresses
// the whole audio band, so a second candidate matches the low-frequency asymptote
// instead (k Omega^2 = (w/w0)^2, i.e. W = w0 sqrt(k)/2). Each scale is tried with
// the fitted and with the analogue damping 1/Q, and the candidate with the smallest
// level error over the audio band is kept.
Biquad resonantHighPass(double f0, double q, double fs)
{
    const double nyq = fs / 2.0;
    const double w0 = 2.0 * kPi * f0 / fs;
    const double u = 1.0 / (q * q);
    const double on = fs / (2.0 * f0);
    const double k = std::sqrt(on * on * on * on / ((on / q) * (on / q) + (1.0 - on * on) * (1.0 - on * on)));

    double t = 0.0;
    if (u < 2.0) {
        const double peak = std::sqrt(2.0 / (2.0 - u));  // where the analogue response peaks
        if (f0 * peak <= nyq) t = peak;
    }
    double v = t != 0.0 ? t : std::min(1.0, on);
    v = std::min(v, kMaxPrewarpAngle / w0);
    const double Wpeak = std::tan(v * w0 / 2.0) / v;

    // Reference frequencies relative to f0: the peak and its neighbours, plus points
    // high in the audio band below a corner that lies up there, so that a corner
    // above Nyquist still has references to set the damping from.
    double refs[6];
    int n = 0;
    if (u < 2.0 && f0 * 2.0 / (2.0 - u) <= nyq) refs[n++] = 2.0 / (2.0 - u);
    refs[n++] = 1.0;
    refs[n++] = 0.5;
    if (t != 0.0) refs[n++] = t;
    if (0.2 * fs < f0) refs[n++] = 0.2 * fs / f0;
    if (0.4 * fs < f0) refs[n++] = 0.4 * fs / f0;

    // Candidates: both scales, each with the fitted and with the analogue damping,
    // matched at Nyquist.
    const double Wlow = w0 * std::sqrt(k) / 2.0;
    const double scales[2] = {Wpeak, Wlow};
    Biquad best = highPassForScale(Wpeak, k, u, q, w0, f0, fs, refs, n, true);
    const double peakHz = t * f0;
    // The analogue high-pass in Hz; levels count within 60 dB of its Nyquist gain.
    const AnalogSection analogue{1.0, 0.0, 0.0, 1.0, f0 / q, f0 * f0};
    double bestError = worstLevelErrorDb(best, analogue, k * 1e-3, fs, peakHz);
    for (double W : scales) {
        if (!(W > 0.0) || !std::isfinite(W)) continue;
        for (bool refit : {true, false}) {
            const Biquad bq = highPassForScale(W, k, u, q, w0, f0, fs, refs, n, refit);
            const double err = worstLevelErrorDb(bq, analogue, k * 1e-3, fs, peakHz);
            if (err < bestError) {
                best = bq;
                bestError = err;
            }
        }
    }
    // A resonance narrower than the fit grid's spacing is not refined afterwards,
    // and no scale of the bilinear image keeps both its frequency and its width
    // near Nyquist (the warping narrows it several times over). Its poles are
    // mapped as they are (z = e^(sT)), which keeps both, and the gain puts the
    // digital level at the analogue peak on the analogue one.
    if (t != 0.0 && sharpResonanceInBand(t * f0, q, fs)) return sharpHighPass(w0, q, t, u);
    return best;
}

Biquad firstOrderShelf(double fc, double gh, double gl, double fs)
{
    // A magnitude design: a common sign is carried through, a sign difference (an
    // all-pass-like zero in the right half plane) is dropped.
    double sign = 1.0;
    if (gh <= 0.0 && gl <= 0.0 && (gh < 0.0 || gl < 0.0)) sign = -1.0;
    gh = std::fabs(gh);
    gl = std::fabs(gl);
    fc = std::fabs(fc);
    if (gh == gl) return {sign * gh, 0.0, 0.0, 0.0, 0.0};

    bool inverted = false;
    if (gh > gl && gl != 0.0) {
        gh = 1.0 / gh;
        gl = 1.0 / gl;
        fc = fc * gh / gl;
        inverted = true;
    }
    const double g = fs / (2.0 * fc);
    const double h = std::sqrt((gl * gl + g * g * gh * gh) / (g * g + 1.0));
    const double m = (h * h + gl * gl) / 2.0;
    const double o = std::tan(kPi * fc * std::sqrt((gl * gl - m) / (m - gh * gh)) / fs);
    if (!(o > 0.0) || !std::isfinite(o)) {
        // Corner far above the band: the section is flat at its DC gain there.
        const double flat = inverted ? 1.0 / gl : gl;
        return {sign * flat, 0.0, 0.0, 0.0, 0.0};
    }
    if (!inverted) {
        const double w = 1.0 + o;
        return {sign * (h + o * gl) / w, sign * (o * gl - h) / w, 0.0, (o - 1.0) / w, 0.0};
    }
    const double w = h + o * gl;
    return {sign * (1.0 + o) / w, sign * (o - 1.0) / w, 0.0, (o * gl - h) / w, 0.0};
}

// s = (2 pi / c)(z - 1)/(z + 1) with c = tan(pi fp/fs)/fp, multiplied through by
// (z + 1)^2 c^2 / (4 pi^2): D = c^2 n0, E = 4 pi^2 n2, F = 2 pi c n1.
Biquad bilinearSection(const AnalogSection& s, double prewarpHz, double fs)
{
    const double fp = std::min(prewarpHz, 0.45 * fs);
    const double c = std::tan(kPi * fp / fs) / fp;
    const double twoPiC = 2.0 * kPi * c;
    const double fourPiSq = 4.0 * kPi * kPi;

    if (s.n0 == 0.0 && s.d0 == 0.0) {
        // First-order form (n2 s + n1)/(d2 s + d1): transformed as such, so no pole is
        // left on z = 1 to cancel against a zero there.
        const double b0 = 2.0 * kPi * s.n2 + c * s.n1, b1 = c * s.n1 - 2.0 * kPi * s.n2;
        const double a0 = 2.0 * kPi * s.d2 + c * s.d1, a1 = c * s.d1 - 2.0 * kPi * s.d2;
        return {b0 / a0, b1 / a0, 0.0, a1 / a0, 0.0};
    }
    const double D = c * c * s.n0, E = fourPiSq * s.n2, F = twoPiC * s.n1;
    const double Gd = c * c * s.d0, Hd = fourPiSq * s.d2, Cd = twoPiC * s.d1;
    const double L = Gd + Hd + Cd;
    return {(D + E + F) / L, 2.0 * (D - E) / L, (D + E - F) / L, 2.0 * (Gd - Hd) / L, (Gd + Hd - Cd) / L};
}

Biquad invertBiquad(const Biquad& bq)
{
    const double S = 1.0 / bq.b0;
    return {S, S * bq.a1, S * bq.a2, S * bq.b1, S * bq.b2};
}

}  // namespace hm::dsp
