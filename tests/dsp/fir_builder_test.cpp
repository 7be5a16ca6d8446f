// FIR impulse builders against analytic band sets: unity impulses, symmetry of the
// linear mode, padding against a naive inverse DFT, Digital+ compensation, and the
// response of processed audio against the analogue prototype.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "dsp/fir/Convolver.h"
#include "dsp/fir/FirBuilder.h"
#include "tests/dsp/fir_fake_source.h"

using namespace hm::dsp;
using hm::test::FakeBand;
using hm::test::FakeSource;

namespace {

constexpr double kRate = 48000.0;

WindowRecord windowOf(int type, float control)
{
    WindowRecord w;
    setWindowType(w, type);
    setWindowParam(w, control);
    return w;
}

std::complex<double> dtft(const std::vector<double>& h, double hz, double rate)
{
    const double omega = 2.0 * std::numbers::pi * hz / rate;
    std::complex<double> s = 0;
    for (std::size_t k = 0; k < h.size(); ++k)
        if (h[k] != 0.0) s += h[k] * std::polar(1.0, -omega * double(k));
    return s;
}

double wrap(double a)
{
    return std::remainder(a, 2.0 * std::numbers::pi);
}

FakeSource mixedBands()
{
    FakeSource s;
    s.bands = {
        {FakeBand::Peak, 1000.0, 6.0, 1.0},
        {FakeBand::Peak, 5000.0, -4.0, 2.0},
        {FakeBand::HighPass1, 40.0},
        {FakeBand::Peak, 300.0, 9.0, 0.7, false, true},  // disabled
    };
    return s;
}

}  // namespace

TEST(FirBuilderTest, AllBandsOffGiveOneImpulseOfTheWindowsCentreHeight)
{
    FakeSource off;
    off.bands = {{FakeBand::Peak, 1000.0, 12.0, 1.0, false, true}, {FakeBand::HighPass1, 100.0, 0, 1, false, true}};
    FirBuilder builder;
    for (int type : {kWindowKaiser, kWindowHann, kWindowRectangular, kWindowBlackman}) {
        for (int length : {64, 1024}) {
            for (int pad : {1, 2}) {
                for (int mode = kModeFullMinimum; mode <= kModeFree; ++mode) {
                    WindowRecord w = windowOf(type, 0.5f);
                    std::vector<double> h(static_cast<std::size_t>(length), 99.0);
                    ASSERT_TRUE(builder.buildImpulse(off, mode, length, pad, kRate, w, h.data()));
                    std::size_t at;
                    double height;
                    if (mode == kModeZeroLatencyAnalogue) {
                        at = 0;
                        height = makeWindow(type, w.windowParam, 2 * length)[static_cast<std::size_t>(length)];
                    } else {
                        at = mode == kModeFullMinimum ? 0 : static_cast<std::size_t>(length / 2);
                        height = makeWindow(type, w.windowParam, length)[static_cast<std::size_t>(length / 2)];
                    }
                    for (std::size_t k = 0; k < h.size(); ++k)
                        EXPECT_NEAR(h[k], k == at ? height : 0.0, 1e-9)
                            << "type " << type << " L " << length << " pad " << pad << " mode " << mode << " k " << k;
                }
            }
        }
    }
}

TEST(FirBuilderTest, LinearModeIsSymmetricWithParallelAndSeriesBands)
{
    FakeSource s;
    s.bands = {{FakeBand::Peak, 2000.0, 8.0, 3.0, true}, {FakeBand::Peak, 200.0, -5.0, 1.0}, {FakeBand::HighPass1, 30.0}};
    FirBuilder builder;
    const int length = 4096;
    for (int type : {kWindowRectangular, kWindowKaiser}) {
        WindowRecord w = windowOf(type, 0.5f);
        std::vector<double> h(length);
        ASSERT_TRUE(builder.buildImpulse(s, kModeLinear, length, 1, kRate, w, h.data()));
        const auto win = makeWindow(type, w.windowParam, length);
        double peak = 0;
        for (double v : h) peak = std::max(peak, std::abs(v));
        // The window is symmetric about (L-1)/2, the impulse about L/2: compare with
        // the window divided out where it is not vanishingly small.
        for (int k = 1; k < length / 2 - 64; ++k) {
            const double a = h[length / 2 + k] / win[length / 2 + k];
            const double b = h[length / 2 - k] / win[length / 2 - k];
            EXPECT_NEAR(a, b, 1e-9 * peak) << "type " << type << " k " << k;
        }
    }
}

