#include "platform/ProcessTimer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace hm::platform {
namespace {

struct Entry {
    TimerClient* client;
    std::shared_ptr<TimerFollowUp> followUp;
};

// A stopped thread waits here until it has left its loop; joining it then cannot block.
struct Stopped {
    unsigned generation;
    std::thread thread;
};

// How long a process exit waits for a timer thread caught in a host call.
constexpr auto kExitWait = std::chrono::seconds(2);

thread_local bool tTimerThread = false;

struct TimerState {
    // Guards the lists below; never held while a client or follow-up runs.
    std::mutex mutex;
    std::condition_variable wake;     // the thread: stop or time
    std::condition_variable settled;  // a tick ended or a thread exited
    std::vector<Entry> clients;
    TimerClient* ticking = nullptr;  // client whose tick runs now
    int followingUp = 0;             // follow-ups running now
    std::thread thread;
    // Each timer thread serves one generation; bumping it tells that thread to stop
    // even if a new thread for the next generation has started meanwhile.
    unsigned generation = 0;
    std::vector<Stopped> stopped;
    std::vector<unsigned> exited;  // generations whose thread has left its loop
    std::uint64_t ticksStarted = 0;
    std::uint64_t ticksFinished = 0;

    // Library unload or process exit with instances still open: stop the thread
    // (std::thread must not be destroyed while joinable), waiting a bounded time
    // for one that is stuck in a host call.
    ~TimerState() {
        std::unique_lock lock(mutex);
        if (thread.joinable()) stopped.push_back({generation, std::move(thread)});
        ++generation;
        wake.notify_all();
        settled.wait_for(lock, kExitWait, [&] { return exited.size() >= stopped.size(); });
        for (Stopped& s : stopped) {
            const bool out = std::find(exited.begin(), exited.end(), s.generation) != exited.end();
            if (s.thread.get_id() == std::this_thread::get_id() || !out) s.thread.detach();
            else s.thread.join();
        }
    }

    // Joins the stopped threads that have left their loops (mutex held by `lock`).
    void reap(std::unique_lock<std::mutex>& lock) {
        std::vector<std::thread> done;
        for (auto it = stopped.begin(); it != stopped.end();) {
            if (std::find(exited.begin(), exited.end(), it->generation) == exited.end()) {
                ++it;
                continue;
            }
            exited.erase(std::find(exited.begin(), exited.end(), it->generation));
            done.push_back(std::move(it->thread));
            it = stopped.erase(it);
        }
        lock.unlock();
        for (std::thread& t : done)
            if (t.get_id() == std::this_thread::get_id()) t.detach();
            else t.join();
        lock.lock();
    }
};

TimerState& state() {
    // Destroyed when the library is unloaded or the process exits.
    static TimerState s;
    return s;
}

void tick(TimerState& s, std::unique_lock<std::mutex>& lock, unsigned generation) {
    const std::uint64_t number = ++s.ticksStarted;
    struct Finished {
        TimerState& s;
        std::uint64_t number;
        ~Finished() {
            s.ticksFinished = number;
            s.settled.notify_all();
        }
    } finished{s, number};
    // Copy: a client may remove itself (or others) during its tick.
    const std::vector<Entry> snapshot = s.clients;
    for (const Entry& e : snapshot) {
        if (s.generation != generation) return;  // stopped: a newer thread may serve these
        const bool registered = std::any_of(s.clients.begin(), s.clients.end(),
                                            [&](const Entry& c) { return c.client == e.client; });
        if (!registered) continue;
        s.ticking = e.client;
        lock.unlock();
        try {
            e.client->onTimerTick();
        } catch (...) {
            // A tick that failed is retried at the next one.
        }
        lock.lock();
        s.ticking = nullptr;
        s.settled.notify_all();
        if (!e.followUp) continue;
        ++s.followingUp;
        lock.unlock();
        try {
            e.followUp->run();
        } catch (...) {
        }
        lock.lock();
        --s.followingUp;
    }
}

void run(TimerState& s, unsigned generation) {
    tTimerThread = true;
    std::unique_lock lock(s.mutex);
    auto next = std::chrono::steady_clock::now();
    const auto stopped = [&] { return s.generation != generation; };
    while (!stopped()) {
        next += std::chrono::milliseconds(kTimerPeriodMs);
        s.wake.wait_until(lock, next, stopped);
        if (stopped()) break;
        tick(s, lock, generation);
        const auto now = std::chrono::steady_clock::now();
        if (now > next + std::chrono::milliseconds(10 * kTimerPeriodMs)) next = now;  // don't race to catch up
    }
    s.exited.push_back(generation);
    s.settled.notify_all();
}

}  // namespace

void addTimerClient(TimerClient* client, std::shared_ptr<TimerFollowUp> followUp) {
    if (!client) return;
    TimerState& s = state();
    std::unique_lock lock(s.mutex);
    s.reap(lock);
    const bool known = std::any_of(s.clients.begin(), s.clients.end(), [&](const Entry& e) { return e.client == client; });
    if (!known) s.clients.push_back({client, std::move(followUp)});
    if (!s.thread.joinable()) {
        const unsigned generation = ++s.generation;
        s.thread = std::thread([&s, generation] { run(s, generation); });
    }
}

void removeTimerClient(TimerClient* client) {
    TimerState& s = state();
    std::unique_lock lock(s.mutex);
    s.clients.erase(std::remove_if(s.clients.begin(), s.clients.end(), [&](const Entry& e) { return e.client == client; }),
                    s.clients.end());
    // A tick of this client under way finishes first (unless this is that tick).
    if (!tTimerThread) s.settled.wait(lock, [&] { return s.ticking != client; });
    if (!s.clients.empty() || !s.thread.joinable()) return;
    const unsigned stopping = s.generation++;
    s.stopped.push_back({stopping, std::move(s.thread)});
    s.wake.notify_all();
    // The last client left from its own tick, or a follow-up is calling the host,
    // which may be waiting for this very thread: the thread ends by itself and is
    // joined later. Otherwise it leaves its loop at once.
    if (tTimerThread || s.followingUp > 0) return;
    s.settled.wait(lock, [&] {
        // Exited, or already joined by another thread's reap.
        return std::find(s.exited.begin(), s.exited.end(), stopping) != s.exited.end() ||
               std::none_of(s.stopped.begin(), s.stopped.end(), [&](const Stopped& t) { return t.generation == stopping; });
    });
    s.reap(lock);
}

bool onTimerThread() { return tTimerThread; }

bool awaitTick() {
    TimerState& s = state();
    std::unique_lock lock(s.mutex);
    if (s.clients.empty() || tTimerThread) return false;
    const std::uint64_t after = s.ticksStarted;
    return s.settled.wait_for(lock, std::chrono::seconds(10), [&] { return s.ticksFinished > after || s.clients.empty(); });
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
