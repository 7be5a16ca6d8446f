// FIR build times: the long FIR in each phase mode at every length and padding,
// and the Digital+ compensation at every length, for a band set of eight analytic
// bands (two of them parallel). The time of the second build is reported (the
// first one grows the builder's buffers and FFT tables).
#include <chrono>
#include <cstdio>
#include <vector>

#include "dsp/fir/FirBuilder.h"
#include "tests/dsp/fir_fake_source.h"

using namespace hm::dsp;
using hm::test::FakeBand;

namespace {

hm::test::FakeSource eightBands()
{
    hm::test::FakeSource s;
    s.bands = {
        {FakeBand::HighPass1, 30.0},
        {FakeBand::Peak, 120.0, 4.0, 0.8},
        {FakeBand::Peak, 400.0, -3.0, 2.0, true},
        {FakeBand::Peak, 1000.0, 2.0, 1.0},
        {FakeBand::Peak, 2500.0, -5.0, 4.0},
        {FakeBand::Peak, 6000.0, 3.0, 0.7, true},
        {FakeBand::Peak, 10000.0, 1.5, 1.0},
        {FakeBand::Peak, 15000.0, -2.0, 1.2},
    };
    s.digitalDroops = true;
    return s;
}

template <class F>
double millis(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

}  // namespace

int main()
{
    const auto source = eightBands();
    const char* names[] = {"", "", "FullMin", "ZeroLatAn", "Analogue", "Linear", "Free"};
    std::printf("long FIR build, ms (8 bands, 48 kHz)\n%8s %4s", "length", "pad");
    for (int mode = 2; mode <= 6; ++mode) std::printf(" %10s", names[mode]);
    std::printf("\n");
    for (int length = 1024; length <= 262144; length *= 2) {
        for (int pad : {1, 2, 4, 8}) {
            std::printf("%8d %4d", length, pad);
            for (int mode = 2; mode <= 6; ++mode) {
                FirBuilder builder;
                WindowRecord window;
                std::vector<double> h(static_cast<std::size_t>(length));
                builder.buildImpulse(source, mode, length, pad, 48000.0, window, h.data());
                const double ms = millis([&] { builder.buildImpulse(source, mode, length, pad, 48000.0, window, h.data()); });
                std::printf(" %10.2f", ms);
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    // The same builds with no bands: the builder's own share (transforms, windows,
    // minimum phase) without the band evaluation.
    hm::test::FakeSource none;
    std::printf("\nno bands (builder only), ms\n");
    for (int length = 16384; length <= 262144; length *= 4) {
        for (int pad : {1, 8}) {
            std::printf("%8d %4d", length, pad);
            for (int mode = 2; mode <= 6; ++mode) {
                FirBuilder builder;
                WindowRecord window;
                std::vector<double> h(static_cast<std::size_t>(length));
                builder.buildImpulse(none, mode, length, pad, 48000.0, window, h.data());
                std::printf(" %10.2f", millis([&] { builder.buildImpulse(none, mode, length, pad, 48000.0, window, h.data()); }));
            }
            std::printf("\n");
        }
    }
    std::printf("\nDigital+ build, ms\n%8s %10s\n", "length", "ms");
    for (int length = 16; length <= 512; length *= 2) {
        FirBuilder builder;
        WindowRecord window;
        std::vector<double> h(static_cast<std::size_t>(length));
        builder.buildCompensation(source, length, 48000.0, window, h.data());
        double best = 1e30;
        for (int i = 0; i < 20; ++i)
            best = std::min(best, millis([&] { builder.buildCompensation(source, length, 48000.0, window, h.data()); }));
        std::printf("%8d %10.4f\n", length, best);
    }
    return 0;
}
