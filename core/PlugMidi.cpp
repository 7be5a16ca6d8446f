// MIDI transposition: note-on and pitch bend move every band frequency.
#include <cmath>

#include "core/Plug.h"

namespace hm {

void Plug::applyMidiMultiplier(double multiplier) {
    midiMultiplier_.store(multiplier, std::memory_order_relaxed);
    // Touch the global shift so the update multiplies every band frequency and the
    // host's automation sees the change, as a gesture without an undo entry (the
    // value it "sets" is the one already there). This runs on the audio thread: the
    // report is queued and the update deferred to the timer.
    const float shift = normalised_.get(kFShift);
    setParameter(kFShift, shift);
    reportChange(kFShift, shift);
    updateProcessing(true);
}

vst::VstInt32 Plug::processEvents(vst::VstEvents* events) {
    ThreadRoles::Processing audio(threads_);  // MIDI arrives on the audio thread: its updates are deferred
    if (midiDisabled_.load(std::memory_order_relaxed) || !events) return 1;
    for (int i = 0; i < events->numEvents; ++i) {
        const vst::VstEvent* e = events->events[i];
        if (!e || e->type != vst::kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(e);
        const int status = static_cast<unsigned char>(midi->midiData[0]) & 0xF0;
        const int data1 = static_cast<unsigned char>(midi->midiData[1]) & 0x7F;
        const int data2 = static_cast<unsigned char>(midi->midiData[2]) & 0x7F;
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
    return 1;
}

}  // namespace hm
