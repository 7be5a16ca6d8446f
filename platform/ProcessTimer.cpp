#include "platform/ProcessTimer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace hm::platform {
namespace {

struct TimerState {
    // Held for the whole of a tick, so removal waits for a running callback.
    std::recursive_mutex mutex;
    std::condition_variable_any wake;
    std::vector<TimerClient*> clients;
    std::thread thread;
    // Each timer thread serves one generation; bumping it tells that thread to stop
    // even if a new thread for the next generation has started meanwhile.
    unsigned generation = 0;
};

TimerState& state() {
    // Destroyed when the library is unloaded, after the last instance stopped the thread.
    static TimerState s;
    return s;
}

void run(TimerState& s, unsigned generation) {
    std::unique_lock lock(s.mutex);
    auto next = std::chrono::steady_clock::now();
    const auto stopped = [&] { return s.generation != generation; };
    while (!stopped()) {
        next += std::chrono::milliseconds(kTimerPeriodMs);
        s.wake.wait_until(lock, next, stopped);
        if (stopped()) break;
        // Copy: a client may remove itself (or others) during its tick.
        const std::vector<TimerClient*> snapshot = s.clients;
        for (TimerClient* c : snapshot) {
            if (std::find(s.clients.begin(), s.clients.end(), c) != s.clients.end()) c->onTimerTick();
        }
        const auto now = std::chrono::steady_clock::now();
        if (now > next + std::chrono::milliseconds(10 * kTimerPeriodMs)) next = now;  // don't race to catch up
    }
}

}  // namespace

void addTimerClient(TimerClient* client) {
    if (!client) return;
    TimerState& s = state();
    std::unique_lock lock(s.mutex);
    if (std::find(s.clients.begin(), s.clients.end(), client) == s.clients.end()) s.clients.push_back(client);
    if (!s.thread.joinable()) {
        const unsigned generation = ++s.generation;
        s.thread = std::thread([&s, generation] { run(s, generation); });
    }
}

void removeTimerClient(TimerClient* client) {
    TimerState& s = state();
    std::thread finished;
    {
        std::unique_lock lock(s.mutex);
        s.clients.erase(std::remove(s.clients.begin(), s.clients.end(), client), s.clients.end());
        if (!s.clients.empty() || !s.thread.joinable()) return;
        ++s.generation;
        s.wake.notify_all();
        finished = std::move(s.thread);
    }
    if (finished.get_id() == std::this_thread::get_id()) finished.detach();  // last client left from its own tick
    else finished.join();
}

int timerClientCount() {
    TimerState& s = state();
    std::unique_lock lock(s.mutex);
    return static_cast<int>(s.clients.size());
}

bool timerRunning() {
    TimerState& s = state();
    std::unique_lock lock(s.mutex);
    return s.thread.joinable();
}

}  // namespace hm::platform
