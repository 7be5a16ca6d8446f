// MIDI transposition: note-on and pitch bend move every band frequency, from the
// frame the event names inside the processing call that carries it.
#include <cmath>

#include "core/Plug.h"

namespace hm {

void Plug::applyMidiMultiplier(double multiplier) {
    midiMultiplier_.store(multiplier, std::memory_order_relaxed);
    // Touch the global shift so the update multiplies every band frequency and the
    // host's automation sees the change, as a gesture without an undo entry (the
    // value it "sets" is the one already there). This runs on the audio thread: the
    // report is queued, and the processing call designs the bands before the event's
    // frame.
    const float shift = normalised_.get(kFShift);
    setParameter(kFShift, shift);
    reportChange(kFShift, shift);
    updateProcessing(true);
}

void Plug::applyMidiEvent(int status, int data1, int data2) {
    if (status == 0x90 && data2 > 0 && data1 >= 12 && data1 <= 108) {
        // The note stays in force until the next accepted note (note-off doesn't undo it).
        noteFactor_ = std::exp2((data1 - 60) / 12.0);
        applyMidiMultiplier(noteFactor_ * bendFactor_);
    } else if (status == 0xE0) {
        const int v = data2 * 128 + data1;
        bendFactor_ = std::exp2(bendRangeOctaves() * (v - 8192) / 8192.0);
        applyMidiMultiplier(bendFactor_ * noteFactor_);
    }
}

vst::VstInt32 Plug::processEvents(vst::VstEvents* events) {
    ThreadRoles::Processing audio(threads_);
    if (midiDisabled_.load(std::memory_order_relaxed) || !events) return 1;
    // Events of a call that never came take effect at the start of the next one.
    for (int i = 0; i < midiQueued_; ++i) midiQueue_[i].frame = 0;
    for (int i = 0; i < events->numEvents; ++i) {
        const vst::VstEvent* e = events->events[i];
        if (!e || e->type != vst::kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(e);
        const int status = static_cast<unsigned char>(midi->midiData[0]) & 0xF0;
        if (status != 0x90 && status != 0xE0) continue;
        if (midiQueued_ == kMidiQueue) break;  // a flood: the rest of this list is dropped
        // Kept in frame order, events of the same frame in arrival order.
        const int frame = midi->deltaFrames > 0 ? midi->deltaFrames : 0;
        int at = midiQueued_;
        while (at > 0 && midiQueue_[at - 1].frame > frame) {
            midiQueue_[at] = midiQueue_[at - 1];
            --at;
        }
        midiQueue_[at] = {frame, static_cast<unsigned char>(status),
                          static_cast<unsigned char>(midi->midiData[1] & 0x7F),
                          static_cast<unsigned char>(midi->midiData[2] & 0x7F)};
        ++midiQueued_;
    }
    return 1;
}

}  // namespace hm
