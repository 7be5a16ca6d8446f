#pragma once
// Single-writer, single-reader hand-over of a complete record without locks.
//
// Three slots: the writer fills its private back slot and swaps it with the
// shared middle slot in one atomic exchange, marking it fresh; the reader swaps
// its private front slot with the middle slot only when the mark says a newer
// record is waiting. Each side therefore always holds a whole record that the
// other side cannot touch: no torn reads, no waiting, no allocation after
// construction. Intermediate records may be skipped; the newest one always
// arrives. The writer must fill the back slot completely before each publish
// (the slot it gets back holds an older record).
#include <atomic>
#include <memory>

namespace hm::dsp {

template <typename T>
class TripleBuffer {
public:
    // Every slot starts as a copy of `initial`, so the reader's first record is valid.
    explicit TripleBuffer(const T& initial = T{}) : slots_(new T[3]) {
        for (int i = 0; i < 3; ++i) slots_[i] = initial;
    }
    TripleBuffer(const TripleBuffer&) = delete;
    TripleBuffer& operator=(const TripleBuffer&) = delete;

    // Writer side.
    T& back() { return slots_[back_]; }
    void publish() { back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndexMask; }

    // Reader side. Returns true when a newer record was taken over.
    bool consume() {
        if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0) return false;
        front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndexMask;
        return true;
    }
    const T& front() const { return slots_[front_]; }

private:
    static constexpr unsigned kFresh = 4u;
    static constexpr unsigned kIndexMask = 3u;

    std::unique_ptr<T[]> slots_;
    unsigned back_ = 0;   // writer only
    unsigned front_ = 1;  // reader only
    std::atomic<unsigned> middle_{2u};
};

}  // namespace hm::dsp
