// Worst block against average block of the convolver, per block size and length.
// Measured in the steady state (from L samples on, when every partition size is
// running). Each configuration runs several passes over the same input from a fresh
// convolver; per block index the fastest pass is kept (so that preemption by other
// processes on a shared machine does not count as the convolver's cost), then the
// worst and the average of those are compared, and the worst block time is given
// as a fraction of the block's real-time duration at 48 kHz.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "dsp/fir/Convolver.h"

int main(int argc, char** argv)
{
    const int passes = argc > 1 ? std::atoi(argv[1]) : 3;
    const int channels = argc > 2 ? std::atoi(argv[2]) : 1;
    const int minLength = argc > 3 ? std::atoi(argv[3]) : 1024;
    std::printf("%8s %6s %12s %12s %10s %12s\n", "length", "block", "avg_us", "worst_us", "worst/avg", "worst/rt48k");
    std::printf("(last column: index of the worst block)\n");
    for (int length = minLength; length <= 262144; length *= 4) {
        for (int block : {32, 64, 128, 256, 512, 1024}) {
            // Long enough for the largest partition to complete several jobs.
            const int samples = std::max(4 * length, 48000 * 2);
            const int blocks = samples / block;
            std::mt19937 rng(1);
            std::uniform_real_distribution<double> u(-1, 1);
            std::vector<double> h(static_cast<std::size_t>(length)), x(static_cast<std::size_t>(samples));
            for (auto& v : h) v = u(rng) * 0.01;
            for (auto& v : x) v = u(rng);
            std::vector<double> best(static_cast<std::size_t>(blocks), 1e30), y(static_cast<std::size_t>(block) * 2);
            for (int p = 0; p < passes; ++p) {
                hm::dsp::Convolver conv(length, channels);
                conv.load(h.data(), length);
                for (int b = 0; b < blocks; ++b) {
                    const double* in = x.data() + static_cast<std::size_t>(b) * block;
                    const auto t0 = std::chrono::steady_clock::now();
                    if (channels == 2) conv.processStereo(in, in, y.data(), y.data() + block, block);
                    else conv.process(in, y.data(), block);
                    const auto t1 = std::chrono::steady_clock::now();
                    const double us = std::chrono::duration<double, std::micro>(t1 - t0).count();
                    best[static_cast<std::size_t>(b)] = std::min(best[static_cast<std::size_t>(b)], us);
                }
            }
            // Steady state only: the largest partitions start their first jobs L/4
            // samples in, so the first L samples would lower the average.
            const std::size_t skip = static_cast<std::size_t>(length / block + 1);
            double sum = 0, worst = 0;
            std::size_t worstAt = 0;
            for (std::size_t b = skip; b < best.size(); ++b) {
                sum += best[b];
                if (best[b] > worst) {
                    worst = best[b];
                    worstAt = b;
                }
            }
            const double avg = sum / static_cast<double>(best.size() - skip);
            const double rt = 1e6 * block / 48000.0;
            std::printf("%8d %6d %12.2f %12.2f %10.2f %12.4f %10zu\n", length, block, avg, worst, worst / avg, worst / rt,
                        worstAt);
            std::fflush(stdout);
        }
    }
    return 0;
}
