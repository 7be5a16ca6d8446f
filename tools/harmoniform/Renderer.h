#pragma once
// Streams audio through a prepared instance with its latency compensated: the
// first `latency` output frames (the filter's delay) are dropped and as many
// frames of silence are fed after the input to flush the tail, so the output has
// exactly the input's length and lines up with it sample for sample.
#include <cstdint>
#include <functional>

#include "tools/harmoniform/Automation.h"
#include "tools/harmoniform/HostSession.h"

namespace hm::tool {

// Reads up to `frames` interleaved frames of `channels` channels; answers the
// count read, 0 at the end.
using FrameSource = std::function<std::int64_t(double* interleaved, std::int64_t frames)>;
// Takes interleaved frames; false stops the render (a write error).
using FrameSink = std::function<bool(const double* interleaved, std::int64_t frames)>;
// Frames of input consumed so far.
using ProgressFn = std::function<void(std::int64_t framesDone)>;

struct RenderStats {
    std::int64_t frames = 0;    // frames read and written
    int latency = 0;            // samples compensated
    double cpuSeconds = 0.0;    // thread CPU time inside the processing callbacks
    double peakIn = 0.0, peakOut = 0.0;  // largest absolute sample
};

// `channels` is the stream's channel count, 1..session.channels(). With fewer
// channels than the instance takes, the instance's extra inputs repeat the
// stream's channels (a mono file feeds both sides of a stereo instance the same
// signal) and its extra outputs are not used.
//
// With `automation`, processing calls also end where a lane has a point, and
// before each call that starts within the input the lanes' values at its first
// frame are set (input frame numbers: the latency does not shift them). No
// changes are made while the tail is flushed.
bool renderStream(HostSession& session, int channels, const FrameSource& source, const FrameSink& sink,
                  RenderStats& stats, const ProgressFn& progress = {}, Automation* automation = nullptr);

}  // namespace hm::tool
