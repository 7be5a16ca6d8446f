#pragma once
// The FIR stage of a bank as the audio thread runs it: the convolvers of one
// length for one channel layout, either one linked-stereo convolver shared by a
// channel pair or one mono convolver per channel. A stage is built whole off the
// audio thread and handed over whole (Handover<FirStage>); a new length or layout
// means a new stage, new impulses of the same shape are loaded into the stage in
// place (the convolvers adopt them at a sample boundary).
//
// A stage is never cleared while it runs (that would touch megabytes inside one
// audio callback): when the bank needs a stage that has heard nothing, it asks for
// a fresh one, and `generation` tells the audio thread whether the stage it holds
// is recent enough to run.
#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/fir/Convolver.h"

namespace hm::dsp {

struct FirStage {
    // Allocates every convolver (zero impulses).
    FirStage(int length, int channels, bool linked, std::uint32_t generation = 0)
        : length(length), channels(channels), linked(linked && channels == 2), generation(generation)
    {
        const int count = this->linked ? 1 : channels;
        for (int c = 0; c < count; ++c)
            convolvers.push_back(std::make_unique<Convolver>(length, this->linked ? 2 : 1));
    }

    bool fits(int len, int ch, bool link) const
    {
        return length == len && channels == ch && linked == (link && ch == 2);
    }

    // Audio thread: filters the buffers in place (null buffers are skipped).
    void run(double** buffers, int n, int count)
    {
        if (linked) {
            if (n >= 2 && buffers[0] && buffers[1])
                convolvers[0]->processStereo(buffers[0], buffers[1], buffers[0], buffers[1], count);
            else if (n >= 1 && buffers[0])
                convolvers[0]->process(buffers[0], buffers[0], count);
            return;
        }
        const int m = n < static_cast<int>(convolvers.size()) ? n : static_cast<int>(convolvers.size());
        for (int c = 0; c < m; ++c)
            if (buffers[c]) convolvers[static_cast<std::size_t>(c)]->process(buffers[c], buffers[c], count);
    }

    // Audio thread, after run(): what channel c fed the stage over the last count
    // samples, as late as the impulse it runs (the dry signal lined up with it).
    void delayedInput(int c, double* out, int count) const
    {
        if (c < 0 || (!linked && c >= static_cast<int>(convolvers.size()))) return;
        const Convolver* conv = convolvers[linked ? 0 : static_cast<std::size_t>(c)].get();
        conv->delayedInput(linked && c == 1 ? 1 : 0, conv->latency(), out, count);
    }

    const int length;
    const int channels;
    const bool linked;
    const std::uint32_t generation;  // the fresh-stage request it was built for
    std::vector<std::unique_ptr<Convolver>> convolvers;
};

}  // namespace hm::dsp
