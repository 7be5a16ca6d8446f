#pragma once
// Who works on the filter bank's design side at a given moment.
//
// The bank is designed by one thread at a time: the host's UI thread when it sets
// parameters, the process timer when it completes work, and the audio thread at
// the start of a processing call when changes are waiting. Threads that may wait
// take the gate with lock(); the audio thread of a live (real-time) host only
// tries (try_lock) and, when another thread is at work, carries on with the design
// it has and tries again at its next call. Nothing in here calls into the system
// on the trying side, so the audio thread never sleeps or makes a system call.
#include <atomic>
#include <chrono>
#include <thread>

namespace hm {

class DesignGate {
public:
    // Waits: spins briefly (designs take microseconds to a millisecond), then sleeps.
    void lock() {
        for (int spins = 0; !try_lock(); ++spins) {
            if (spins < 64)
                std::this_thread::yield();
            else
                std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    }
    bool try_lock() {
        if (busy_.load(std::memory_order_relaxed)) return false;
        return !busy_.exchange(true, std::memory_order_acquire);
    }
    void unlock() { busy_.store(false, std::memory_order_release); }

private:
    std::atomic<bool> busy_{false};
};

}  // namespace hm
