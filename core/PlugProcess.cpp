// The processing entry: host buffers through the channel model and the filter bank.
#include <algorithm>

#include "core/Plug.h"

namespace hm {

template <typename T>
void Plug::processCall(T** inputs, T** outputs, int frames) {
    processCalls_.fetch_add(1, std::memory_order_relaxed);
    const bool offline = hostRendersOffline();
    // The call is cut where queued MIDI events fall, so each transposition is heard
    // from its own frame; every stretch first takes over what changed before it.
    int next = 0;
    for (int done = 0; done < frames;) {
        while (next < midiQueued_ && midiQueue_[next].frame <= done) {
            const QueuedMidi& m = midiQueue_[next++];
            applyMidiEvent(m.status, m.data1, m.data2);
        }
        catchUp(offline);
        const int end = next < midiQueued_ ? std::min(frames, midiQueue_[next].frame) : frames;
        processor_->process(inputs, outputs, end - done, done);
        done = end;
    }
    // Events beyond this call's frames move on to the next call.
    int kept = 0;
    for (int i = next; i < midiQueued_; ++i) {
        QueuedMidi m = midiQueue_[i];
        m.frame = std::max(0, m.frame - frames);
        midiQueue_[kept++] = m;
    }
    midiQueued_ = kept;
}

void Plug::processDouble(double** inputs, double** outputs, int frames) { processCall(inputs, outputs, frames); }

void Plug::processFloat(float** inputs, float** outputs, int frames) { processCall(inputs, outputs, frames); }

float Plug::getChannelLevel(int channel) { return static_cast<float>(processor_->channelLevel(channel)); }

float Plug::getOutputLevel(int channel) { return static_cast<float>(processor_->outputLevel(channel)); }

void Plug::setMeterPoint(bool input) {
    std::lock_guard lock(updateMutex_);
    processor_->draft().meterInput = input;
    processor_->publish();
}

int Plug::readAnalyserHistory(double* out, int count, int source) {
    return processor_->rings().readHistory(out, count, source, channels_);
}

}  // namespace hm
