#include "tools/harmoniform/Renderer.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace hm::tool {
namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

}  // namespace

bool renderStream(HostSession& session, int channels, const FrameSource& source, const FrameSink& sink,
                  RenderStats& stats, const ProgressFn& progress, Automation* automation) {
    const int block = session.blockSize();
    const int instanceChannels = session.channels();
    const std::size_t frames = static_cast<std::size_t>(block);
    std::vector<double> interleavedIn(frames * static_cast<std::size_t>(channels));
    std::vector<double> interleavedOut(frames * static_cast<std::size_t>(channels));
    std::vector<std::vector<double>> in(static_cast<std::size_t>(instanceChannels), std::vector<double>(frames));
    std::vector<std::vector<double>> out = in;
    std::vector<double*> inPtr, outPtr;
    for (auto& v : in) inPtr.push_back(v.data());
    for (auto& v : out) outPtr.push_back(v.data());

    stats = {};
    stats.latency = session.latency();
    std::int64_t toSkip = stats.latency;     // output frames that are only the filter's delay
    std::int64_t flushLeft = stats.latency;  // silent frames still to feed after the input
    std::int64_t written = 0;
    bool inputDone = false;
    while (true) {
        std::int64_t n = 0;
        const std::int64_t position = stats.frames;  // the input frame this call starts with
        if (!inputDone) {
            n = source(interleavedIn.data(),
                       automation ? automation->framesUntilNextPoint(position, block) : block);
            if (n <= 0) {
                inputDone = true;
                n = 0;
            } else {
                stats.frames += n;
            }
        }
        if (automation && !inputDone)
            automation->apply(position, [&](int index, float value) { session.instance().setParameter(index, value); });
        if (inputDone) {
            if (flushLeft <= 0) break;
            n = std::min<std::int64_t>(flushLeft, block);
            std::fill(interleavedIn.begin(), interleavedIn.begin() + n * channels, 0.0);
            flushLeft -= n;
        }
        for (std::int64_t i = 0; i < n; ++i)
            for (int c = 0; c < instanceChannels; ++c) {
                const double v = interleavedIn[static_cast<std::size_t>(i * channels + c % channels)];
                in[c][i] = v;
                if (c < channels) stats.peakIn = std::max(stats.peakIn, std::fabs(v));
            }
        const double t0 = threadCpuSeconds();
        session.process(inPtr.data(), outPtr.data(), static_cast<int>(n));
        stats.cpuSeconds += threadCpuSeconds() - t0;

        const std::int64_t skip = std::min(toSkip, n);
        toSkip -= skip;
        const std::int64_t keep = std::min(n - skip, stats.frames - written);
        for (std::int64_t i = 0; i < keep; ++i)
            for (int c = 0; c < channels; ++c) {
                const double v = out[c][skip + i];
                interleavedOut[static_cast<std::size_t>(i * channels + c)] = v;
                stats.peakOut = std::max(stats.peakOut, std::fabs(v));
            }
        if (keep > 0 && !sink(interleavedOut.data(), keep)) return false;
        written += keep;
        if (progress && !inputDone) progress(stats.frames);
    }
    return written == stats.frames;
}

}  // namespace hm::tool
