#pragma once
// The process-wide 10 ms timer shared by every instance of the library.
//
// One thread serves all clients; it runs while at least one client is
// registered and stops when the last one leaves. A client that is removed is
// guaranteed not to be called afterwards: removal waits for a tick in progress.
// Never called from, and never blocking, the audio thread.

namespace hm::platform {

class TimerClient {
public:
    virtual ~TimerClient() = default;
    // Timer thread, every 10 ms.
    virtual void onTimerTick() = 0;
};

constexpr int kTimerPeriodMs = 10;

// Any non-audio thread.
void addTimerClient(TimerClient* client);
void removeTimerClient(TimerClient* client);

// For diagnostics and tests: number of registered clients, and whether the timer thread runs.
int timerClientCount();
bool timerRunning();

}  // namespace hm::platform