TEST(FirBuilderTest, PaddedAnalogueModeIsTheCentredPartOfTheLongInverseTransform)
{
    // Reference: the N = L*P point inverse DFT of the band product, evaluated naively.
    FakeSource s = mixedBands();
    s.bands[0].frequency = 6000.0;  // keep the response inside a short FIR's reach
    s.bands[2].frequency = 2000.0;
    FirBuilder builder;
    const int length = 64;
    for (int pad : {1, 2, 4}) {
        const int n = length * pad;
        std::vector<std::complex<long double>> x(static_cast<std::size_t>(n));
        for (int i = 0; i <= n / 2; ++i) {
            std::complex<double> hv = 1.0;
            for (const auto& b : s.bands) hv *= s.prototype(b, i * kRate / n, nullptr);
            x[static_cast<std::size_t>(i)] = std::complex<long double>(hv.real(), hv.imag());
        }
        x[0] = std::abs(x[0]);
        x[static_cast<std::size_t>(n / 2)] = std::abs(x[static_cast<std::size_t>(n / 2)]);
        for (int i = 1; i < n / 2; ++i) x[static_cast<std::size_t>(n - i)] = std::conj(x[static_cast<std::size_t>(i)]);
        std::vector<double> time(static_cast<std::size_t>(n));
        for (int t = 0; t < n; ++t) {
            std::complex<long double> acc = 0;
            for (int k = 0; k < n; ++k)
                acc += x[static_cast<std::size_t>(k)] *
                       std::polar(1.0L, 2.0L * std::numbers::pi_v<long double> * ((long(k) * t) % n) / n);
            time[static_cast<std::size_t>(t)] = static_cast<double>(acc.real() / n);
        }
        WindowRecord w = windowOf(kWindowRectangular, 0.0f);
        std::vector<double> h(length);
        ASSERT_TRUE(builder.buildImpulse(s, kModeAnalogue, length, pad, kRate, w, h.data()));
        const int start = (pad - 1) * length / 2;
        for (int k = 0; k < length; ++k)
            EXPECT_NEAR(h[k], time[static_cast<std::size_t>((start + k + n / 2) % n)], 1e-12) << "pad " << pad << " k " << k;
    }
}

TEST(FirBuilderTest, ProcessedAudioFollowsThePrototypeInEveryFirMode)
{
    // A unit impulse through the convolver loaded with the built FIR, measured at
    // log-spaced frequencies. Magnitude within 0.1 dB from 100 Hz up (an 8192-tap
    // Kaiser-windowed FIR resolves about 6 Hz; the 40 Hz high-pass settles well
    // inside the window). Phase: the analogue phase times the mode's share, plus the
    // pure delay of L/2 in the centred modes.
    const FakeSource s = mixedBands();
    FirBuilder builder;
    const int length = 8192;
    struct Case { int mode; double phaseShare; bool checkPhase; };
    const Case cases[] = {{kModeAnalogue, 1.0, true}, {kModeLinear, 0.0, true}, {kModeFree, 1.0, true},
                          {kModeZeroLatencyAnalogue, 1.0, false}, {kModeFullMinimum, 1.0, false}};
    for (const auto& c : cases) {
        WindowRecord w;  // default Kaiser, beta 12
        std::vector<double> h(length);
        ASSERT_TRUE(builder.buildImpulse(s, c.mode, length, 1, kRate, w, h.data()));
        Convolver conv(length, 1);
        conv.load(h.data(), length);
        std::vector<double> in(2 * length, 0.0), out(2 * length);
        in[0] = 1.0;
        conv.process(in.data(), out.data(), 2 * length);
        const int latency = firLatency(c.mode, length);
        EXPECT_EQ(latency, c.mode >= kModeAnalogue ? length / 2 : 0);
        for (double hz = 100.0; hz < 20000.0; hz *= 1.17) {
            std::complex<double> proto = 1.0;
            double protoPhase = 0.0;
            for (const auto& b : s.bands) {
                double ph = 0;
                proto *= s.prototype(b, hz, &ph);
                protoPhase += ph;
            }
            const auto measured = dtft(out, hz, kRate);
            EXPECT_NEAR(20 * std::log10(std::abs(measured) / std::abs(proto)), 0.0, 0.1)
                << "mode " << c.mode << " at " << hz << " Hz";
            if (c.checkPhase) {
                const double expected = c.phaseShare * protoPhase - 2 * std::numbers::pi * hz * latency / kRate;
                EXPECT_NEAR(wrap(std::arg(measured) - expected), 0.0, 0.01) << "mode " << c.mode << " at " << hz;
            }
        }
    }
}

