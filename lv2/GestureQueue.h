#pragma once
// The editor's gestures on their way to the LV2 UI: the instance reports them
// through its host callback on the UI thread or on the shared timer's thread,
// and the UI turns them into port writes and touches in its own idle call. A
// bounded ring of fixed cells: posting never blocks and never allocates, any
// number of threads may post, one thread takes. When the ring is full the new
// gesture is dropped and counted, so what was queued keeps its order; the taker
// learns of the loss and closes the touches it may have cut short.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace hm::lv2 {

struct Gesture {
    enum Kind : std::uint8_t { kBegin, kValue, kEnd };
    Kind kind = kValue;
    std::int32_t index = 0;  // the host parameter, also its port
};

class GestureQueue {
public:
    static constexpr std::size_t kCapacity = 1024;  // a power of two

    GestureQueue() {
        for (std::size_t i = 0; i < kCapacity; ++i) cells_[i].sequence.store(i, std::memory_order_relaxed);
    }
    GestureQueue(const GestureQueue&) = delete;
    GestureQueue& operator=(const GestureQueue&) = delete;

    // Any thread: false (and counted) when the ring is full.
    bool post(Gesture gesture) noexcept {
        std::size_t at = tail_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[at & (kCapacity - 1)];
            const std::size_t sequence = cell.sequence.load(std::memory_order_acquire);
            const auto lag = static_cast<std::ptrdiff_t>(sequence) - static_cast<std::ptrdiff_t>(at);
            if (lag == 0) {
                if (tail_.compare_exchange_weak(at, at + 1, std::memory_order_relaxed)) {
                    cell.gesture = gesture;
                    cell.sequence.store(at + 1, std::memory_order_release);
                    return true;
                }
            } else if (lag < 0) {
                dropped_.fetch_add(1, std::memory_order_relaxed);
                return false;
            } else {
                at = tail_.load(std::memory_order_relaxed);
            }
        }
    }

    // The one taking thread: fn(gesture) for each in posting order; the number taken.
    template <class Fn>
    int drain(Fn&& fn) {
        int taken = 0;
        for (;; ++taken) {
            Cell& cell = cells_[head_ & (kCapacity - 1)];
            if (cell.sequence.load(std::memory_order_acquire) != head_ + 1) return taken;
            const Gesture gesture = cell.gesture;
            cell.sequence.store(head_ + kCapacity, std::memory_order_release);
            ++head_;
            fn(gesture);
        }
    }

    // The taking thread: gestures dropped since the last call.
    std::uint32_t takeDropped() noexcept { return dropped_.exchange(0, std::memory_order_acq_rel); }

private:
    struct Cell {
        std::atomic<std::size_t> sequence{0};
        Gesture gesture;
    };
    Cell cells_[kCapacity];
    alignas(64) std::atomic<std::size_t> tail_{0};
    alignas(64) std::size_t head_ = 0;
    std::atomic<std::uint32_t> dropped_{0};
};

}  // namespace hm::lv2
