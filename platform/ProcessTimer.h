#pragma once
// The process-wide 10 ms timer shared by every instance of the library.
//
// One thread serves all clients; it runs while at least one client is
// registered and stops when the last one leaves. A client that is removed is
// guaranteed not to be called afterwards: removal waits for a tick of that
// client in progress. The timer holds no lock while it calls a client, so a
// client may call out (to a host that takes its own locks) without deadlocking
// against threads that add or remove clients.
//
// Each client may bring a follow-up: work the timer runs right after the client's
// tick, under shared ownership, which removal does not wait for. It is meant for
// calls into the host, which may be waiting for the very thread that removes the
// client (a host that holds its own lock while it closes an instance and takes
// the same lock when called back).
//
// Nothing that escapes a client or follow-up ends the process, and a process that
// exits with clients still registered stops the thread cleanly. Never called
// from, and never blocking, the audio thread.
#include <memory>

namespace hm::platform {

class TimerClient {
public:
    virtual ~TimerClient() = default;
    // Timer thread, every 10 ms.
    virtual void onTimerTick() = 0;
};

class TimerFollowUp {
public:
    virtual ~TimerFollowUp() = default;
    // Timer thread, after its client's tick; may still run after the client left.
    virtual void run() = 0;
};

constexpr int kTimerPeriodMs = 10;

// Any non-audio thread.
void addTimerClient(TimerClient* client, std::shared_ptr<TimerFollowUp> followUp = nullptr);
void removeTimerClient(TimerClient* client);

// True on the timer's own thread.
bool onTimerThread();

// For diagnostics and tests: number of registered clients, and whether the timer thread runs.
int timerClientCount();
bool timerRunning();
// For tests: returns once a whole tick (every client and follow-up) that began
// after the call has finished; false at once when no client is registered.
bool awaitTick();

}  // namespace hm::platform