TEST(FirBuilderTest, FreeModeKeepsEachBandsShareOfPhase)
{
    FakeSource s = mixedBands();
    s.bands[0].phaseAmount = 0.5;
    s.bands[1].phaseAmount = 0.0;
    s.bands[2].phaseAmount = 1.0;
    FirBuilder builder;
    const int length = 8192;
    WindowRecord w;
    std::vector<double> h(length);
    ASSERT_TRUE(builder.buildImpulse(s, kModeFree, length, 1, kRate, w, h.data()));
    for (double hz = 200.0; hz < 16000.0; hz *= 1.3) {
        double expected = -2 * std::numbers::pi * hz * (length / 2) / kRate;
        for (const auto& b : s.bands) {
            double ph = 0;
            s.prototype(b, hz, &ph);
            expected += b.phaseAmount * ph;
        }
        EXPECT_NEAR(wrap(std::arg(dtft(h, hz, kRate)) - expected), 0.0, 0.01) << hz;
    }
}

TEST(FirBuilderTest, DigitalPlusOfAgreeingResponsesIsOneScaledImpulse)
{
    FakeSource s = mixedBands();
    s.bands.push_back({FakeBand::Peak, 3000.0, 4.0, 2.0, true});  // a parallel band as well
    FirBuilder builder;
    for (int length : {16, 64, 512}) {
        for (int type : {kWindowKaiser, kWindowHamming}) {
            WindowRecord w = windowOf(type, 0.5f);
            std::vector<double> h(static_cast<std::size_t>(length));
            ASSERT_TRUE(builder.buildCompensation(s, length, kRate, w, h.data()));
            const double centre = makeWindow(type, w.windowParam, length)[static_cast<std::size_t>(length / 2)];
            for (int k = 0; k < length; ++k)
                EXPECT_NEAR(h[k], k == 0 ? std::pow(10.0, 0.00063) * centre : 0.0, 1e-9) << length << " " << k;
        }
    }
}

TEST(FirBuilderTest, DigitalPlusUndoesADroopNearNyquist)
{
    // The recursive filters lose cos^2(pi f/fs); the compensation restores it,
    // bounded at 100 (40 dB) where the droop goes to zero.
    FakeSource s = mixedBands();
    s.digitalDroops = true;
    FirBuilder builder;
    const int length = 512;
    WindowRecord w;
    std::vector<double> h(length);
    ASSERT_TRUE(builder.buildCompensation(s, length, kRate, w, h.data()));
    for (double hz = 100.0; hz < 0.35 * kRate; hz *= 1.2) {
        const double c = std::cos(std::numbers::pi * hz / kRate);
        const double gainDb = 20 * std::log10(std::abs(dtft(h, hz, kRate)));
        EXPECT_NEAR(gainDb, -20 * std::log10(c * c) + 20 * 0.00063, 0.05) << hz;
    }
}

TEST(FirBuilderTest, RejectsWhatItCannotBuild)
{
    FakeSource s = mixedBands();
    FirBuilder builder;
    WindowRecord w;
    std::vector<double> h(256, 7.0);
    EXPECT_FALSE(builder.buildImpulse(s, kModeIIR, 256, 1, kRate, w, h.data()));
    EXPECT_FALSE(builder.buildImpulse(s, kModeDigitalPlus, 256, 1, kRate, w, h.data()));
    EXPECT_FALSE(builder.buildImpulse(s, 7, 256, 1, kRate, w, h.data()));
    EXPECT_FALSE(builder.buildImpulse(s, kModeLinear, 300, 1, kRate, w, h.data()));
    EXPECT_FALSE(builder.buildImpulse(s, kModeLinear, 256, 1, 0.0, w, h.data()));
    EXPECT_FALSE(builder.buildImpulse(s, kModeLinear, 256, 1, kRate, w, nullptr));
    EXPECT_FALSE(builder.buildCompensation(s, 100, kRate, w, h.data()));
    for (double v : h) EXPECT_EQ(v, 7.0);
    // An unsupported padding factor builds without padding.
    std::vector<double> a(256), b(256);
    ASSERT_TRUE(builder.buildImpulse(s, kModeLinear, 256, 3, kRate, w, a.data()));
    ASSERT_TRUE(builder.buildImpulse(s, kModeLinear, 256, 1, kRate, w, b.data()));
    EXPECT_EQ(a, b);
}

TEST(FirBuilderTest, DisplayWindowIsOneSidedForTheZeroLatencyModes)
{
    const int n = 128;
    for (int mode = kModeFullMinimum; mode <= kModeFree; ++mode) {
        WindowRecord w = windowOf(kWindowHann, 0.0f);
        std::vector<double> table(n);
        fillDisplayWindow(w, mode, table.data(), n);
        const bool oneSided = mode == kModeFullMinimum || mode == kModeZeroLatencyAnalogue;
        const auto ref = makeWindow(kWindowHann, 0, oneSided ? 2 * n : n);
        for (int k = 0; k < n; ++k) EXPECT_DOUBLE_EQ(table[k], ref[static_cast<std::size_t>(oneSided ? n + k : k)]);
    }
}
