// The update of the filter bank from the parameter table, the timer tick and resume.
#include "core/Plug.h"

namespace hm {

void Plug::resume() {
    // Hosts that still use the old MIDI request need it on every resume.
    wantEvents();
    wantEvents();
    auditionedBand_.store(-1, std::memory_order_relaxed);
    loadPreferences();
    updateProcessing(true);
}

// ---------------------------------------------------------------------------
// Update, timer, latency. The filter bank arrives with the processing work;
// until then an update only records that one is due and the timer clears it.

void Plug::updateProcessing(bool /*force*/) { updatePending_.store(true, std::memory_order_release); }

void Plug::onTimer() {
    std::lock_guard lock(updateMutex_);
    updatePending_.store(false, std::memory_order_relaxed);
}

void Plug::reportLatency() {}

}  // namespace hm
